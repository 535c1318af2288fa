#pragma once

class QWidget;
class ViewContext;
class frmMDIMain;

// "&Target Board Interface": the program file command in its target board
// mode. The project dialog picks the program file; Cancel keeps the one
// chosen before (or none), and the window opens for it either way. A chosen
// project goes through the download checks first, and one that fails them
// opens nothing.
void TargetBoardCommand(ViewContext& context, QWidget* parent);

// Hooks the command to the main window's menu item.
void InstallBoardCommands(frmMDIMain& main);
