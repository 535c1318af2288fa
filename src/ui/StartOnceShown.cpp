#include "StartOnceShown.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace {

class FirstShow final : public QObject {
public:
    FirstShow(QWidget* window, std::function<void()> start)
        : QObject(window), m_window(window), m_start(std::move(start)) {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_window && event->type() == QEvent::Show) {
            m_window->removeEventFilter(this);
            QTimer::singleShot(0, m_window, std::move(m_start));
            deleteLater();
        }
        return false;
    }

private:
    QWidget* m_window;
    std::function<void()> m_start;
};

} // namespace

void StartOnceShown(QWidget* window, std::function<void()> start) {
    new FirstShow(window, std::move(start));
}
