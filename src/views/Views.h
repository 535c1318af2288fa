#pragma once

class ViewTable;

// Registers the views of the window list that this program has.
void RegisterViews(ViewTable& table);
