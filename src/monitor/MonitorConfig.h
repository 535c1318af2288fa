#pragma once

#include "BrokerAddress.h"
#include "SerialPort.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <variant>

// telvane-monitor's configuration file (INI): a [broker] section, then one
// section per press, named by the press. Read whole and checked before
// anything starts; the first fault found is the answer.
struct MonitorConfig {
    struct Broker {
        BrokerAddress address;
        QString caFile;
        QString clientId;
        QString username;
        QByteArray password; // read from password-file
        QString topic = QStringLiteral("telvane");
        QString queueFolder;
        qint64 queueLimitBytes = 0;
    };
    struct Press {
        QString name;
        PortSettings port; // device and baud
        QStringList registers;
        int everyMs = 1000;
    };
    Broker broker;
    QList<Press> presses;

    // The main display's values, which the Plant window shows: speed,
    // position, strokes and die jams.
    static inline const QStringList DefaultRegisters{"W182", "W180", "D1100", "W1104"};
    static constexpr qint64 DefaultQueueLimitMb = 100;

    // What is wrong, and where: "FILE:LINE: [SECTION] KEY: WHY".
    struct Problem {
        QString section; // empty: the file as a whole
        QString key;     // empty: the section as a whole
        QString why;
        int line = 0; // 0: no one line
        QString text(const QString& file) const;
    };

    // What holds where the file says nothing.
    struct Defaults {
        QString folder;      // relative paths in the file start here
        QString queueFolder; // where the queue lies
        QString clientId;
    };
    static std::variant<MonitorConfig, Problem> read(const QString& path, Defaults defaults);
    static std::variant<MonitorConfig, Problem> parse(const QString& text,
                                                      const Defaults& defaults);
};
