#pragma once

#include <QScrollArea>

// A scroll area that only scrolls sideways: as tall as its content (plus the
// bar while one is needed) and as wide as its content allows, so that a row
// wider than the window can still be reached.
class HorizontalScrollArea : public QScrollArea
{
    Q_OBJECT

public:
    explicit HorizontalScrollArea(QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // Re-reads the content's size; call when it changed.
    void contentChanged();

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void updateHeight();
};
