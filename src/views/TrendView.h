#pragma once

#include "SampleTime.h"

class ViewTable;

// Registers the Trend view; its samples are timed on wall (the system's
// clock unless a benchmark runs it on simulated time).
void RegisterTrendView(ViewTable& table, SampleTime::WallClock wall = SampleTime::systemMs);
