#include "mainwindowdialoglineedit.h"

#include "colourpalette.h"
#include "commongui.h"
#include "ipaddressvalidator.h"
#include "nonemptyvalidator.h"

MainWindowDialogLineEdit::MainWindowDialogLineEdit(QWidget* parent)
    : QLineEdit(parent)
{
    build(ColourPalette::kAccentColour);
    connect(this, &QLineEdit::returnPressed, this, &MainWindowDialogLineEdit::onReturnPressed);
}

QString MainWindowDialogLineEdit::styleSheetText(const QColor& accent)
{
    using P = ColourPalette;
    return QStringLiteral(
               "QLineEdit { border: 1px solid white; border-radius: 4px; color: %1; background-color: %2;"
               " padding-bottom: 2px; padding-left: %7px; margin-left: 0px; }"
               "QLineEdit:focus { border: 1px solid %3; background-color: %4; margin-left: 0px; }"
               "QLineEdit:disabled { color: %5; background-color: %6; margin-left: 1px; }")
        .arg(P::toHtmlQString(P::kWinterSkyGray), P::toHtmlQString(P::kMilkGray, 150),
             P::toHtmlQString(accent), P::toHtmlQString(accent, 30),
             P::toHtmlQString(P::kRaincloudGray, P::kDisabledAlpha),
             P::toHtmlQString(P::kMilkGray, P::kDisabledAlpha), QString::number(6));
}

void MainWindowDialogLineEdit::build(const QColor& accent)
{
    setFrame(false);
    setAttribute(Qt::WA_MacShowFocusRect, false);
    setFont(CommonGui::font(CommonGui::kSemibold));
    setFixedHeight(33);
    setStyleSheet(styleSheetText(accent));
    QPalette p = palette();
    p.setColor(QPalette::PlaceholderText, ColourPalette::kSmokeGray);
    setPalette(p);
}

void MainWindowDialogLineEdit::setStandardVerifier(int verifier)
{
    switch (verifier) {
    case kNonEmpty: setValidator(NonEmptyValidator::shared()); break;
    case kIpAddress: setValidator(IpAddressValidator::shared()); break;
    default: break;
    }
}

void MainWindowDialogLineEdit::onReturnPressed()
{
    focusNextPrevChild(true);
}
