#include "Outbox.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

Outbox::Message message(qint64 seq, bool keep) {
    return {seq,          keep, QStringLiteral("telvane/p1/x"), QByteArray(100 - 12, 'x'),
            keep ? 1 : 0, false};
}

QList<qint64> seqs(const QList<Outbox::Message>& messages) {
    QList<qint64> out;
    for (const auto& m : messages)
        out.append(m.seq);
    return out;
}

} // namespace

TEST(Outbox, KeepsEveryEventAndDropsTheOldestSamplesBeyondItsBoundAcrossARestart) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("q"));
    {
        Outbox outbox;
        ASSERT_FALSE(outbox.open(path, 500)); // five messages of 100 bytes
        // 1 and 2 events, then samples, an event among them.
        for (qint64 seq = 1; seq <= 9; ++seq)
            outbox.add(message(seq, seq <= 2 || seq == 6));
        EXPECT_EQ(seqs(outbox.after(0, 100)), (QList<qint64>{1, 2, 6, 8, 9}));
        EXPECT_EQ(outbox.droppedSamples(), 4);
        outbox.remove(1);
        outbox.remove(8);
    }
    Outbox again;
    ASSERT_FALSE(again.open(path, 500));
    EXPECT_EQ(again.count(), 3);
    EXPECT_EQ(again.lastSeq(), 9);
    EXPECT_EQ(seqs(again.after(2, 100)), (QList<qint64>{6, 9}));
    // Past the bound with events alone: none is dropped.
    for (qint64 seq = 10; seq <= 16; ++seq)
        again.add(message(seq, true));
    EXPECT_EQ(seqs(again.after(0, 100)), (QList<qint64>{2, 6, 10, 11, 12, 13, 14, 15, 16}));
}
