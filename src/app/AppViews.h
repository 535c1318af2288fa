#pragma once

class ViewTable;

// Registers the views of the window list that the main window's own
// subsystem builds: the main display and the shift data.
void RegisterAppViews(ViewTable& table);
