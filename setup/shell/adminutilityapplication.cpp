#include "adminutilityapplication.h"

#include "customnofocusrectstyle.h"
#include "rollovericon.h"
#include "rollovericoncallout.h"

#include <QEvent>
#include <QWidget>

AdminUtilityApplication::AdminUtilityApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    // The application takes ownership of the style.
    setStyle(new CustomNoFocusRectStyle);
}

bool AdminUtilityApplication::notify(QObject* receiver, QEvent* event)
{
    if (event->type() == QEvent::Wheel && shouldSwallowWheel(receiver))
        return true;
    return QApplication::notify(receiver, event);
}

bool AdminUtilityApplication::shouldSwallowWheel(QObject* receiver)
{
    // A rollover icon sits inside scrolling settings pages; a wheel over it
    // would otherwise scroll the page while its callout stays put.
    if (qobject_cast<RolloverIcon*>(receiver))
        return true;
    auto* widget = qobject_cast<QWidget*>(receiver);
    QWidget* popup = activePopupWidget();
    return widget && popup && widget->window() != popup;
}
