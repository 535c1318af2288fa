#include "TimingFixture.h"

#include "UpDown.h"
#include "Views.h"
#include "frmTiming.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

TimingFixture::TimingFixture() {
    board.cupper().hold(true);
    board.pls().setBusyUs(0);
    board.pls().stopAt(150);
    board.pls().setOffset(10);
    board.pls().setSetpoints(0, 10, 100);
    board.pls().setSetpoints(1, 20, 200);
    board.pls().setSetpoints(3, 300, 30);
    for (int i = 0; i < 24; ++i)
        board.pls().setConfigValue(i, 0);
    board.pls().setConfigValue(18, 8); // channels
    board.pls().setConfigValue(0, 2);  // program
    board.pls().setConfigValue(1, 11); // CH00 compensation
    board.pls().setConfigValue(9, 17); // CH07 compensation
}

void TimingFixture::openView() {
    RegisterViews(views);
    startMainWindow();
    main->activateWindow();
    QApplication::setActiveWindow(main.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(main.get()));
    action("mnuWindowForm3")->trigger();
    ASSERT_TRUE(pumpUntil([this] {
        return view() && (view()->loop().OfflinePrepared() || view()->loop().OnlinePrepared());
    }));
}

// Online with the configuration read, the channels recalled and the status
// bar polled once.
void TimingFixture::openOnline() {
    openView();
    goOnline();
    ASSERT_TRUE(passes(2));
    ASSERT_TRUE(button("cmdRecallChan")->isEnabled());
    takeTrace();
}

frmTiming* TimingFixture::view() const {
    return qobject_cast<frmTiming*>(main->currentViewWidget());
}

QWidget* TimingFixture::control(const QString& name) const {
    return view()->findChild<QWidget*>(name);
}

QLineEdit* TimingFixture::box(int index) const {
    return view()->findChild<QLineEdit*>(QStringLiteral("txtChannel%1").arg(index));
}

UpDown* TimingFixture::upd(int index) const {
    return view()->findChild<UpDown*>(QStringLiteral("updChannel%1").arg(index));
}

QLineEdit* TimingFixture::tmg(int i) const {
    return view()->findChild<QLineEdit*>(QStringLiteral("txtTmg%1").arg(i));
}

QPushButton* TimingFixture::button(const char* name) const {
    return view()->findChild<QPushButton*>(QString::fromLatin1(name));
}

QLabel* TimingFixture::cfg(int i) const {
    return view()->findChild<QLabel*>(QStringLiteral("lblPLSCfg%1").arg(i));
}

QString TimingFixture::panel(int i) const {
    return view()->findChild<QLabel*>(QStringLiteral("sbrMachineTimingPanel%1").arg(i))->text();
}

QString TimingFixture::focused() const {
    return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
}

void TimingFixture::keys(const QString& text) {
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    QTest::keyClicks(QApplication::focusWidget(), text);
}

void TimingFixture::key(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
}

void TimingFixture::click(QWidget* widget) {
    QTest::mouseClick(widget, Qt::LeftButton);
}

void TimingFixture::enter(QLineEdit* text, const QString& typed) {
    click(text);
    keys(typed);
    key(Qt::Key_Return);
}

void TimingFixture::toggleOfflineEditing() {
    QTest::keyClick(main.get(), Qt::Key_F2);
}

bool TimingFixture::passes(int n) {
    return RunPasses(view()->loop(), n);
}

QList<int> TimingFixture::plsCommands() {
    static const QRegularExpression handshake(QStringLiteral("hFF b55 h([0-9A-F]{2}) b55"));
    QList<int> commands;
    const QString trace = takeTrace();
    for (auto it = handshake.globalMatch(trace); it.hasNext();) {
        const int command = it.next().captured(1).toInt(nullptr, 16);
        if (command > 2) // not register read or write mode
            commands << command;
    }
    return commands;
}

qint16& TimingFixture::setpoint(int channel, int onOff) const {
    return main->shared().CurrentData.ChannelSetpoint[size_t(channel)][size_t(onOff)];
}

QStringList TimingFixture::titles() const {
    QStringList list;
    for (const auto& shown : prompt.shown())
        list << shown.title;
    return list;
}
