#include "cardfooter.h"

#include "cardpopupmenu.h"
#include "cardpushbutton.h"
#include "colourpalette.h"
#include "flatimagebutton.h"
#include "tighthboxlayout.h"

#include <QPainter>
#include <QPainterPath>

namespace {
constexpr int kHeight = 56;
constexpr int kRadius = 10;
} // namespace

CardFooter::CardFooter(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("cardFooter"));
    setFixedHeight(kHeight);
    setFocusPolicy(Qt::ClickFocus);

    m_settings = new FlatImageButton(this);
    m_settings->setImage(QStringLiteral(":/Settings"));
    m_settings->setHoverImage(QStringLiteral(":/Settings_Push"));
    m_settings->setPressedImage(QStringLiteral(":/Settings_Push"));
    m_settings->resizeToFit();
    m_settings->setToolTip(tr("Settings"));
    m_settings->setAccessibleName(m_settings->toolTip());
    m_settings->setFocusPolicy(Qt::TabFocus);
    m_menu = new CardPopupMenu(this);

    m_cancel = new CardPushButton(tr("Cancel"), this);
    m_cancel->setFixedSize(114, 25);
    m_save = new CardPushButton(tr("Save"), this);
    m_save->setFixedSize(114, 25);
    m_save->setDefault(true);

    auto* row = new TightHBoxLayout(this);
    row->setContentsMargins(24, 0, 24, 0);
    row->addWidget(m_settings, 0, Qt::AlignVCenter);
    row->addStretch();
    row->addWidget(m_cancel, 0, Qt::AlignVCenter);
    row->addSpacing(20);
    row->addWidget(m_save, 0, Qt::AlignVCenter);

    connect(m_cancel, &QPushButton::clicked, this, &CardFooter::cancelPressed);
    connect(m_save, &QPushButton::clicked, this, &CardFooter::savePressed);
    connect(m_settings, &QAbstractButton::clicked, this, &CardFooter::onSettingsClicked);
    connect(m_menu, &CardPopupMenu::menuOptionPressed, this, &CardFooter::menuOptionPressed);
}

void CardFooter::setStatus(int status)
{
    m_save->setEnabled(status != 2);
}

void CardFooter::setIsImmediateApply(bool immediate)
{
    m_save->setVisible(immediate);
    m_cancel->setVisible(immediate);
}

void CardFooter::setDeviceHasNoSettings()
{
    m_save->setText(tr("Close"));
    m_save->show();
    m_cancel->hide();
}

void CardFooter::setPanelLock(bool)
{
    // The lock has no look of its own in this product.
}

void CardFooter::setSettingsButtonVisible(bool visible)
{
    m_settings->setVisible(visible);
}

void CardFooter::clearMenu()
{
    m_menu->clear();
}

void CardFooter::addMenuOption(const QString& text, int value)
{
    m_menu->addOption(text, value);
}

void CardFooter::addSeparator()
{
    m_menu->addSeparator();
}

void CardFooter::addSubMenu(QMenu* menu)
{
    if (menu)
        m_menu->addMenu(menu);
}

void CardFooter::onSettingsClicked()
{
    if (!m_menu->isEmpty())
        m_menu->raiseAbove(m_settings, 5);
}

void CardFooter::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath band;
    const QRectF r = rect();
    band.moveTo(r.topLeft());
    band.lineTo(r.topRight());
    band.lineTo(r.right(), r.bottom() - kRadius);
    band.quadTo(r.bottomRight(), QPointF(r.right() - kRadius, r.bottom()));
    band.lineTo(r.left() + kRadius, r.bottom());
    band.quadTo(r.bottomLeft(), QPointF(r.left(), r.bottom() - kRadius));
    band.closeSubpath();
    QLinearGradient gradient(0, 0, 0, height());
    gradient.setColorAt(0, QColor(250, 250, 250));
    gradient.setColorAt(1, ColourPalette::kMilkGray);
    painter.fillPath(band, gradient);
    painter.setPen(ColourPalette::kBonesGray);
    painter.drawLine(QPointF(0, 0.5), QPointF(width(), 0.5));
}
