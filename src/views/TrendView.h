#pragma once

class Clock;
class ViewTable;

// Registers the Trend view, its samples timed on the clock the link waits on.
void RegisterTrendView(ViewTable& table, const Clock& clock);
