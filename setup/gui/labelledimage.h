#pragma once

#include <QWidget>

class QLabel;

// One connection in a device summary: its icon beside a bold name and the
// format it carries.
class LabelledImage : public QWidget
{
    Q_OBJECT

public:
    LabelledImage(const QPixmap& image, const QString& label, const QString& info, QWidget* parent = nullptr);

    void setImage(const QPixmap& image);
    void setLabel(const QString& label);
    void setInfo(const QString& info);

    QString label() const;
    QString info() const;

private:
    QLabel* m_image = nullptr;
    QLabel* m_label = nullptr;
    QLabel* m_info = nullptr;
};
