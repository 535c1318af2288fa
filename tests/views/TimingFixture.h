#pragma once

#include "AppFixture.h"

#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;
class UpDown;
class frmTiming;

// The main window with the machine timing view open on the simulated board:
// the machine held standing at 150 degrees, three channels programmed, and
// the window active so that focus moves and keys behave as under a user's
// hands.
class TimingFixture : public AppFixture {
protected:
    TimingFixture();
    void openView();
    void openOnline();
    frmTiming* view() const;
    // Setpoint boxes by their own index: ON 0..7, OFF 16..23.
    QLineEdit* box(int index) const;
    UpDown* upd(int index) const;
    QLineEdit* tmg(int i) const;
    QPushButton* button(const char* name) const;
    QLabel* cfg(int i) const;
    QString panel(int i) const;
    QWidget* control(const QString& name) const;
    QString focused() const;

    void keys(const QString& text);
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void click(QWidget* widget);
    // Types into a box and presses Enter.
    void enter(QLineEdit* box, const QString& text);
    void toggleOfflineEditing();

    // Runs until n more poll passes have completed.
    bool passes(int n = 1);
    // The PLS command bytes the host sent since the last call (the byte
    // after each handshake's 255, 85).
    QList<int> plsCommands();
    qint16& setpoint(int channel, int onOff) const;
    QStringList titles() const;
};
