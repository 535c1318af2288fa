#pragma once

#include "BoardSimulator.h"
#include "Clock.h"
#include "ScriptedPrompt.h"
#include "SimSerialPort.h"
#include "ViewTable.h"
#include "frmMDIMain.h"

#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

class QLabel;
class QPlainTextEdit;
class QTimer;
class RefreshLoop;

// One QApplication for the whole test program (widgets need it).
void EnsureApplication();
// How long a wait may take before the test gives up: a safety limit only,
// generous enough for a loaded machine and a sanitizer build.
constexpr int WaitLimitMs = 20000;
// Runs the event loop (deferred deletes too) until the condition holds;
// false after timeoutMs.
bool PumpUntil(const std::function<bool()>& condition, int timeoutMs = WaitLimitMs);
// Runs the event loop until the loop has completed n more online passes and
// returns right at the end of the n-th, before the next one begins: the
// simulated machine moves on with every byte, so a wait that looked only
// now and then would find it further on the faster the build. False after
// timeoutMs, or when more than n passes ran.
bool RunPasses(RefreshLoop& loop, int n, int timeoutMs = WaitLimitMs);

// The main window on the in-process simulated board and a virtual clock, with
// its own program folder and scripted prompts. The 500 ms timer is stopped:
// tests run its ticks by hand unless they say otherwise.
class AppFixture : public ::testing::Test {
protected:
    AppFixture();
    ~AppFixture() override;

    void startMainWindow(bool keepTimer = false);
    // Runs the event loop until the condition holds (false after timeoutMs).
    bool pumpUntil(const std::function<bool()>& condition, int timeoutMs = WaitLimitMs);
    void pump(int ms) {
        pumpUntil([] { return false; }, ms);
    }
    void tick(int times = 1);
    void goOnline();

    QLabel* panel(const char* key) const;
    QString panelText(const char* key) const;
    QAction* action(const char* name) const;
    QLabel* display(int index) const;
    QString message() const;
    QTimer* backgroundTimer() const;
    QString takeTrace();

    QTemporaryDir folder;
    BoardSimulator board;
    VirtualClock clock;
    SimSerialPort port{board, clock};
    ScriptedPrompt prompt;
    // The main display is registered; tests add views before startMainWindow.
    ViewTable views;
    std::unique_ptr<frmMDIMain> main;
};
