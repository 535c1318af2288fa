#pragma once

class QWidget;
class ViewContext;

// Window, Plant: opens the Plant window over parent, or brings the one
// open to the front.
void InstallPlantWindow(ViewContext& context, QWidget* parent);
