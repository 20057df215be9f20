#include "cardheader.h"

#include "colourpalette.h"
#include "commongui.h"
#include "secretbutton.h"
#include "visibledevice.h"

#include <QLabel>
#include <QPainter>
#include <QPainterPath>

namespace {
constexpr int kTextX = 30;
constexpr int kNameWidth = 560;
constexpr int kSecretSize = 20;
} // namespace

CardHeader::CardHeader(const QColor& colour, QWidget* parent)
    : QWidget(parent)
    , m_colour(colour)
{
    setObjectName(QStringLiteral("productCardTop"));
    setFixedHeight(kHeight);
    m_name = CommonGui::label(CommonGui::kLightLarge, ColourPalette::kWinterSkyGray, this);
    m_name->setGeometry(kTextX, 14, kNameWidth, 30);
    m_icon = new QLabel(this);
    m_icon->hide();
    m_model = CommonGui::label(CommonGui::kRegular, ColourPalette::kSmokeGray, this);
    m_model->setGeometry(kTextX, 45, kModelWidth, 18);
    // A Shift double click in the bottom-right corner.
    m_secret = new SecretButton(this);
    m_secret->setFixedSize(kSecretSize, kSecretSize);
    connect(m_secret, &SecretButton::secretClick, this, &CardHeader::showEasterEgg);
}

void CardHeader::display(const VisibleDevice* device)
{
    if (!device) {
        m_name->clear();
        m_model->clear();
        m_icon->hide();
        return;
    }
    m_name->setText(CommonGui::elide(device->deviceName(), m_name->font(), m_name->width()));
    const QPixmap icon = device->cardConnectionIcon();
    int modelX = kTextX;
    int modelWidth = kModelWidth;
    if (icon.isNull()) {
        m_icon->hide();
    } else {
        const int iconWidth = icon.width() / icon.devicePixelRatio();
        m_icon->setPixmap(icon);
        m_icon->setGeometry(kTextX, 45, iconWidth + 10, 18);
        m_icon->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        m_icon->show();
        modelX += iconWidth + 10;
        modelWidth -= iconWidth + 10;
    }
    m_model->setGeometry(modelX, 45, std::max(0, modelWidth), 18);
    m_model->setText(CommonGui::elide(device->modelName(), m_model->font(), m_model->width()));
}

void CardHeader::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // A band of the card's colour along the rounded top edge.
    QPainterPath top;
    top.addRoundedRect(QRectF(0, 0, width(), 20), 10, 10);
    QPainterPath clip;
    clip.addRect(0, 0, width(), 5);
    painter.fillPath(top.intersected(clip), m_colour);
    painter.setPen(ColourPalette::kBonesGray);
    painter.drawLine(QPointF(0, height() - 0.5), QPointF(width(), height() - 0.5));
}

void CardHeader::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_secret->move(width() - kSecretSize, height() - kSecretSize);
}
