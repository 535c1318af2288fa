#include "LinkFixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

LinkFixture::LinkFixture() {}

void LinkFixture::goOnline() {
    link.OpenRSComm(port);
    ASSERT_TRUE(link.OnlineMode());
    port.clearTrace();
}

QString LinkFixture::takeTrace() {
    const QString t = port.trace();
    port.clearTrace();
    return t;
}

void LinkFixture::writeProgramFile(const QString& relativePath, const QByteArray& content) {
    const QString path = m_folder.filePath(relativePath);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
}

QString describe(const ScriptedPrompt::Shown& shown) {
    return shown.title + u'|' + shown.text + u'|' + toString(shown.icon) + u'|' +
           toString(shown.buttons);
}

QStringList describeAll(const ScriptedPrompt& prompt) {
    QStringList all;
    for (const auto& s : prompt.shown())
        all.append(describe(s));
    return all;
}

void EnsureCoreApplication() {
    static int argc = 1;
    static char name[] = "link_tests";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv); // lives as long as the test program
}
