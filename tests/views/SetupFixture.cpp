#include "SetupFixture.h"

#include "OnOffSwitch.h"
#include "UpDown.h"
#include "Views.h"
#include "frmSetup.h"

#include <QApplication>
#include <QLineEdit>
#include <QTabBar>
#include <QTest>
#include <QToolButton>

const QString SetupFixture::Deg = QString(QChar(0x00B0));

SetupFixture::SetupFixture() {
    board.cupper().hold(true);
    auto& m = board.memory();
    const int values[] = {180, 175, 300, 120, 250, 240, 70}; // W1020 ... W1034
    const int addresses[] = {1020, 1022, 1024, 1026, 1028, 1032, 1034};
    for (int i = 0; i < 7; ++i)
        m.setWord(addresses[i], values[i]);
    m.setBit(1018, 0, true);
}

void SetupFixture::openView() {
    RegisterViews(views);
    startMainWindow();
    main->activateWindow();
    QApplication::setActiveWindow(main.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(main.get()));
    action("mnuWindowForm1")->trigger();
    ASSERT_TRUE(pumpUntil([this] {
        return view() && (view()->loop().OfflinePrepared() || view()->loop().OnlinePrepared());
    }));
}

frmSetup* SetupFixture::view() const {
    return qobject_cast<frmSetup*>(main->currentViewWidget());
}

QWidget* SetupFixture::control(const QString& name) const {
    return view()->findChild<QWidget*>(name);
}

QLineEdit* SetupFixture::txt(int i) const {
    return view()->findChild<QLineEdit*>(QStringLiteral("txtSetup%1").arg(i));
}

UpDown* SetupFixture::upd(int i) const {
    return view()->findChild<UpDown*>(QStringLiteral("updSetup%1").arg(i));
}

OnOffSwitch* SetupFixture::chk() const {
    return view()->findChild<OnOffSwitch*>(QStringLiteral("chkBrakeWearCompEnable"));
}

QTabBar* SetupFixture::tabs() const {
    return view()->findChild<QTabBar*>(QStringLiteral("tbsSetup"));
}

QString SetupFixture::focused() const {
    return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
}

void SetupFixture::keys(const QString& text) {
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    QTest::keyClicks(QApplication::focusWidget(), text);
}

void SetupFixture::key(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
}

void SetupFixture::click(QWidget* widget) {
    QTest::mouseClick(widget, Qt::LeftButton);
}

void SetupFixture::clickArrow(int i, int direction) {
    click(direction > 0 ? upd(i)->upButton() : upd(i)->downButton());
}

bool SetupFixture::passes(int n) {
    return RunPasses(view()->loop(), n);
}

qint32& SetupFixture::entry(int index) const {
    return main->shared().CurrentData.ValueTable[index];
}
