#include "flatimagebutton.h"

#include <QKeyEvent>

#include "colourpalette.h"
#include "commongui.h"

#include <QPainter>

FlatImageButton::FlatImageButton(QWidget* parent)
    : QAbstractButton(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
}

FlatImageButton::FlatImageButton(const QString& imagePath, QWidget* parent)
    : FlatImageButton(parent)
{
    setImage(imagePath);
    resizeToFit();
}

void FlatImageButton::setImage(const QPixmap& pixmap)
{
    m_normal = pixmap;
    updateGeometry();
    update();
}

void FlatImageButton::setHoverImage(const QPixmap& pixmap)
{
    m_hover = pixmap;
    update();
}

void FlatImageButton::setHoverBackgroundImage(const QPixmap& pixmap)
{
    m_hoverBackground = pixmap;
    update();
}

void FlatImageButton::setPressedImage(const QPixmap& pixmap)
{
    m_pressed = pixmap;
    update();
}

void FlatImageButton::setCheckedImage(const QPixmap& pixmap)
{
    m_checked = pixmap;
    update();
}

void FlatImageButton::setDisabledImage(const QPixmap& pixmap)
{
    m_disabled = pixmap;
    update();
}

void FlatImageButton::setFocusImage(const QPixmap& pixmap)
{
    m_focus = pixmap;
    update();
}

QPixmap FlatImageButton::currentImage() const
{
    if (!isEnabled()) {
        if (!m_disabled.isNull())
            return m_disabled;
        return CommonGui::createTransparentIcon(isChecked() && !m_checked.isNull() ? m_checked : m_normal,
                                                CommonGui::kDisabledOpacity);
    }
    if (isDown() && !m_pressed.isNull())
        return m_pressed;
    if (hasFocus() && !m_focus.isNull())
        return m_focus;
    if (isChecked() && !m_checked.isNull())
        return m_checked;
    // The style draws no focus frame: a focused button shows its hover look.
    if ((m_hovered || isDown() || hasFocus()) && !m_hover.isNull())
        return m_hover;
    return m_normal;
}

void FlatImageButton::resizeToFit()
{
    if (!m_normal.isNull())
        setFixedSize(m_normal.size() / m_normal.devicePixelRatio());
}

QSize FlatImageButton::sizeHint() const
{
    if (m_normal.isNull())
        return QSize(16, 16);
    return m_normal.size() / m_normal.devicePixelRatio();
}

void FlatImageButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (m_hovered && isEnabled() && !m_hoverBackground.isNull())
        painter.drawPixmap(rect(), m_hoverBackground);
    const QPixmap pixmap = currentImage();
    if (pixmap.isNull())
        return;
    const QSize size = pixmap.size() / pixmap.devicePixelRatio();
    const QPoint topLeft((width() - size.width()) / 2, (height() - size.height()) / 2);
    painter.drawPixmap(QRect(topLeft, size), pixmap);
    // Without a focus picture of its own the button shows the focus as a
    // ring in the accent colour.
    if (hasFocus() && m_focus.isNull() && focusPolicy() != Qt::NoFocus) {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(ColourPalette::kAccentColour, 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 4, 4);
    }
}

void FlatImageButton::keyPressEvent(QKeyEvent* event)
{
    // Return presses a focused button as Space does.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (isEnabled())
            animateClick();
        return;
    }
    // Outside a group (one of its own, or a button group's) the arrows belong to the widget around the button.
    const int key = event->key();
    if (!autoExclusive() && !group() && (key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up
                             || key == Qt::Key_Down)) {
        event->ignore();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

void FlatImageButton::focusInEvent(QFocusEvent* event)
{
    update();
    QAbstractButton::focusInEvent(event);
}

void FlatImageButton::focusOutEvent(QFocusEvent* event)
{
    update();
    QAbstractButton::focusOutEvent(event);
}

void FlatImageButton::enterEvent(QEvent* event)
{
    m_hovered = true;
    update();
    QAbstractButton::enterEvent(event);
}

void FlatImageButton::leaveEvent(QEvent* event)
{
    m_hovered = false;
    update();
    QAbstractButton::leaveEvent(event);
}
