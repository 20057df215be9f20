#include "imagegroupbutton.h"

#include "colourpalette.h"
#include "commongui.h"
#include "flatimagebutton.h"
#include "tightvboxlayout.h"

#include <QEvent>
#include <QLabel>

ImageGroupButton::ImageGroupButton(const QPixmap& pixmap, const QString& caption, bool plain, QWidget* parent)
    : QWidget(parent)
    , m_plain(plain)
{
    auto* column = new TightVBoxLayout(this);
    m_button = new FlatImageButton(this);
    m_button->setCheckable(true);
    column->addWidget(m_button, 0, Qt::AlignHCenter);
    if (!caption.isEmpty()) {
        m_caption = new QLabel(caption, this);
        m_caption->setFont(CommonGui::font(CommonGui::kSemibold));
        m_caption->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        column->addSpacing(6);
        column->addWidget(m_caption, 0, Qt::AlignHCenter);
    }
    setImage(pixmap);
    connect(m_button, &QAbstractButton::toggled, this, &ImageGroupButton::onToggled);
    onToggled(false);
}

void ImageGroupButton::setImage(const QPixmap& pixmap)
{
    setImages(m_plain ? pixmap : CommonGui::createTransparentIcon(pixmap, CommonGui::kFadedOpacity), pixmap,
              pixmap);
}

void ImageGroupButton::setImages(const QPixmap& normal, const QPixmap& hover, const QPixmap& checked)
{
    m_button->setImage(normal);
    m_button->setHoverImage(hover);
    m_button->setPressedImage(checked);
    m_button->setCheckedImage(checked);
    m_button->setDisabledImage(CommonGui::createTransparentIcon(checked, CommonGui::kDisabledOpacity));
    m_button->resizeToFit();
}

bool ImageGroupButton::isChecked() const
{
    return m_button->isChecked();
}

void ImageGroupButton::onToggled(bool)
{
    m_button->update();
    updateCaption();
}

void ImageGroupButton::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        updateCaption();
}

void ImageGroupButton::updateCaption()
{
    if (!m_caption)
        return;
    int alpha = 127;
    if (!isEnabled())
        alpha = ColourPalette::kDisabledAlpha;
    else if (m_plain || m_button->isChecked())
        alpha = 255;
    QColor colour = ColourPalette::kRaincloudGray;
    colour.setAlpha(alpha);
    QPalette p = m_caption->palette();
    p.setColor(QPalette::WindowText, colour);
    m_caption->setPalette(p);
}
