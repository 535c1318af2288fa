#pragma once

// The program's own link (RSComm over AnySerialPort) to a device that may
// be a serial device server, with a scripted prompt, for the network tests.
#include "AnySerialPort.h"
#include "Clock.h"
#include "LinkFixture.h"
#include "RSComm.h"
#include "ScriptedPrompt.h"

#include <QTemporaryDir>

inline const QString CableText =
    QStringLiteral("Cannot Communicate with Target Board.\rVerify RS-232 Cable is Connected "
                   "Between\rCOMM Port and PROG Port.");

struct NetworkLink {
    QTemporaryDir home;
    ScriptedPrompt prompt;
    SteadyClock clock;
    RSComm link{prompt, clock, home.path()};
    AnySerialPort port;

    NetworkLink() { EnsureCoreApplication(); }
    bool open(const QString& device, const QString& baud = QStringLiteral("19200")) {
        link.OpenRSComm(port, {1, baud, device});
        return link.OnlineMode();
    }
    // The reason the last message gave, on its last line.
    QString reason() const {
        return prompt.shown().isEmpty() ? QString() : prompt.shown().last().text.section(u'\n', -1);
    }
};
