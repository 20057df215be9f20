#pragma once

#include <QObject>
#include <QPointer>

class QSocketNotifier;
class QWidget;

// Ends the program on SIGTERM or SIGINT the way the window's close button
// does: open modal dialogs are closed, then the window, which saves its
// geometry; the program then ends normally, so its sockets are removed.
// The handler only writes the signal to a pipe; the close happens on the
// GUI thread when the pipe is read.
class CloseOnSignal : public QObject
{
    Q_OBJECT
public:
    explicit CloseOnSignal(QWidget* window, QObject* parent = nullptr);
    ~CloseOnSignal() override;

private:
    void onSignal();

    QPointer<QWidget> m_window;
    QSocketNotifier* m_notifier = nullptr;
};
