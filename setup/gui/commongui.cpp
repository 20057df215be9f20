#include "commongui.h"

#include "colourpalette.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QResource>
#include <QScreen>

#include <cmath>
#include <limits>

namespace {

struct FontFace {
    const char* family;
    int size;
    int weight;
};

FontFace faceOf(int style)
{
    switch (style) {
    case CommonGui::kLightHuge: return {"MVN Open Sans Light", 30, 25};
    case CommonGui::kRegularLarge: return {"MVN Open Sans", 15, 50};
    case CommonGui::kSemiboldLarge: return {"MVN Open Sans Semibold", 15, 63};
    case CommonGui::kRegular: return {"MVN Open Sans", 13, 50};
    case CommonGui::kSemibold: return {"MVN Open Sans Semibold", 13, 63};
    case CommonGui::kRegularSmall: return {"MVN Open Sans", 11, 50};
    case CommonGui::kSemiboldSmall: return {"MVN Open Sans Semibold", 11, 63};
    case CommonGui::kRegularMedium: return {"MVN Open Sans", 12, 50};
    case CommonGui::kSemiboldMedium: return {"MVN Open Sans Semibold", 12, 63};
    case CommonGui::kLightLarge: return {"MVN Open Sans Light", 21, 25};
    default: return {"Times", 24, 75};
    }
}

// The product's font names are aliases of the bundled Open Sans faces; the
// weight picks the face.
void installSubstitutions()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    for (const char* alias : {"MVN Open Sans", "MVN Open Sans Light", "MVN Open Sans Semibold"})
        QFont::insertSubstitution(QString::fromLatin1(alias), QStringLiteral("Open Sans"));
}

qreal logicalDpi()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const qreal dpi = screen ? screen->logicalDotsPerInchY() : 96.0;
    return dpi > 0 ? dpi : 96.0;
}

} // namespace

void CommonGui::registerFonts()
{
    for (const char* face : {":/OpenSans-Light", ":/OpenSans-Regular", ":/OpenSans-Semibold"}) {
        // The faces are compiled in uncompressed: handed over as they lie in
        // the program's data, they are neither copied at registration nor
        // read again, whole, each time a size of them is first drawn.
        const QResource resource(QString::fromLatin1(face));
        if (resource.isValid() && resource.compressionAlgorithm() == QResource::NoCompression) {
            QFontDatabase::addApplicationFontFromData(
                QByteArray::fromRawData(reinterpret_cast<const char*>(resource.data()), int(resource.size())));
        } else {
            QFontDatabase::addApplicationFont(QString::fromLatin1(face));
        }
    }
}

QFont CommonGui::font(int style)
{
    installSubstitutions();
    const FontFace face = faceOf(style);
    QFont f(QString::fromLatin1(face.family));
    f.setWeight(face.weight);
    f.setPointSizeF(face.size * 72.0 / logicalDpi());
    return f;
}

QLabel* CommonGui::label(int style, const QColor& colour, QWidget* parent)
{
    auto* l = new QLabel(parent);
    l->setFont(font(style));
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, colour);
    p.setColor(QPalette::Text, colour);
    l->setPalette(p);
    return l;
}

int CommonGui::toFixedPoint(double x, int places)
{
    const double rounded = std::floor(x * std::pow(10.0, places) + 0.5);
    // Casting a double that int cannot hold is undefined.
    if (std::isnan(rounded))
        return 0;
    if (rounded >= static_cast<double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (rounded <= static_cast<double>(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<int>(rounded);
}

double CommonGui::fromFixedPoint(int n, int places)
{
    return n / std::pow(10.0, places);
}

QString CommonGui::elide(const QString& text, const QFont& f, int width)
{
    return QFontMetrics(f).elidedText(text, Qt::ElideRight, width);
}

QString CommonGui::elide(const QString& text, const QWidget* widget)
{
    return widget ? elide(text, widget->font(), widget->width()) : text;
}

QString CommonGui::plainToolTip(const QString& text)
{
    return text.isEmpty() ? QString() : QStringLiteral("<qt>%1</qt>").arg(text.toHtmlEscaped());
}

std::string CommonGui::toCString(const QString& text)
{
    return text.toStdString();
}

QString CommonGui::toQString(const char* text)
{
    return text ? QString::fromUtf8(text) : QString();
}

QString CommonGui::toQString(const std::string& text)
{
    return QString::fromStdString(text);
}

qreal CommonGui::opacityOf(int style)
{
    switch (style) {
    case kRestingOpacity: return 0.45;
    case kHoverOpacity: return 1.0;
    case kFadedOpacity: return 0.4;
    case kDisabledOpacity: return ColourPalette::kDisabledAlpha / 255.0;
    default: return 1.0;
    }
}

QPixmap CommonGui::createTransparentIcon(const QPixmap& pixmap, int style)
{
    if (pixmap.isNull())
        return pixmap;
    QPixmap out(pixmap.size());
    out.setDevicePixelRatio(pixmap.devicePixelRatio());
    out.fill(Qt::transparent);
    QPainter painter(&out);
    painter.setOpacity(opacityOf(style));
    painter.drawPixmap(0, 0, pixmap);
    return out;
}
