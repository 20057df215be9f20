#include "statuspage.h"

StatusPage::StatusPage(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(QStringLiteral("StatusPage { background: white; }"));
}
