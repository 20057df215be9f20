#pragma once

#include <QApplication>
#include <QDialog>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <QVariant>
#include <functional>

// Watches for modal dialogs while a test runs code that shows them, and lets
// the test answer each one. Every dialog seen is recorded by class name once.
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
        if (!dialog || !dialog->isVisible())
            return;
        // A property marks what was seen: a new dialog may reuse an old address.
        if (!dialog->property("answererSeen").toBool()) {
            dialog->setProperty("answererSeen", true);
            dialog->setProperty("answererDone", false);
            seen << dialog->metaObject()->className();
        }
        if (!dialog->property("answererDone").toBool())
            dialog->setProperty("answererDone", m_handler(dialog));
    }

    Handler m_handler;
    QTimer m_timer;
};
