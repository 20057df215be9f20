#include "settingsstyle.h"

#include "colourpalette.h"

namespace {
using P = ColourPalette;
QString hex(const QColor& c)
{
    return P::toHtmlQString(c);
}
} // namespace

QString SettingsStyle::lineEdit()
{
    return QStringLiteral(
               "QLineEdit { border: 1px solid %1; border-radius: 4px; color: %2; background: white;"
               " padding: 0px 4px; selection-background-color: %3; }"
               "QLineEdit:focus { border: 1px solid %3; background: %4; }"
               "QLineEdit:disabled { color: %5; border-color: %6; background: %7; }")
        .arg(hex(P::kBonesGray), hex(P::kWinterSkyGray), hex(P::kAccentColour),
             P::toHtmlQString(P::kAccentColour, 20), P::toHtmlQString(P::kRaincloudGray, P::kDisabledAlpha),
             P::toHtmlQString(P::kBonesGray, P::kDisabledAlpha), P::toHtmlQString(P::kMilkGray, P::kDisabledAlpha));
}

QString SettingsStyle::radioButton()
{
    return QStringLiteral(
               // The frame is always there, clear until the button has the
               // focus, so that focus never moves the button's text.
               "QRadioButton { color: %1; spacing: 8px; background: transparent;"
               " border: 1px solid transparent; border-radius: 4px; padding: 0px 3px 0px 1px; }"
               "QRadioButton:focus { border-color: %3; }"
               "QRadioButton:disabled { color: %2; }"
               "QRadioButton::indicator { width: 16px; height: 16px; }"
               "QRadioButton::indicator:unchecked { image: url(:/Radio); }"
               "QRadioButton::indicator:checked { image: url(:/Radio_Active); }")
        .arg(hex(P::kWinterSkyGray), P::toHtmlQString(P::kWinterSkyGray, P::kDisabledAlpha), hex(P::kAccentColour));
}

QString SettingsStyle::checkBox()
{
    return QStringLiteral(
               "QCheckBox { color: %1; spacing: 8px; background: transparent;"
               " border: 1px solid transparent; border-radius: 4px; padding: 0px 3px 0px 1px; }"
               "QCheckBox:focus { border-color: %3; }"
               "QCheckBox:disabled { color: %2; }"
               "QCheckBox::indicator { width: 16px; height: 16px; }"
               "QCheckBox::indicator:unchecked { image: url(:/Checkbox); }"
               "QCheckBox::indicator:checked { image: url(:/Checkbox_Active); }")
        .arg(hex(P::kWinterSkyGray), P::toHtmlQString(P::kWinterSkyGray, P::kDisabledAlpha), hex(P::kAccentColour));
}

QString SettingsStyle::comboBox()
{
    return QStringLiteral(
               // combobox-popup 0: the list drops below the box, a dozen items
               // high with a scroll bar, rather than covering the window.
               "QComboBox { combobox-popup: 0; border: 1px solid %1; border-radius: 4px; color: %2;"
               " padding: 0px 24px 0px 8px;"
               " background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #ffffff, stop:1 %3); }"
               "QComboBox:hover { border-color: %4; }"
               "QComboBox:focus { border-color: %5; }"
               "QComboBox:disabled { color: %6; border-color: %7; }"
               "QComboBox::drop-down { border: none; width: 22px; subcontrol-position: center right; }"
               "QComboBox::down-arrow { image: url(:/Dropdown_Arrow); width: 10px; height: 6px; }"
               "QComboBox QAbstractItemView { background: white; color: %2; border: 1px solid %1;"
               " selection-background-color: %1; selection-color: %2; outline: none; padding: 4px 0px; }"
               "QComboBox QAbstractItemView::item { min-height: 20px; padding: 0px 6px; }")
        .arg(hex(P::kBonesGray), hex(P::kWinterSkyGray), hex(P::kMilkGray), hex(P::kWolfGray),
             hex(P::kAccentColour), P::toHtmlQString(P::kWinterSkyGray, P::kDisabledAlpha),
             P::toHtmlQString(P::kBonesGray, P::kDisabledAlpha));
}

QString SettingsStyle::slider()
{
    return QStringLiteral(
               "QSlider { background: transparent; border: 1px solid transparent; border-radius: 4px; }"
               "QSlider:focus { border-color: %2; }"
               "QSlider::groove:horizontal { height: 4px; border-radius: 2px; background: %1; margin: 0px 2px; }"
               "QSlider::sub-page:horizontal { height: 4px; border-radius: 2px; background: %2; margin: 0px 2px; }"
               "QSlider::sub-page:horizontal:disabled { background: %3; }"
               "QSlider::handle:horizontal { image: url(:/SliderNode); width: 18px; height: 18px;"
               " margin: -7px 0px; }"
               "QSlider::handle:horizontal:disabled { image: none; background: transparent; }")
        .arg(hex(P::kBonesGray), hex(P::kAccentColour), hex(P::kWolfGray));
}
