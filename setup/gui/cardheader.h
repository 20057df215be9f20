#pragma once

#include <QColor>
#include <QWidget>

class QLabel;
class SecretButton;
class VisibleDevice;

// The top of a product card: the device's name, its model and connection.
// A Shift double click in the corner asks for the device's hidden details.
class CardHeader : public QWidget
{
    Q_OBJECT
public:
    explicit CardHeader(const QColor& colour, QWidget* parent = nullptr);

    void display(const VisibleDevice* device);

    QLabel* nameLabel() const { return m_name; }
    QLabel* modelLabel() const { return m_model; }
    QLabel* connectionIcon() const { return m_icon; }
    SecretButton* secretButton() const { return m_secret; }

    static constexpr int kHeight = 76;
    static constexpr int kModelWidth = 328;

signals:
    void showEasterEgg();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QColor m_colour;
    QLabel* m_name = nullptr;
    QLabel* m_model = nullptr;
    QLabel* m_icon = nullptr;
    SecretButton* m_secret = nullptr;
};
