#pragma once

#include <QString>
#include <array>

// The captions the views show beside their values, in one table without
// widgets: the views lay them out, and the comparison of two set-ups names
// each value by them, so that a row reads as the window that shows it.
namespace ViewCaptions {

// Set-up Parameters view: fields 0..6 (value table entries 39..45) and the
// switch (entry 38).
inline constexpr std::array<const char*, 7> SetupFields = {
    "TDC Stop Position (L&ow Speed):",
    "TDC Stop Position (H&igh Speed):",
    "&Maximum Allowed Stopping Response (deg):",
    "Low &Speed (SPM):",
    "High S&peed (SPM):",
    "&Maximum Speed (full scale calibration):",
    "&Idle Speed (Cupper Stopped):"};
inline constexpr const char* BrakeWearSwitch = "&Brake Wear Compensation Enable:";

// Serial Communications view: its three set-up parameters (entries 46..48)
// and the PLC types of its list.
inline constexpr std::array<const char*, 3> Df1Setup = {
    "&PLC Type:", "&Destination Node:", "Desination File &Number:"};
inline constexpr std::array<const char*, 2> PlcTypes = {"PLC5", "SLC500"};

// Shift Data view: a page per shift, totals and die jams per station.
inline constexpr std::array<const char*, 2> ShiftPages = {"Current Shift", "Last Shift"};
inline constexpr const char* TotalStrokes = "Total Strokes:";
inline constexpr const char* TotalDieJams = "Total Die Jams:";
inline constexpr const char* DieJamsPerStation = "Die Jams per Station";
// "#1" to "#16".
QString Station(int station);

// Main display: the brake response at low and high speed (entries 36, 37).
inline constexpr const char* BrakeResponse = "Brake Response";
inline constexpr std::array<const char*, 2> BrakeResponseSpeeds = {"Low Speed:", "High Speed:"};

// Machine Timing view. The board numbers its PLS channels in octal: CH00 to
// CH07, then CH10 to CH17.
QString ChannelName(int channel);
inline constexpr const char* ResolverOffset = "Resolver &Offset";
inline constexpr const char* PlsScaleFactor = "PLS Scale Factor";

// A caption as a name: without its access-key ampersand and closing colon.
QString Plain(const char* caption);

} // namespace ViewCaptions
