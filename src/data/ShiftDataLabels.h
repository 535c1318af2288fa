#pragma once

#include <QString>

// The Shift Data view's names for its 36 register table entries, without
// widgets, so that the comparison and the Trend window name them alike. Each
// shift has its strokes (a double word), its die jams, then the die jams of
// its sixteen stations: entries 0..17 the current shift, 18..35 the last.
namespace ShiftDataLabels {

constexpr int Shifts = 2;
constexpr int Stations = 16;
constexpr int EntriesPerShift = 2 + Stations;
constexpr int Entries = Shifts * EntriesPerShift;

// "Current Shift", "Last Shift": the page and its totals' frame.
QString ShiftCaption(int shift);
// The frame of a page's stations.
QString StationsCaption();
// The label beside the entry's value: "Total Strokes:", "Total Die Jams:", "#3".
QString Label(int entry);
// The register the entry reads: D1100, W1104, W1108... and D1200, W1204, W1208...
QString Address(int entry);
// The entry as a name in a list: "Current Shift Total Strokes",
// "Last Shift Die Jams #3".
QString Name(int entry);

} // namespace ShiftDataLabels
