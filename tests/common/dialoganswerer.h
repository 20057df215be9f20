#pragma once

#include <QApplication>
#include <QDialog>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QVariant>
#include <functional>

// Watches for modal dialogs while a test runs code that shows them, and lets
// the test answer each one. Every showing is recorded by class name; a
// dialog that is reused counts anew each time it is shown.
class DialogAnswerer : public QObject
{
public:
    using Handler = std::function<bool(QDialog*)>; // true: handled, stop offering it

    explicit DialogAnswerer(Handler handler) : m_handler(std::move(handler))
    {
        m_timer.setInterval(20);
        QObject::connect(&m_timer, &QTimer::timeout, this, [this] { poll(); });
        m_timer.start();
    }

    QStringList seen;

private:
    void poll()
    {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible()) {
            m_current = nullptr;
            return;
        }
        if (dialog != m_current) {
            m_current = dialog;
            m_done = false;
            // A reused dialog may be shown again before the next poll.
            QObject::disconnect(m_finished);
            m_finished = QObject::connect(dialog, &QDialog::finished, this, [this] { m_current = nullptr; });
            seen << dialog->metaObject()->className();
        }
        if (!m_done)
            m_done = m_handler(dialog);
    }

    Handler m_handler;
    QTimer m_timer;
    QPointer<QDialog> m_current; // the showing being answered
    bool m_done = false;
    QMetaObject::Connection m_finished;
};
