#include "labelledimage.h"

#include "colourpalette.h"
#include "commongui.h"
#include "tighthboxlayout.h"
#include "tightvboxlayout.h"

#include <QLabel>

namespace {
constexpr int kImageGap = 8;
} // namespace

LabelledImage::LabelledImage(const QPixmap& image, const QString& label, const QString& info, QWidget* parent)
    : QWidget(parent)
{
    m_image = new QLabel(this);
    m_image->setAlignment(Qt::AlignCenter);
    // The gap goes with the picture, so a connection without one lines up
    // with its column's title.
    m_image->setContentsMargins(0, 0, kImageGap, 0);
    m_label = CommonGui::label(CommonGui::kSemiboldMedium, ColourPalette::kMilkGray, this);
    m_info = CommonGui::label(CommonGui::kRegularMedium, ColourPalette::kWolfGray, this);
    m_info->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* texts = new TightVBoxLayout;
    texts->addStretch();
    texts->addWidget(m_label);
    texts->addWidget(m_info);
    texts->addStretch();
    auto* row = new TightHBoxLayout(this);
    row->addWidget(m_image, 0, Qt::AlignVCenter);
    row->addLayout(texts);

    setImage(image);
    setLabel(label);
    setInfo(info);
}

void LabelledImage::setImage(const QPixmap& image)
{
    m_image->setPixmap(image);
    m_image->setVisible(!image.isNull());
}

void LabelledImage::setLabel(const QString& label)
{
    m_label->setText(label);
}

void LabelledImage::setInfo(const QString& info)
{
    m_info->setText(info);
}

QString LabelledImage::label() const
{
    return m_label->text();
}

QString LabelledImage::info() const
{
    return m_info->text();
}
