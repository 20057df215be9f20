#include "mainwindowanimator.h"

MainWindowAnimator::MainWindowAnimator(QObject* parent) : QVariantAnimation(parent)
{
    setEasingCurve(QEasingCurve::InOutCubic);
}

void MainWindowAnimator::updateCurrentValue(const QVariant&) {}
