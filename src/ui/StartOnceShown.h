#pragma once

#include <functional>

class QWidget;

// Calls start once, from the event loop, after the window is first on
// screen. Qt shows a window again after every message box over it, which
// must not start its job a second time; a window closed before then never
// starts it.
void StartOnceShown(QWidget* window, std::function<void()> start);
