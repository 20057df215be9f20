#pragma once

#include <QColor>
#include <QString>

// The named colours of the setup utility. Every widget takes its colours
// from here so that the whole program keeps one look.
class ColourPalette
{
public:
    static inline const QColor kMilkGray{241, 241, 241};
    static inline const QColor kBonesGray{208, 208, 208};
    static inline const QColor kWolfGray{181, 181, 181};
    static inline const QColor kSmokeGray{146, 146, 146};
    static inline const QColor kFoggyGray{119, 119, 119};
    static inline const QColor kRaincloudGray{94, 94, 94};
    static inline const QColor kWinterSkyGray{71, 71, 71};
    static inline const QColor kOwlGray{58, 58, 58};
    static inline const QColor kStormGray{45, 45, 45};
    static inline const QColor kAsphaltGray{40, 40, 40};
    static inline const QColor kThunderstormGray{31, 31, 31};
    static inline const QColor kHurricaneGray{26, 26, 26};
    static inline const QColor kNightskyGray{23, 23, 23};
    static inline const QColor kAlertRed{225, 50, 50};
    static inline const QColor kAccentColour{34, 167, 148};

    // Alpha of controls drawn in their disabled look.
    static constexpr int kDisabledAlpha = 100;

    // "#rrggbb", for style sheets.
    static QString toHtmlQString(const QColor& colour);
    // "rgba(r, g, b, alpha)" in decimal, for style sheets.
    static QString toHtmlQString(const QColor& colour, int alpha);
};
