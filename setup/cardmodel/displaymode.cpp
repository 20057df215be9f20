#include "displaymode.h"

#include "zeltrastring.h"

#include <algorithm>

namespace {

// The display order key of a mode: whole frames per second in the low 16
// bits, interlaced in bit 16, so that the interlace bit outweighs the rate.
uint32_t rateKey(const DisplayMode& mode)
{
    return (mode.getWholeFrameRate() & 0xFFFFu) | (mode.isInterlaced() ? 0x10000u : 0u);
}

// Pixels of a mode; sizes outside any card's range are clamped so that the
// product cannot overflow.
int64_t pixelCount(const DisplayMode& mode)
{
    const auto clamp = [](long value) { return value < 0 ? int64_t(0) : std::min<int64_t>(value, 1 << 20); };
    return clamp(mode.getWidth()) * clamp(mode.getHeight());
}

} // namespace

DisplayMode::DisplayMode(IZeltraDisplayMode* mode)
    : m_mode(ZeltraPtr<IZeltraDisplayMode>::retain(mode))
{
}

QString DisplayMode::getName(bool psf, bool threeD, bool shortName) const
{
    if (!m_mode)
        return {};
    const char* raw = nullptr;
    const int32_t result = m_mode->GetName(&raw);
    QString name = takeZeltraString(raw);
    if (result < 0 || name.isEmpty())
        return {};

    if (shortName) {
        switch (getModeId()) {
        case zeltraCode("H23d"):
            name = QStringLiteral("1080p23.98");
            break;
        case zeltraCode("nt23"):
        case zeltraCode("ntsc"):
        case zeltraCode("ntsp"):
            name = QStringLiteral("NTSC");
            break;
        case zeltraCode("pal "):
        case zeltraCode("palp"):
            name = QStringLiteral("PAL");
            break;
        default:
            break;
        }
    }
    if (psf)
        name.replace(QLatin1Char('p'), QStringLiteral("PsF"), Qt::CaseSensitive);
    if (threeD)
        name += QStringLiteral(" 3D");
    return name;
}

QString DisplayMode::getName(uint32_t flags) const
{
    return getName(flags & kDisplayModeFlagPsF, flags & kDisplayModeFlag3D, false);
}

QString DisplayMode::getShortName(uint32_t flags) const
{
    return getName(flags & kDisplayModeFlagPsF, flags & kDisplayModeFlag3D, true);
}

uint32_t DisplayMode::getModeId() const
{
    return m_mode ? m_mode->GetModeId() : 0;
}

long DisplayMode::getWidth() const
{
    return m_mode ? m_mode->GetWidth() : 0;
}

long DisplayMode::getHeight() const
{
    return m_mode ? m_mode->GetHeight() : 0;
}

bool DisplayMode::getFrameRate(int64_t& frameDuration, int64_t& timeScale) const
{
    frameDuration = 0;
    timeScale = 0;
    int64_t duration = 0;
    int64_t scale = 0;
    if (!m_mode || m_mode->GetFrameRate(&duration, &scale) < 0)
        return false;
    frameDuration = duration;
    timeScale = scale;
    return true;
}

double DisplayMode::getFramesPerSecond() const
{
    int64_t duration = 0;
    int64_t scale = 0;
    if (!getFrameRate(duration, scale) || duration <= 0 || scale <= 0)
        return 0.0;
    return double(scale) / double(duration);
}

uint32_t DisplayMode::getWholeFrameRate() const
{
    const double rate = getFramesPerSecond();
    // A library answer that no card could have must not overflow the cast.
    if (!(rate >= 0.0))
        return 0;
    if (rate >= 4294967295.0)
        return 0xFFFFFFFFu;
    return uint32_t(rate);
}

uint32_t DisplayMode::getFieldDominance() const
{
    return m_mode ? m_mode->GetFieldDominance() : 0;
}

bool DisplayMode::isInterlaced() const
{
    return ::isInterlaced(getFieldDominance());
}

bool DisplayMode::isProgressive() const
{
    return ::isProgressive(getFieldDominance());
}

bool DisplayModesDisplayOrderSort(const DisplayMode& a, const DisplayMode& b)
{
    const int64_t pixelsA = pixelCount(a);
    const int64_t pixelsB = pixelCount(b);
    if (pixelsA != pixelsB)
        return pixelsA < pixelsB;
    return rateKey(a) < rateKey(b);
}

bool isInterlaced(uint32_t fieldDominance)
{
    return fieldDominance == kZeltraFieldUpper || fieldDominance == kZeltraFieldLower;
}

bool isProgressive(uint32_t fieldDominance)
{
    return fieldDominance == kZeltraFieldProgressive;
}

bool isAnalogVideo(uint32_t connection)
{
    return connection == 8 || connection == 16 || connection == 32;
}

bool isEmbeddedVideo(uint32_t connection)
{
    return !isAnalogVideo(connection);
}

bool isAnalogAudio(uint32_t connection)
{
    return connection != 1 && connection != 2;
}

bool isEmbeddedAudio(uint32_t connection)
{
    return connection == 1;
}
