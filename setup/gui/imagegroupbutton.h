#pragma once

#include <QPixmap>
#include <QString>
#include <QWidget>

class FlatImageButton;
class QLabel;

// A checkable picture button of an image group, with an optional caption
// under it. Unchecked buttons show a faded picture; "plain" buttons, which
// act rather than select, always keep the bright look.
class ImageGroupButton : public QWidget
{
    Q_OBJECT
public:
    ImageGroupButton(const QPixmap& pixmap, const QString& caption, bool plain, QWidget* parent = nullptr);

    void setImage(const QPixmap& pixmap);
    void setImages(const QPixmap& normal, const QPixmap& hover, const QPixmap& checked);
    FlatImageButton* button() const { return m_button; }
    QLabel* captionLabel() const { return m_caption; }
    bool isPlain() const { return m_plain; }
    bool isChecked() const;

public slots:
    // Repaints the checked look when checked or plain, else the unchecked.
    void onToggled(bool checked);

protected:
    void changeEvent(QEvent* event) override;

private:
    void updateCaption();

    FlatImageButton* m_button = nullptr;
    QLabel* m_caption = nullptr;
    bool m_plain = false;
};
