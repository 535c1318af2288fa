#pragma once

#include "AppFixture.h"
#include "BoardTraffic.h"

#include <QString>

class OnOffSwitch;
class QLineEdit;
class QPushButton;
class QTabBar;
class UpDown;
class frmSetup;

// The main window with the set-up parameters view open, on the simulated
// board (held still) with the values below, the window active so that
// focus moves and keys behave as under a user's hands.
class SetupFixture : public AppFixture {
protected:
    static const QString Deg;

    SetupFixture();
    void openView();
    frmSetup* view() const;
    QLineEdit* txt(int i) const;
    UpDown* upd(int i) const;
    OnOffSwitch* chk() const;
    QTabBar* tabs() const;
    QWidget* control(const QString& name) const;
    QString focused() const;

    // Keys to whatever has the focus, as a keyboard sends them.
    void keys(const QString& text);
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void click(QWidget* widget);
    void clickArrow(int i, int direction);

    // Runs until n more poll passes have completed.
    bool passes(int n = 1);
    // The traffic since the last call (the trace is read only through here).
    BoardTraffic traffic() { return decoder.feed(takeTrace()); }
    qint32& entry(int index) const;
    int boardWord(int address) { return board.memory().word(address); }

    TrafficDecoder decoder;
};
