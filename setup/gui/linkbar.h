#pragma once

#include <QWidget>

// One arm of the bracket that joins two linked sliders' value fields to the
// link button; drawn above (pointing up) or below (pointing down) it.
class LinkBar : public QWidget
{
    Q_OBJECT
public:
    enum Direction { kUp, kDown };
    explicit LinkBar(Direction direction, QWidget* parent = nullptr);

    void setLinked(bool linked);
    bool isLinked() const { return m_linked; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Direction m_direction;
    bool m_linked = false;
};
