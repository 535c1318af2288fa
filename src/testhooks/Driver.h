#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QStringList>
#include <QTimer>

class QWidget;

// Scripted input for unattended runs of the program (its own tests and
// benchmarks), read from the file that TELVANE_DRIVE names. One step a line,
// run in order once the main window is on screen:
//   key SEQUENCE              press and release keys on the focused widget ("F3", "Alt+R")
//   click NAME | dblclick NAME  a mouse click on the widget of that object name
//                             (click on a menu item's name chooses the item)
//   wait MS                   let the program run for MS milliseconds
//   waitfor NAME TEXT         until the widget's text contains TEXT (10 s at most)
//   print NAME                writes "NAME=TEXT" (line breaks as "\n") to standard output
//   mark WORD                 writes "WORD MS", MS since the program started
//   grab FILE                 saves a picture of the main window (PNG)
//   close                     closes the main window, as File Exit does
// Lines starting with "#" and empty lines are skipped.
class Driver final : public QObject {
    Q_OBJECT
public:
    Driver(QWidget& mainWindow, QStringList steps, QObject* parent = nullptr);

    // The steps of the file named by TELVANE_DRIVE; empty when it is not set.
    static QStringList stepsFromEnvironment();
    void start();

    static QString widgetText(const QWidget* widget);

private:
    void next();
    bool run(const QString& step); // false: wait and run the same step again
    QWidget* find(const QString& name) const;

    QWidget& m_main;
    QStringList m_steps;
    int m_index = 0;
    QTimer m_timer;
    QElapsedTimer m_waiting;
    bool m_inWait = false;
};
