// The I/O states view against the simulated board: captions and tool tips,
// the bits of each word where the screen shows them, the colours of the
// states, and the offline display.
#include "AppFixture.h"
#include "BoardTraffic.h"
#include "ViewBase.h"
#include "Views.h"
#include "frmDisplayIO.h"

#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QMdiSubWindow>
#include <QTest>

namespace {

const QColor Blue(0, 0, 255);
const QColor DarkRed(192, 0, 0);

class IOStates : public AppFixture {
protected:
    IOStates() { board.cupper().hold(true); }
    void openView(bool online) {
        RegisterViews(views);
        startMainWindow();
        if (online)
            goOnline();
        action("mnuWindowForm5")->trigger();
        ASSERT_TRUE(pumpUntil([this] {
            return view() && (view()->loop().OfflinePrepared() || view()->loop().OnlinePrepared());
        }));
    }
    frmDisplayIO* view() const { return qobject_cast<frmDisplayIO*>(main->currentViewWidget()); }
    QLabel* label(const QString& name) const {
        QLabel* found = view()->findChild<QLabel*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }
    QString text(const QString& name) const { return label(name)->text(); }
    QColor colour(const QString& name) const {
        return label(name)->palette().color(QPalette::Active, QPalette::WindowText);
    }
    bool passes(int n = 1) { return RunPasses(view()->loop(), n); }
    // "ON" in blue or "off" in dark red, nothing else.
    void expectState(const QString& name, bool on) {
        EXPECT_EQ(text(name), on ? "ON" : "off") << name.toStdString();
        EXPECT_EQ(colour(name), on ? Blue : DarkRed) << name.toStdString();
    }
    // The 16 state labels of a word, in bit order.
    QStringList wordLabels(int word) const {
        QStringList names;
        for (int k = 0; k < 16; ++k) {
            switch (word) {
            case 170:
                names << QStringLiteral("lblTmgChannelState%1").arg(k);
                break;
            case 100:
                names << QStringLiteral("lblSlot00State%1").arg(k);
                break;
            case 110:
                names << QStringLiteral("lblSlot01State%1").arg(k);
                break;
            default:
                names << QStringLiteral("lblSlot02State%1").arg(k);
                break;
            }
        }
        return names;
    }
    void expectWord(int word, int bits) {
        const QStringList names = wordLabels(word);
        for (int k = 0; k < 16; ++k)
            expectState(names[k], (bits >> k) & 1);
    }
    // The caption on the same row of the same frame as a state label.
    QString captionBeside(QLabel* state) const {
        auto* grid = qobject_cast<QGridLayout*>(state->parentWidget()->layout());
        int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
        grid->getItemPosition(grid->indexOf(state), &row, &column, &rowSpan, &columnSpan);
        return qobject_cast<QLabel*>(grid->itemAtPosition(row, 0)->widget())->text();
    }
};

TEST_F(IOStates, CaptionsAndToolTips) {
    openView(false);
    EXPECT_EQ(action("mnuWindowForm5")->text(), "&6 I/O States");
    EXPECT_EQ(view()->windowTitle(), "I/O Status");
    EXPECT_TRUE(qobject_cast<QMdiSubWindow*>(view()->parentWidget())->isMaximized());
    QStringList frames;
    for (auto* box : view()->findChildren<QGroupBox*>())
        frames << box->title();
    frames.sort();
    EXPECT_EQ(frames, (QStringList{"K2700", "Slot0-0", "Slot0-1", "Slot0-2", "Timing"}));

    const char* const board[] = {"IN0:",
                                 "IN1:",
                                 "Analog Input 0:",
                                 "Analog Input 1:",
                                 "Analog Output 0:",
                                 "Analog Output 1:",
                                 "Resolver POS:",
                                 "Resolver RPM:",
                                 "Resolver Period:",
                                 "Scale Factor:",
                                 "Offset:"};
    const char* const addresses[] = {"F80",  "F81",  "W162", "W164", "B166", "B167",
                                     "W180", "W182", "W184", "W186", "W188"};
    for (int i = 0; i < 11; ++i) {
        EXPECT_EQ(text(QStringLiteral("lblk2710%1").arg(i)), board[i]);
        EXPECT_EQ(label(QStringLiteral("lblk2710State%1").arg(i))->toolTip(), addresses[i]);
    }
    EXPECT_EQ(label("lblk27100")->toolTip(), "Scrap Jam Input");
    EXPECT_EQ(label("lblk27101")->toolTip(), "");

    EXPECT_EQ(text("lblTmgChannel0"), "CH00:");
    EXPECT_EQ(text("lblTmgChannel7"), "CH07:");
    EXPECT_EQ(text("lblTmgChannel8"), "CH10:");
    EXPECT_EQ(text("lblTmgChannel15"), "CH17:");
    EXPECT_EQ(label("lblTmgChannel3")->toolTip(), "Air Strip (High) Timing");
    EXPECT_EQ(label("lblTmgChannel7")->toolTip(), "PLC Timing");
    EXPECT_EQ(label("lblTmgChannel12")->toolTip(), "Spare");

    EXPECT_EQ(text("lblSlot000"), "(B100.0)    0:");
    EXPECT_EQ(text("lblSlot007"), "(B100.7)    7:");
    EXPECT_EQ(text("lblSlot008"), "(B110.0)  10:");
    EXPECT_EQ(text("lblSlot0015"), "(B110.7)  17:");
    EXPECT_EQ(label("lblSlot005")->toolTip(), "~Immediate Stop");
    EXPECT_EQ(label("lblSlot0014")->toolTip(), "~TLV Alarm");
    EXPECT_EQ(text("lblSlot010"), "(B101.0)    0:");
    EXPECT_EQ(text("lblSlot0112"), "(B111.4)  14:");
    EXPECT_EQ(label("lblSlot014")->toolTip(), "");
    EXPECT_EQ(label("lblSlot015")->toolTip(), "End of Shift");
    EXPECT_EQ(label("lblSlot0115")->toolTip(), "Brake Response Too Long");
    EXPECT_EQ(text("lblSlot0211"), "(B121.3)  13:");
    EXPECT_EQ(label("lblSlot020")->toolTip(), "Cup Drop Sensor - Station 1");
    EXPECT_EQ(label("lblSlot0215")->toolTip(), "Cup Drop Sensor - Station 16");

    // Each state label stands beside the caption of its byte and bit.
    EXPECT_EQ(captionBeside(label("lblSlot00State0")), "(B100.0)    0:");
    EXPECT_EQ(captionBeside(label("lblSlot00State8")), "(B101.0)    0:");
    EXPECT_EQ(captionBeside(label("lblSlot01State7")), "(B110.7)  17:");
    EXPECT_EQ(captionBeside(label("lblSlot01State15")), "(B111.7)  17:");
    EXPECT_EQ(captionBeside(label("lblSlot02State9")), "(B121.1)  11:");
    EXPECT_EQ(captionBeside(label("lblTmgChannelState9")), "CH11:");
}

TEST_F(IOStates, OnlineShowsTheBoardsBitsAndValues) {
    auto& m = board.memory();
    m.setFlag(80, true);
    m.setFlag(81, false);
    m.setWord(162, 512);
    m.setWord(164, 77);
    m.setByte(166, 200);
    m.setByte(167, 3);
    m.setWord(180, 123);
    m.setWord(182, 180);
    m.setWord(184, 333);
    m.setWord(186, 360);
    m.setWord(188, 12);
    m.setWord(170, 0x0081);
    m.setWord(100, 257);
    m.setWord(110, 0xA005);
    m.setWord(120, 32768);
    openView(true);
    ASSERT_TRUE(passes());
    expectState("lblk2710State0", true);
    expectState("lblk2710State1", false);
    const char* const values[] = {"512", "77", "200", "3", "123", "180", "333", "360", "12"};
    for (int i = 2; i < 11; ++i)
        EXPECT_EQ(text(QStringLiteral("lblk2710State%1").arg(i)), values[i - 2]);
    expectWord(170, 0x0081);
    // 257: bit 0 of B100 in Slot0-0 and bit 0 of B101 in Slot0-1.
    expectWord(100, 257);
    expectWord(110, 0xA005);
    // 32768: only station 16.
    expectWord(120, 0x8000);
    EXPECT_EQ(captionBeside(label("lblSlot00State0")), "(B100.0)    0:");
    EXPECT_EQ(captionBeside(label("lblSlot00State8")), "(B101.0)    0:");

    // The view reads and never writes.
    port.clearTrace();
    TrafficDecoder decoder;
    ASSERT_TRUE(passes(2));
    const BoardTraffic t = decoder.feed(port.trace());
    EXPECT_TRUE(t.writes.isEmpty());
}

TEST_F(IOStates, InputsAreOnOnlyAtExactlyOne) {
    openView(true);
    board.memory().setFlag(81, true);
    ASSERT_TRUE(passes());
    expectState("lblk2710State1", true);
    board.memory().setFlag(81, false);
    ASSERT_TRUE(passes());
    expectState("lblk2710State1", false);
    // Whatever else a read gives is off.
    for (const char* text : {"2", "0", "-1", "255", "junk"}) {
        view()->ShowStep(0, QString::fromLatin1(text));
        expectState("lblk2710State0", false);
    }
    view()->ShowStep(0, QStringLiteral("1"));
    expectState("lblk2710State0", true);
}

TEST_F(IOStates, NegativeWordsGiveTheirUnsignedBits) {
    openView(true);
    ASSERT_TRUE(passes());
    view()->ShowStep(14, QStringLiteral("-32768"));
    expectWord(120, 0x8000);
    view()->ShowStep(12, QStringLiteral("-1"));
    expectWord(100, 0xFFFF);
    board.memory().setWord(100, 0xFFFF);
    ASSERT_TRUE(passes(2));
    expectWord(100, 0xFFFF);
}

TEST_F(IOStates, OfflineShowsDashesAndReadsNothing) {
    openView(false);
    EXPECT_EQ(port.trace(), "");
    for (int i = 0; i < 11; ++i) {
        const QString name = QStringLiteral("lblk2710State%1").arg(i);
        EXPECT_EQ(text(name), "-");
        EXPECT_FALSE(label(name)->isEnabled());
    }
    for (int word : {170, 100, 110, 120})
        for (const QString& name : wordLabels(word)) {
            EXPECT_EQ(text(name), "-");
            EXPECT_EQ(colour(name), Blue);
            EXPECT_FALSE(label(name)->isEnabled());
        }
    for (auto* box : view()->findChildren<QGroupBox*>())
        EXPECT_FALSE(box->isEnabled());
    EXPECT_FALSE(label("lblSlot0215")->isEnabled());
    pump(100);
    EXPECT_EQ(port.trace(), "");
}

TEST_F(IOStates, ACommErrorEndsThePassAndGreysTheView) {
    board.memory().setWord(100, 1);
    openView(true);
    ASSERT_TRUE(passes());
    expectState("lblSlot00State0", true);
    board.faults().silentFromByte = board.bytesReceived();
    prompt.queue(Prompt::Answer::Cancel);
    ASSERT_TRUE(pumpUntil([&] { return panelText("MODE") == "OFFLINE"; }));
    ASSERT_TRUE(pumpUntil([&] { return text("lblSlot00State0") == "-"; }));
    EXPECT_EQ(colour("lblSlot00State0"), Blue);
    EXPECT_EQ(text("lblk2710State0"), "-");
    EXPECT_FALSE(label("lblk2710State0")->isEnabled());

    // Online again: enabled, "-" in blue until the first values arrive.
    board.faults().silentFromByte = -1;
    goOnline();
    ASSERT_TRUE(pumpUntil([&] { return label("lblSlot00State0")->isEnabled(); }));
    ASSERT_TRUE(passes());
    expectState("lblSlot00State0", true);
}

} // namespace
