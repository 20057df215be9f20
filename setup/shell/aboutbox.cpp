#include "aboutbox.h"

#include "appdefaults.h"
#include "colourpalette.h"
#include "commongui.h"

#include <QEvent>
#include <QPainter>

namespace {
constexpr int kWidth = 285;
constexpr int kHeight = 288;
constexpr int kIconSize = 128;
} // namespace

AboutBox::AboutBox(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setFixedSize(kWidth, kHeight);
}

QString AboutBox::versionText()
{
    return tr("Version %1").arg(AppDefaults::aboutRelease());
}

QString AboutBox::rightsText()
{
    return tr("Copyright \u00a9 %1 Morvane. All rights reserved.").arg(AppDefaults::aboutYear());
}

void AboutBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.fillRect(rect(), Qt::white);
    painter.setPen(ColourPalette::kBonesGray);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));

    const QPixmap icon = AppDefaults::aboutIcon();
    if (!icon.isNull())
        painter.drawPixmap(QRect((kWidth - kIconSize) / 2, 28, kIconSize, kIconSize), icon);

    painter.setPen(ColourPalette::kWinterSkyGray);
    painter.setFont(CommonGui::font(2));
    painter.drawText(QRect(0, 172, kWidth, 28), Qt::AlignCenter, AppDefaults::aboutTitle());
    painter.setPen(ColourPalette::kFoggyGray);
    painter.setFont(CommonGui::font(3));
    painter.drawText(QRect(0, 202, kWidth, 22), Qt::AlignCenter, versionText());
    painter.setFont(CommonGui::font(5));
    painter.drawText(QRect(16, 240, kWidth - 32, 32), Qt::AlignCenter | Qt::TextWordWrap, rightsText());
}

void AboutBox::mousePressEvent(QMouseEvent*)
{
    accept();
}

void AboutBox::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange && isVisible()) {
        if (isActiveWindow())
            m_wasActive = true;
        else if (m_wasActive)
            accept();
    }
    QDialog::changeEvent(event);
}
