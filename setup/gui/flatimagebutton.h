#pragma once

#include "hidpipixmap.h"

#include <QAbstractButton>
#include <QPixmap>
#include <QVariant>

// A borderless button drawn only from pictures: normal, hover, hover
// background, pressed, checked and disabled. A missing picture falls back to
// the normal one (the disabled look to a faded normal picture).
class FlatImageButton : public QAbstractButton
{
    Q_OBJECT
public:
    explicit FlatImageButton(QWidget* parent = nullptr);
    explicit FlatImageButton(const QString& imagePath, QWidget* parent = nullptr);

    void setImage(const QString& path) { setImage(loadPicture(path)); }
    void setImage(const QPixmap& pixmap);
    void setHoverImage(const QString& path) { setHoverImage(loadPicture(path)); }
    void setHoverImage(const QPixmap& pixmap);
    void setHoverBackgroundImage(const QString& path) { setHoverBackgroundImage(loadPicture(path)); }
    void setHoverBackgroundImage(const QPixmap& pixmap);
    void setPressedImage(const QString& path) { setPressedImage(loadPicture(path)); }
    void setPressedImage(const QPixmap& pixmap);
    void setCheckedImage(const QString& path) { setCheckedImage(loadPicture(path)); }
    void setCheckedImage(const QPixmap& pixmap);
    void setDisabledImage(const QString& path) { setDisabledImage(loadPicture(path)); }
    void setDisabledImage(const QPixmap& pixmap);
    // Shown while the button has the keyboard focus (else the hover look is).
    void setFocusImage(const QString& path) { setFocusImage(loadPicture(path)); }
    void setFocusImage(const QPixmap& pixmap);

    QPixmap image() const { return m_normal; }
    // The picture that the button draws in its present state.
    QPixmap currentImage() const;

    // Gives the button the size of its normal picture.
    void resizeToFit();

    void setData(const QVariant& data) { m_data = data; }
    QVariant data() const { return m_data; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void enterEvent(QEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QPixmap m_normal;
    QPixmap m_hover;
    QPixmap m_hoverBackground;
    QPixmap m_pressed;
    QPixmap m_checked;
    QPixmap m_disabled;
    QPixmap m_focus;
    QVariant m_data;
    bool m_hovered = false;
};
