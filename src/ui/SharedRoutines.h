#pragma once

#include <QString>

class QLineEdit;
class QWidget;

// Small routines several windows share.

// Centres the window on its screen's available area.
void CenterForm(QWidget* form);

// The present date and time in the system's general (short) format.
QString GeneralDateNow();

// Selects the whole text of the box.
void SelectAllText(QLineEdit* textBox);

// The absolute path's folder, base name (without its last extension), "." and
// the extension: the sibling file of another kind of a project.
QString ChangeExtension(const QString& path, const QString& extension);
