#include "mainwindowmenu.h"

#include "colourpalette.h"
#include "commongui.h"

#include <QSignalMapper>

MainWindowMenu::MainWindowMenu(QWidget* parent)
    : QMenu(parent)
    , m_mapper(new QSignalMapper(this))
{
    // Rounded corners need a frameless, translucent popup.
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    setFont(CommonGui::font(CommonGui::kRegularLarge));
    setStyleSheet(styleSheetText());
    connect(m_mapper, &QSignalMapper::mappedInt, this, &MainWindowMenu::menuOptionPressed);
}

QString MainWindowMenu::styleSheetText()
{
    return QStringLiteral(
               "QMenu { background: white; border: 1px solid %1; border-radius: 8px; padding: 6px 0px; }"
               "QMenu::item { color: %2; background: transparent; padding: 6px 28px 6px 28px; }"
               "QMenu::item:selected { background: %1; }"
               "QMenu::item:disabled { color: %3; }"
               "QMenu::indicator { width: 14px; height: 14px; left: 8px; }"
               "QMenu::indicator:checked { image: url(:/Tick); }"
               "QMenu::separator { height: 1px; background: %1; margin: 4px 10px; }")
        .arg(ColourPalette::toHtmlQString(ColourPalette::kBonesGray),
             ColourPalette::toHtmlQString(ColourPalette::kWinterSkyGray),
             ColourPalette::toHtmlQString(ColourPalette::kWinterSkyGray, ColourPalette::kDisabledAlpha));
}

QAction* MainWindowMenu::addOption(const QString& text, int value)
{
    QAction* action = addAction(text);
    connect(action, &QAction::triggered, m_mapper, qOverload<>(&QSignalMapper::map));
    m_mapper->setMapping(action, value);
    return action;
}

QPoint MainWindowMenu::positionAbove(QWidget* widget, QPoint point) const
{
    const QPoint global = widget ? widget->mapToGlobal(point) : point;
    return global - QPoint(0, sizeHint().height());
}

void MainWindowMenu::raiseMenuAbove(QWidget* widget, QPoint point)
{
    popup(positionAbove(widget, point));
}
