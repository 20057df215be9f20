#pragma once

#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QString>

#include <string>

class QLabel;
class QWidget;

// Fonts, labels and small conversions shared by every widget of the setup
// utility.
class CommonGui
{
public:
    // Font styles; the numbers are stored by callers, so they never change.
    enum FontStyle {
        kLightHuge = 0,      // 30 light
        kRegularLarge = 1,   // 15 regular
        kSemiboldLarge = 2,  // 15 semibold
        kRegular = 3,        // 13 regular
        kSemibold = 4,       // 13 semibold
        kRegularSmall = 5,   // 11 regular
        kSemiboldSmall = 6,  // 11 semibold
        kRegularMedium = 7,  // 12 regular
        kSemiboldMedium = 8, // 12 semibold
        kLightLarge = 11,    // 21 light
    };

    // Opacity steps for createTransparentIcon.
    enum IconOpacity {
        kRestingOpacity = 0,  // a rollover icon at rest
        kHoverOpacity = 1,    // a rollover icon under the pointer
        kFadedOpacity = 2,    // an unchecked section or image button
        kDisabledOpacity = 3, // a disabled image button
    };

    // Makes the three bundled faces known; call before the first font().
    static void registerFonts();
    // The font of a style; its size behaves as a pixel size on every screen.
    static QFont font(int style);
    // A label with the font of `style` and the text colour `colour`.
    static QLabel* label(int style, const QColor& colour, QWidget* parent = nullptr);

    // x * 10^places rounded to the nearest integer, halves towards +infinity.
    // A product beyond int gives the nearest int bound, NaN gives 0.
    static int toFixedPoint(double x, int places);
    static double fromFixedPoint(int n, int places);

    // `text` elided at the right end to fit `width` pixels in `font`.
    static QString elide(const QString& text, const QFont& font, int width);
    // `text` elided to the width of `widget` in the widget's font.
    static QString elide(const QString& text, const QWidget* widget);
    // A tooltip that shows `text` literally: tooltips guess at rich text, and
    // names from a card or the network may hold markup.
    static QString plainToolTip(const QString& text);

    static std::string toCString(const QString& text);
    static QString toQString(const char* text);
    static QString toQString(const std::string& text);

    // A copy of `pixmap` painted at the opacity of `style` (IconOpacity).
    static QPixmap createTransparentIcon(const QPixmap& pixmap, int style);
    static qreal opacityOf(int style);
};
