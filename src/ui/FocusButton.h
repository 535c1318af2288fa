#pragma once

class QPushButton;

// The button "-" (cmdDefault) that a window parks the focus on, so that no
// field is being edited. The user never needs to see it: it has no size and
// paints nothing, yet takes the focus by code and by Tab like any button.
QPushButton* NewFocusButton();
