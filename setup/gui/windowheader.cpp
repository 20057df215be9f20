#include "windowheader.h"
#include "hidpipixmap.h"

#include "appdefaults.h"
#include "colourpalette.h"
#include "commongui.h"

#include <QLinearGradient>
#include <QPainter>

WindowHeader::WindowHeader(QWidget* parent)
    : QWidget(parent), m_title(AppDefaults::headerTitle()), m_logo(loadPicture(QStringLiteral(":/Logo")))
{
    setFixedHeight(kHeight);
    setFont(CommonGui::font(CommonGui::kLightHuge));
}

QRect WindowHeader::textRect() const
{
    computeGeometry();
    return m_textRect;
}

QPoint WindowHeader::logoPosition() const
{
    computeGeometry();
    return m_logoPosition;
}

void WindowHeader::computeGeometry() const
{
    if (m_computedFor == size())
        return;
    m_computedFor = size();
    const QSize logoSize = m_logo.isNull() ? QSize() : m_logo.size() / m_logo.devicePixelRatio();
    m_logoPosition = QPoint(width() - kLogoRightInset - logoSize.width(), (height() - logoSize.height()) / 2);
    // The title never runs under the logo.
    const int textRight = m_logo.isNull() ? width() : m_logoPosition.x() - kLogoRightInset;
    m_textRect = QRect(kTitleLeft, 0, qMax(0, textRight - kTitleLeft), height());
}

void WindowHeader::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QLinearGradient gradient(0, 0, 0, height());
    gradient.setColorAt(0, ColourPalette::kAsphaltGray);
    gradient.setColorAt(0.5, ColourPalette::kHurricaneGray);
    gradient.setColorAt(1, ColourPalette::kNightskyGray);
    painter.fillRect(rect(), gradient);

    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setPen(ColourPalette::kMilkGray);
    painter.setFont(font());
    computeGeometry();
    painter.drawText(m_textRect, Qt::AlignLeft | Qt::AlignVCenter, m_title);

    if (!m_logo.isNull()) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawPixmap(m_logoPosition, m_logo);
    }
}
