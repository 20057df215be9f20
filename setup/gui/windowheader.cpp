#include "windowheader.h"

#include "appdefaults.h"
#include "colourpalette.h"
#include "commongui.h"

#include <QLinearGradient>
#include <QPainter>

namespace {
constexpr int kHeight = 76;
constexpr int kTitleLeft = 29;
constexpr int kLogoRightInset = 23;
} // namespace

WindowHeader::WindowHeader(QWidget* parent)
    : QWidget(parent), m_title(AppDefaults::headerTitle()), m_logo(QStringLiteral(":/Logo"))
{
    setFixedHeight(kHeight);
    setFont(CommonGui::font(0));
}

void WindowHeader::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QLinearGradient gradient(0, 0, 0, height());
    gradient.setColorAt(0, ColourPalette::kAsphaltGray);
    gradient.setColorAt(0.5, ColourPalette::kHurricaneGray);
    gradient.setColorAt(1, ColourPalette::kNightskyGray);
    painter.fillRect(rect(), gradient);

    painter.setPen(ColourPalette::kMilkGray);
    painter.setFont(font());
    const QRect textRect(kTitleLeft, 0, width() - kTitleLeft, height());
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter, m_title);

    if (!m_logo.isNull()) {
        const QSize logoSize = m_logo.size() / m_logo.devicePixelRatio();
        painter.drawPixmap(width() - kLogoRightInset - logoSize.width(), (height() - logoSize.height()) / 2,
                           m_logo);
    }
}
