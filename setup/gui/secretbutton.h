#pragma once

#include <QWidget>

// An invisible patch that answers only a double click made while Shift is
// held, the hidden way in to the build details.
class SecretButton : public QWidget
{
    Q_OBJECT

public:
    explicit SecretButton(QWidget* parent = nullptr);

signals:
    void secretClick();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};
