#pragma once

// Names the program to the system: its name, its desktop entry and its icon.
// It sets no display name, because the window system would append one to
// every window and message box title.
void SetApplicationIdentity();
