#pragma once

#include <QString>
#include <array>
#include <optional>

// The names the program's views give the registers they show, with how each
// view formats the value: the one place these labels live. The views lay
// them out; windows that list registers by address (the Trend window, a
// comparison) look them up by address.
namespace RegisterNames {

enum class Format {
    Plain,   // the value as read
    Degrees, // followed by the degree sign
    Grouped, // a whole number with the regional digit grouping: 1,234,567
};

struct Label {
    QString address;
    QString text; // as the view shows it, access key and colon included
    Format format;
};

// The main display, in its order: speed, position, strokes, die jams (each
// its frame's caption), then the brake response at low and at high speed
// (the labels inside the frame captioned MainBrakeFrame).
const std::array<Label, 6>& mainDisplay();
inline const QString MainBrakeFrame = QStringLiteral("Brake Response");

// The set-up parameters view: its seven fields in field order, then the
// brake wear compensation switch.
const std::array<Label, 7>& setupFields();
const Label& setupSwitch();

// The shift data view: for the current, then the last shift, the total
// strokes, the total die jams and the die jams of stations 1 to 16.
constexpr int ShiftEntries = 18;
const std::array<Label, 2 * ShiftEntries>& shiftData();
// "Current Shift" (0) or "Last Shift" (1): the caption of the shift's page
// and of its totals' frame.
QString shiftCaption(int shift);
inline const QString StationsFrame = QStringLiteral("Die Jams per Station");

// The DF1 communication set-up view's rows that write the board: the PLC
// type list, the destination node and the destination file number.
const std::array<Label, 3>& df1Setup();
// The PLC types of its list, by the value of the PLC type register.
inline constexpr std::array<const char*, 2> PlcTypes = {"PLC5", "SLC500"};

// The Machine Timing window's values, which have no register of their own.
// The board numbers its PLS channels in octal: CH00 to CH07, then CH10 to CH17.
QString channelName(int channel);
// The window's labels of the eight channels it shows, CH00 to CH07.
inline constexpr std::array<const char*, 8> TimingChannelLabels = {
    "TDC (High) Timing (CH0&0):",      "TDC (Mid) Timing (CH0&1):",
    "TDC (Low) Timing (CH0&2):",       "Air Strip (High) Timing (CH0&3):",
    "Air Strip (Mid) Timing (CH0&4):", "Air Strip (Low) Timing (CH0&5):",
    "Cup Drop Window Timing (CH0&6):", "PLC Timing (CH0&7):"};
// A channel as that window names it, "TDC (Low) Timing (CH02)"; one it does
// not show by its number, "CH10".
QString timingChannelName(int channel);
inline constexpr const char* ResolverOffset = "Resolver &Offset";
inline constexpr const char* PlsScaleFactor = "PLS Scale Factor";
// The PLS configuration items 0..9 as the window's PLS Configuration tab
// names them: "Number of PLS Channels", "PLS Program", then the speed
// compensation of CH00 to CH07, "Speed Compensation CH00 (msec)".
QString plsConfigName(int item);

// The view's label as a name, without access key and colon.
QString plainText(const QString& label);

struct Known {
    QString name; // "Machine Position", "TDC Stop Position (Low Speed)"
    Format format;
};
// What the program calls a register (the main display first, then the
// set-up view, the DF1 set-up, then the shift data); nullopt for one no
// view shows.
std::optional<Known> find(const QString& address);

// An entry of the shift data view (0..35) as that view names it:
// "Total Strokes (Current Shift)", "Die Jams per Station #3 (Last Shift)".
Known shiftEntry(int entry);

// A value text as a view with that format shows it.
QString format(Format format, const QString& value);

} // namespace RegisterNames
