#pragma once

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <functional>

// Runs act once on the first widget of type T shown from now on, from the
// event loop that widget then runs (a modal dialog's own exec()): a test
// drives a dialog when it is up, never after a guessed delay.
template <typename T> class WhenShown final : public QObject {
public:
    explicit WhenShown(std::function<void(T*)> act) : m_act(std::move(act)) {
        qApp->installEventFilter(this);
    }
    ~WhenShown() override { qApp->removeEventFilter(this); }

    bool acted() const { return m_acted; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (m_seen || event->type() != QEvent::Show)
            return false;
        if (T* widget = qobject_cast<T*>(watched)) {
            m_seen = true;
            // Queued: a dialog being shown has not entered its event loop
            // yet, and one closed now would leave exec() waiting for ever.
            QMetaObject::invokeMethod(
                this,
                [this, target = QPointer<T>(widget)] {
                    if (target) {
                        m_acted = true;
                        m_act(target.data());
                    }
                },
                Qt::QueuedConnection);
        }
        return false;
    }

private:
    std::function<void(T*)> m_act;
    bool m_seen = false;
    bool m_acted = false;
};
