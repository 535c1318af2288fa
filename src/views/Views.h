#pragma once

class ViewTable;

// Registers the views of the window list that this layer builds: set-up
// parameters, machine timing and I/O states.
void RegisterViews(ViewTable& table);
