#include "AppFixture.h"

#include "RefreshLoop.h"
#include "StatusPanels.h"
#include "ViewBase.h"
#include "frmMain.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>

void EnsureApplication() {
    static int argc = 1;
    static char name[] = "app_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    Q_UNUSED(app);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

AppFixture::AppFixture() {
    EnsureApplication();
    QDir(folder.path()).mkpath(QStringLiteral("Support"));
    QFile cfg(folder.filePath(QStringLiteral("Support/RSPort.cfg")));
    if (cfg.open(QIODevice::WriteOnly))
        cfg.write("1, 19200 ,SIM\r\n");
    views.Register(ViewTable::MainDisplay,
                   [](ViewContext& context) { return new frmMain(context); });
}

AppFixture::~AppFixture() {
    main.reset();
}

void AppFixture::startMainWindow(bool keepTimer) {
    main = std::make_unique<frmMDIMain>(prompt, clock, port, folder.path(), views);
    if (!keepTimer)
        backgroundTimer()->stop();
    main->show();
    // The main display's loop starts once the window is on screen.
    pumpUntil([this] {
        return main->currentViewWidget() && main->currentViewWidget()->loop().OfflinePrepared();
    });
}

bool AppFixture::pumpUntil(const std::function<bool()>& condition, int timeoutMs) {
    return PumpUntil(condition, timeoutMs);
}

bool PumpUntil(const std::function<bool()>& condition, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() >= timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return true;
}

bool RunPasses(RefreshLoop& loop, int n, int timeoutMs) {
    QEventLoop events;
    int passes = 0;
    // Quit inside the n-th pass's signal: the loop's next step is only
    // scheduled then, and no step runs until the test runs events again.
    const auto counted = QObject::connect(&loop, &RefreshLoop::passCompleted, &events, [&] {
        if (++passes == n)
            events.quit();
    });
    const auto gone = QObject::connect(&loop, &QObject::destroyed, &events, &QEventLoop::quit);
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &events, &QEventLoop::quit);
    limit.start(timeoutMs);
    if (n > 0)
        events.exec();
    QObject::disconnect(counted);
    QObject::disconnect(gone);
    return passes == n;
}

void AppFixture::tick(int times) {
    for (int i = 0; i < times; ++i)
        main->tmrBackgroungUpdate_Timer();
}

void AppFixture::goOnline() {
    QTest::keyClick(main.get(), Qt::Key_F3);
    ASSERT_EQ(panelText("MODE"), "ONLINE");
}

QLabel* AppFixture::panel(const char* key) const {
    return main->findChild<QLabel*>(QString::fromLatin1(key));
}

QString AppFixture::panelText(const char* key) const {
    return panel(key)->text();
}

QAction* AppFixture::action(const char* name) const {
    return main->findChild<QAction*>(QString::fromLatin1(name));
}

QLabel* AppFixture::display(int index) const {
    return main->findChild<QLabel*>(QStringLiteral("lblDisplay%1").arg(index));
}

QString AppFixture::message() const {
    return main->findChild<QPlainTextEdit*>(QStringLiteral("txtMessageDisplay"))->toPlainText();
}

QTimer* AppFixture::backgroundTimer() const {
    return main->findChild<QTimer*>(QStringLiteral("tmrBackgroungUpdate"));
}

QString AppFixture::takeTrace() {
    const QString t = port.trace();
    port.clearTrace();
    return t;
}
