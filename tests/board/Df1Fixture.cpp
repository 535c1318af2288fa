#include "Df1Fixture.h"

#include "BoardViews.h"
#include "UpDown.h"
#include "frm8470DF1.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

Df1Fixture::Df1Fixture() {
    board.cupper().hold(true);
    board.df1().hold(true);
}

void Df1Fixture::openView() {
    RegisterBoardViews(views);
    startMainWindow();
    main->activateWindow();
    QApplication::setActiveWindow(main.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(main.get()));
    action("mnuWindowForm2")->trigger();
    ASSERT_TRUE(pumpUntil([this] {
        return view() && (view()->loop().OfflinePrepared() || view()->loop().OnlinePrepared());
    }));
}

frm8470DF1* Df1Fixture::view() const {
    return qobject_cast<frm8470DF1*>(main->currentViewWidget());
}

QWidget* Df1Fixture::control(const QString& name) const {
    return view()->findChild<QWidget*>(name);
}

QLabel* Df1Fixture::status(int row) const {
    return view()->findChild<QLabel*>(QStringLiteral("lblDisplay%1").arg(row));
}

QLabel* Df1Fixture::description(int i) const {
    return view()->findChild<QLabel*>(QStringLiteral("lblDescription%1").arg(i));
}

QLineEdit* Df1Fixture::txt(int i) const {
    return view()->findChild<QLineEdit*>(QStringLiteral("txtSetup%1").arg(i));
}

UpDown* Df1Fixture::upd(int i) const {
    return view()->findChild<UpDown*>(QStringLiteral("updSetup%1").arg(i));
}

QComboBox* Df1Fixture::list() const {
    return view()->findChild<QComboBox*>(QStringLiteral("cboSetup"));
}

QString Df1Fixture::focused() const {
    return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
}

void Df1Fixture::keys(const QString& text) {
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    QTest::keyClicks(QApplication::focusWidget(), text);
}

void Df1Fixture::key(Qt::Key key) {
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    QTest::keyClick(QApplication::focusWidget(), key);
}

void Df1Fixture::click(QWidget* widget) {
    QTest::mouseClick(widget, Qt::LeftButton);
}

void Df1Fixture::choose(int index) {
    list()->setFocus(Qt::TabFocusReason);
    ASSERT_EQ(focused(), "cboSetup");
    // Up from nothing or from the second entry lands on the first; down on the second.
    QTest::keyClick(list(), index == 0 ? Qt::Key_Up : Qt::Key_Down);
    if (index == 0 && list()->currentIndex() != 0)
        QTest::keyClick(list(), Qt::Key_Home);
}

void Df1Fixture::goOffline() {
    QTest::keyClick(main.get(), Qt::Key_F4);
}

void Df1Fixture::toggleOfflineEditing() {
    QTest::keyClick(main.get(), Qt::Key_F2);
}

bool Df1Fixture::passes(int n) {
    return RunPasses(view()->loop(), n);
}

qint32& Df1Fixture::entry(int index) const {
    return main->shared().CurrentData.ValueTable[index];
}
