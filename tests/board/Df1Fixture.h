#pragma once

#include "AppFixture.h"
#include "BoardTraffic.h"

#include <QString>

class QComboBox;
class QLabel;
class QLineEdit;
class UpDown;
class frm8470DF1;

// The main window with the DF1 set-up view open, on the simulated board with
// the machine and the DF1 driver held still, the window active so that focus
// moves and keys behave as under a user's hands.
class Df1Fixture : public AppFixture {
protected:
    Df1Fixture();
    void openView();
    frm8470DF1* view() const;
    QLabel* status(int row) const;
    QLabel* description(int i) const;
    QLineEdit* txt(int i) const;
    UpDown* upd(int i) const;
    QComboBox* list() const;
    QWidget* control(const QString& name) const;
    QString focused() const;

    void keys(const QString& text);
    void key(Qt::Key key);
    void click(QWidget* widget);
    // The user picks a PLC type with the keyboard, as from the list.
    void choose(int index);
    void goOffline();
    void toggleOfflineEditing();

    // Runs until n more poll passes have completed.
    bool passes(int n = 1);
    BoardTraffic traffic() { return decoder.feed(takeTrace()); }
    qint32& entry(int index) const;
    BoardMemory& memory() { return board.memory(); }

    TrafficDecoder decoder;
};
