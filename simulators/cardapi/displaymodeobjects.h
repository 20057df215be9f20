#pragma once

#include "cardfacets.h"
#include "modecatalog.h"
#include "simobject.h"

#include <vector>

namespace cardsim {

class DisplayModeObject final : public SimObject<IZeltraDisplayMode>
{
public:
    explicit DisplayModeObject(ModeSpec mode) : m_mode(std::move(mode)) {}

    int32_t GetName(const char **name) override;
    uint32_t GetModeId() override { return m_mode.id; }
    long GetWidth() override { return m_mode.width; }
    long GetHeight() override { return m_mode.height; }
    int32_t GetFrameRate(int64_t *frameDuration, int64_t *timeScale) override;
    uint32_t GetFieldDominance() override { return m_mode.fieldDominance; }

private:
    const ModeSpec m_mode;
};

class DisplayModeIteratorObject final : public SimObject<IZeltraDisplayModeIterator>
{
public:
    explicit DisplayModeIteratorObject(std::vector<ModeSpec> modes) : m_modes(std::move(modes)) {}

    int32_t Next(IZeltraDisplayMode **mode) override;

private:
    const std::vector<ModeSpec> m_modes;
    std::atomic<size_t> m_next{0};
};

// The capture or the playback side of a card, with its display modes.
template <typename Interface>
class VideoSideObject final : public SimObject<Interface>
{
public:
    VideoSideObject(CardLink link, const std::vector<ModeSpec> &modes) : m_link(std::move(link)), m_modes(modes) {}

    int32_t GetDisplayMode(uint32_t modeId, IZeltraDisplayMode **mode) override
    {
        if (mode == nullptr)
            return kZeltraNullPointer;
        *mode = nullptr;
        if (!m_link.attachment->attached)
            return kZeltraFail;
        for (const ModeSpec &described : m_modes) {
            if (described.id == modeId) {
                *mode = new DisplayModeObject(described);
                return kZeltraOk;
            }
        }
        return kZeltraInvalidArgument;
    }

    int32_t GetDisplayModeIterator(IZeltraDisplayModeIterator **iterator) override
    {
        if (iterator == nullptr)
            return kZeltraNullPointer;
        *iterator = nullptr;
        if (!m_link.attachment->attached)
            return kZeltraFail;
        *iterator = new DisplayModeIteratorObject(m_modes);
        return kZeltraOk;
    }

private:
    CardLink m_link;
    const std::vector<ModeSpec> &m_modes; // owned by the card's description
};

using InputObject = VideoSideObject<IZeltraInput>;
using OutputObject = VideoSideObject<IZeltraOutput>;

} // namespace cardsim
