#include "aboutbox.h"

#include "appdefaults.h"
#include "cardpushbutton.h"
#include "colourpalette.h"
#include "commongui.h"

#include <QEvent>
#include <QPainter>

namespace {
constexpr int kWidth = 285;
constexpr int kHeight = 288;
constexpr int kIconSize = 96;
constexpr int kIconTop = 20;
constexpr int kButtonWidth = 114;
constexpr int kButtonHeight = 25;
constexpr int kButtonTop = 246;
} // namespace

// A title bar with only a close button: the box says what it is and shows how
// to leave it, beside the Close button, a click on it and Escape.
AboutBox::AboutBox(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setWindowTitle(AppDefaults::aboutMenuText());
    setFixedSize(kWidth, kHeight);
    m_close = new CardPushButton(tr("Close"), this);
    m_close->setGeometry((kWidth - kButtonWidth) / 2, kButtonTop, kButtonWidth, kButtonHeight);
    m_close->setDefault(true);
    connect(m_close, &QPushButton::clicked, this, &QDialog::accept);
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
        painter.drawPixmap(QRect((kWidth - kIconSize) / 2, kIconTop, kIconSize, kIconSize), icon);

    painter.setPen(ColourPalette::kWinterSkyGray);
    painter.setFont(CommonGui::font(2));
    painter.drawText(QRect(0, 124, kWidth, 28), Qt::AlignCenter, AppDefaults::aboutTitle());
    painter.setPen(ColourPalette::kFoggyGray);
    painter.setFont(CommonGui::font(3));
    painter.drawText(QRect(0, 152, kWidth, 22), Qt::AlignCenter, versionText());
    painter.setFont(CommonGui::font(5));
    painter.drawText(QRect(16, 186, kWidth - 32, 40), Qt::AlignCenter | Qt::TextWordWrap, rightsText());
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
