#pragma once

class frmMDIMain;

// Installs the views of this library in the main window's table of views
// (and so enables their items in the Window menu).
void RegisterViews(frmMDIMain& main);
