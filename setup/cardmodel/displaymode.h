#pragma once

#include <cstdint>

#include <QString>

#include "zeltraapi.h"
#include "zeltraptr.h"

// Display flags passed with a mode: how it is carried on the wire.
inline constexpr uint32_t kDisplayModeFlagPsF = 1u << 0;
inline constexpr uint32_t kDisplayModeFlag3D = 1u << 1;

// Mode id of "no known format".
inline constexpr uint32_t kDisplayModeUnknown = zeltraCode("iunk");

// Counted handle of one display mode of the library, with the names the
// utility shows for it. A default-constructed mode is empty and answers every
// query with 0 or an empty name.
class DisplayMode
{
public:
    DisplayMode() = default;
    // Takes a reference of its own on the borrowed mode.
    explicit DisplayMode(IZeltraDisplayMode* mode);

    bool isValid() const { return bool(m_mode); }

    // The library's name of the mode, adjusted: the short form names the
    // standard definition modes "NTSC"/"PAL"; PsF writes "PsF" for every 'p';
    // 3D appends " 3D". Empty when the library has no name for it.
    QString getName(bool psf, bool threeD, bool shortName) const;
    QString getName(uint32_t flags) const;
    QString getShortName(uint32_t flags) const;

    uint32_t getModeId() const;
    long getWidth() const;
    long getHeight() const;
    // False (and both 0) when the library cannot tell.
    bool getFrameRate(int64_t& frameDuration, int64_t& timeScale) const;
    // Frames per second; 0 when the rate is unknown or malformed.
    double getFramesPerSecond() const;
    // Frames per second truncated to whole frames (29.97 gives 29).
    uint32_t getWholeFrameRate() const;
    uint32_t getFieldDominance() const;
    bool isInterlaced() const;
    bool isProgressive() const;

private:
    ZeltraPtr<IZeltraDisplayMode> m_mode;
};

// Menu order: fewer pixels first; at equal size, progressive before
// interlaced, each in ascending whole frames per second.
bool DisplayModesDisplayOrderSort(const DisplayMode& a, const DisplayMode& b);

bool isInterlaced(uint32_t fieldDominance);
bool isProgressive(uint32_t fieldDominance);

// Video connections 8 (component), 16 (composite) and 32 (S-Video) are analog.
bool isAnalogVideo(uint32_t connection);
bool isEmbeddedVideo(uint32_t connection);
// Audio carried with SDI (1) or HDMI (2) is not analog; only SDI is embedded.
bool isAnalogAudio(uint32_t connection);
bool isEmbeddedAudio(uint32_t connection);
