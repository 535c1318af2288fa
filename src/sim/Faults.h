#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <functional>

// Faults the simulated board can be told to show. Byte numbers count the
// bytes received from the host, from 0.
struct Faults {
    qint64 silentFromByte = -1; // no answer to this byte or any later one
    qint64 silentForUs = -1;    // ... for this long (-1: for good)
    qint64 dropAnswerAt = -1;   // the answer to this one byte is lost
    qint64 wrongEchoAt = -1;    // the answer to this byte is off by one
    // Also answers off by one where this says so (index, byte from the host).
    std::function<bool(qint64, quint8)> wrongEchoWhen;
    qint64 garbageAt = -1; // after answering this byte, also send garbage
    // Every write to this byte address is answered with a wrong echo and not
    // stored, as a board that will not take the value does.
    int rejectWritesTo = -1;
    QByteArray garbage = QByteArray("\x13\x37\xA5", 3);

    // PLS faults.
    bool plsStaysBusy = false; // the ready poll never reports ready
    // Answer 0 instead of 85 to this byte of every PLS command (0-based, after
    // the command byte) and drop the command.
    int plsRefuseByteIndex = -1;
    int plsRecallHighByte = -1; // recalls answer this position high byte instead

    // Program loading faults; records count from 0 at each start of loading.
    int programBadSumRecord = -1;     // this record is answered with a wrong sum
    int programSilentFromRecord = -1; // silent from this record's first byte on
};

// A wrongEchoWhen that mishears every register address whose high byte is
// this one: reads of those registers fail twice, so they finally fail
// without a comm error; every other register reads.
std::function<bool(qint64, quint8)> MishearAddressesFrom(quint8 highByte);
