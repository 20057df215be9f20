#pragma once

#include <QProxyStyle>

// The default style without the dotted focus rectangle, which clashes with
// the flat look of the utility's controls.
class CustomNoFocusRectStyle : public QProxyStyle
{
    Q_OBJECT

public:
    CustomNoFocusRectStyle();

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
};
