#pragma once

#include <QApplication>

// The application object: installs the utility's style and keeps wheel
// events from scrolling controls they were not meant for.
class AdminUtilityApplication : public QApplication
{
    Q_OBJECT

public:
    AdminUtilityApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // True when a wheel event for `receiver` must be swallowed: over a
    // rollover icon, or outside the popup that is open.
    static bool shouldSwallowWheel(QObject* receiver);
};
