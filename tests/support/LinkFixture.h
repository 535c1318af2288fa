#pragma once

#include "BoardSimulator.h"
#include "Clock.h"
#include "RSComm.h"
#include "ScriptedPrompt.h"
#include "SimSerialPort.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

// A link to the in-process simulated board on a virtual clock, with its own
// program folder. Time-outs cost no wall time; prompts are scripted.
class LinkFixture : public ::testing::Test {
protected:
    LinkFixture();

    // Opens the link and forgets the traffic of the greeting.
    void goOnline();
    // Bytes on the wire since the last call: "h03 b03 hFC b2C ...".
    QString takeTrace();
    QString programFolder() const { return m_folder.path(); }
    // Writes a file below the program folder (creating folders).
    void writeProgramFile(const QString& relativePath, const QByteArray& content);

    QTemporaryDir m_folder;
    BoardSimulator board;
    VirtualClock clock;
    SimSerialPort port{board, clock};
    ScriptedPrompt prompt;
    RSComm link{prompt, clock, m_folder.path()};
};

// One QCoreApplication for the whole test program, for the tests that run
// an event loop or look up host names.
void EnsureCoreApplication();

// Formats the prompts shown as "TITLE|TEXT|ICON|BUTTONS" for readable assertions.
QString describe(const ScriptedPrompt::Shown& shown);
QStringList describeAll(const ScriptedPrompt& prompt);
