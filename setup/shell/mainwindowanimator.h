#pragma once

#include <QVariantAnimation>

// Animates the main window's size; the window follows valueChanged().
class MainWindowAnimator : public QVariantAnimation
{
    Q_OBJECT

public:
    explicit MainWindowAnimator(QObject* parent = nullptr);

protected:
    void updateCurrentValue(const QVariant& value) override;
};
