#pragma once

class ViewTable;

// Registers the views of the window list that the target board layer builds.
void RegisterBoardViews(ViewTable& table);
