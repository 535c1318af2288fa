#pragma once

// A board served by telvane-boardsim at a wire speed, and the link to it
// from a program folder of its own whose port settings name the board.
#include "BoardProcess.h"
#include "Clock.h"
#include "PortSettingsFile.h"
#include "QtSerialPort.h"
#include "RSComm.h"
#include "ScriptedPrompt.h"

#include <QTemporaryDir>

struct BenchBoard {
    explicit BenchBoard(int baud) : board({QStringLiteral("--baud"), QString::number(baud)}) {
        PortSettingsFile::write(home.filePath(QStringLiteral("Support/RSPort.cfg")),
                                {1, QString::number(baud), board.pty()});
    }
    bool started() const { return board.started(); }

    QTemporaryDir home;
    BoardProcess board;
    ScriptedPrompt prompt;
    SteadyClock clock;
    RSComm link{prompt, clock, home.path()};
    QtSerialPort port;
};
