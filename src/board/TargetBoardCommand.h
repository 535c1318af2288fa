#pragma once

class QWidget;
class ViewContext;

// "&Target Board Interface": the main window's program file command picks
// and checks the project (Cancel keeps the one chosen before, or none); the
// target board window then opens for it, over parent.
void InstallBoardCommands(ViewContext& context, QWidget* parent);
