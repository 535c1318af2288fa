#include "Driver.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QWidget>
#include <cstdio>

namespace {

constexpr int WaitForMs = 10'000;
constexpr int PollMs = 20;

QElapsedTimer& sinceStart() {
    static QElapsedTimer timer = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return timer;
}

void say(const QString& line) {
    std::fputs(qPrintable(line + u'\n'), stdout);
    std::fflush(stdout);
}

void sendMouse(QWidget* widget, QEvent::Type type) {
    const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
    QMouseEvent event(type, at, widget->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

} // namespace

Driver::Driver(QWidget& mainWindow, QStringList steps, QObject* parent)
    : QObject(parent), m_main(mainWindow), m_steps(std::move(steps)) {
    sinceStart();
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &Driver::next);
}

QStringList Driver::stepsFromEnvironment() {
    sinceStart();
    const QString path = qEnvironmentVariable("TELVANE_DRIVE");
    if (path.isEmpty())
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        say(QStringLiteral("drive: cannot read ") + path);
        return {};
    }
    QStringList steps;
    for (const QByteArray& raw : file.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (!line.isEmpty() && !line.startsWith(u'#'))
            steps.append(line);
    }
    return steps;
}

void Driver::start() {
    m_timer.start(0);
}

QString Driver::widgetText(const QWidget* widget) {
    if (const auto* label = qobject_cast<const QLabel*>(widget))
        return label->text();
    if (const auto* edit = qobject_cast<const QPlainTextEdit*>(widget))
        return edit->toPlainText();
    if (const auto* edit = qobject_cast<const QTextEdit*>(widget))
        return edit->toPlainText();
    if (const auto* line = qobject_cast<const QLineEdit*>(widget))
        return line->text();
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
        return button->text();
    if (const auto* list = qobject_cast<const QComboBox*>(widget))
        return list->currentText();
    return widget ? widget->windowTitle() : QString();
}

QWidget* Driver::find(const QString& name) const {
    if (m_main.objectName() == name)
        return &m_main;
    return m_main.findChild<QWidget*>(name);
}

void Driver::next() {
    if (m_index >= m_steps.size())
        return;
    if (run(m_steps[m_index])) {
        ++m_index;
        m_inWait = false;
    }
    if (m_index < m_steps.size())
        m_timer.start(m_inWait ? PollMs : 0);
}

bool Driver::run(const QString& step) {
    const QString command = step.section(u' ', 0, 0);
    const QString argument = step.section(u' ', 1).trimmed();
    if (command == QLatin1String("key")) {
        // Shortcuts reach only the active window; a window just shown
        // becomes active a moment later.
        if (!QApplication::activeWindow()) {
            if (!m_inWait) {
                m_inWait = true;
                m_waiting.start();
                m_main.activateWindow();
            }
            if (m_waiting.elapsed() < WaitForMs)
                return false;
        }
        const QKeySequence sequence = QKeySequence::fromString(argument);
        if (sequence.isEmpty())
            return true;
        const QKeyCombination combination = sequence[0];
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &m_main;
        QKeyEvent press(QEvent::KeyPress, combination.key(), combination.keyboardModifiers());
        QApplication::sendEvent(target, &press);
        if (QWidget* now = QApplication::focusWidget())
            target = now;
        QKeyEvent release(QEvent::KeyRelease, combination.key(), combination.keyboardModifiers());
        QApplication::sendEvent(target, &release);
    } else if (command == QLatin1String("click") || command == QLatin1String("dblclick")) {
        if (QWidget* widget = find(argument)) {
            sendMouse(widget, QEvent::MouseButtonPress);
            sendMouse(widget, QEvent::MouseButtonRelease);
            if (command == QLatin1String("dblclick")) {
                sendMouse(widget, QEvent::MouseButtonDblClick);
                sendMouse(widget, QEvent::MouseButtonRelease);
            }
        } else if (auto* item = m_main.findChild<QAction*>(argument)) {
            item->trigger();
        }
    } else if (command == QLatin1String("wait") || command == QLatin1String("waitfor")) {
        if (!m_inWait) {
            m_inWait = true;
            m_waiting.start();
        }
        if (command == QLatin1String("wait"))
            return m_waiting.elapsed() >= argument.toLongLong();
        const QString name = argument.section(u' ', 0, 0);
        const QString text = argument.section(u' ', 1);
        if (Driver::widgetText(find(name)).contains(text))
            return true;
        if (m_waiting.elapsed() < WaitForMs)
            return false;
        say(QStringLiteral("TIMEOUT ") + step);
    } else if (command == QLatin1String("print")) {
        QString text = Driver::widgetText(find(argument));
        text.replace(u'\n', QStringLiteral("\\n"));
        say(argument + u'=' + text);
    } else if (command == QLatin1String("mark")) {
        say(argument + u' ' + QString::number(sinceStart().elapsed()));
    } else if (command == QLatin1String("grab")) {
        m_main.grab().save(argument);
    } else if (command == QLatin1String("close")) {
        m_main.close();
    } else {
        say(QStringLiteral("drive: unknown step ") + step);
    }
    return true;
}
