#pragma once

// Programs of the build in processes of their own: telvane-boardsim on a
// pseudo-terminal, and telvane or telvane-cli talking to it from a program
// folder of their own. For the tests and benchmarks that go through a real
// serial stack. Header-only, so that benchmarks use it without GoogleTest.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>

inline QString BuildProgram(const QString& name) {
    return QStringLiteral(TELVANE_BIN_DIR "/") + name;
}

// telvane-boardsim, running until the object goes.
class BoardProcess {
public:
    explicit BoardProcess(const QStringList& args = {}) {
        m_process.start(BuildProgram(QStringLiteral("telvane-boardsim")), args);
        if (m_process.waitForStarted(30000) && m_process.waitForReadyRead(30000))
            m_pty = QString::fromLocal8Bit(m_process.readLine()).trimmed();
    }
    ~BoardProcess() { stop(); }
    BoardProcess(const BoardProcess&) = delete;
    BoardProcess& operator=(const BoardProcess&) = delete;

    bool started() const { return m_pty.startsWith(QStringLiteral("/dev/")); }
    // The pseudo-terminal the board serves.
    const QString& pty() const { return m_pty; }
    void stop() {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            m_process.waitForFinished(5000);
        }
    }

private:
    QProcess m_process;
    QString m_pty;
};

// A program folder of its own; its port settings name the board's pseudo-terminal.
class ProgramHome {
public:
    explicit ProgramHome(const QString& pty = {}, const QString& baud = QStringLiteral("19200")) {
        if (!pty.isEmpty())
            writeFile(QStringLiteral("Support/RSPort.cfg"),
                      (QStringLiteral("1,") + baud + u',' + pty + "\r\n").toLocal8Bit());
    }
    QString path() const { return m_dir.path(); }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }
    // The user's data folder of the programs run from here (XDG_DATA_HOME).
    QString dataFolder() const { return m_dir.filePath(QStringLiteral(".local/share")); }
    bool writeFile(const QString& name, const QByteArray& content) const {
        QDir().mkpath(QFileInfo(filePath(name)).absolutePath());
        QFile f(filePath(name));
        return f.open(QIODevice::WriteOnly) && f.write(content) == content.size();
    }

private:
    QTemporaryDir m_dir;
};

struct ProcessResult {
    int exit = -1;
    QString out;
    QString err;
    QStringList lines() const { return out.split(u'\n', Qt::SkipEmptyParts); }
};

// The environment a program of the build runs in from a program home: its
// TELVANE_HOME, and configuration and data folders of its own.
inline QProcessEnvironment ProgramEnvironment(const ProgramHome& home) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TELVANE_HOME"), home.path());
    // The user's configuration folder is the home's own too.
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral(".config")));
    // And so is the data folder, with the set-up history.
    env.insert(QStringLiteral("XDG_DATA_HOME"), home.dataFolder());
    return env;
}

// Runs a program of the build to its end in the environment.
inline ProcessResult RunProgramIn(const QProcessEnvironment& env, const QString& name,
                                  const QStringList& args, int timeoutMs = 60000) {
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(BuildProgram(name), args);
    ProcessResult result;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(5000);
        return result;
    }
    result.exit = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

// Runs a program of the build to its end with TELVANE_HOME set; with steps,
// telvane runs them as its script (TELVANE_DRIVE) on the offscreen platform.
inline ProcessResult RunProgram(const QString& name, const QStringList& args,
                                const ProgramHome& home, const QStringList& steps = {},
                                int timeoutMs = 60000) {
    QProcessEnvironment env = ProgramEnvironment(home);
    if (!steps.isEmpty()) {
        const QString drive = home.filePath(QStringLiteral("drive.txt"));
        home.writeFile(QStringLiteral("drive.txt"), steps.join(u'\n').toUtf8());
        env.insert(QStringLiteral("TELVANE_DRIVE"), drive);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    }
    return RunProgramIn(env, name, args, timeoutMs);
}
