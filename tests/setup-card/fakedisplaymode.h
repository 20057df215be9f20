#pragma once

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include <QMap>

#include "displaymode.h"
#include "zeltraapi.h"

// A display mode of the driver library, built in the test; counts its
// references so that tests can check they all come back.
class FakeDisplayMode final : public IZeltraDisplayMode
{
public:
    FakeDisplayMode(const char (&id)[5], const char* name, long width, long height, int64_t duration,
        int64_t scale, uint32_t field)
        : m_id(zeltraCode(id)), m_name(name), m_width(width), m_height(height), m_duration(duration)
        , m_scale(scale), m_field(field)
    {
        ++s_live;
    }

    static int liveCount() { return s_live; }

    int32_t QueryInterface(IID, void** out) override
    {
        *out = nullptr;
        return kZeltraNoInterface;
    }
    uint32_t AddRef() override { return ++m_count; }
    uint32_t Release() override
    {
        const uint32_t count = --m_count;
        if (count == 0)
            delete this;
        return count;
    }
    int32_t GetName(const char** name) override
    {
        if (!m_name)
            return kZeltraFail;
        *name = strdup(m_name);
        return kZeltraOk;
    }
    uint32_t GetModeId() override { return m_id; }
    long GetWidth() override { return m_width; }
    long GetHeight() override { return m_height; }
    int32_t GetFrameRate(int64_t* duration, int64_t* scale) override
    {
        *duration = m_duration;
        *scale = m_scale;
        return kZeltraOk;
    }
    uint32_t GetFieldDominance() override { return m_field; }

private:
    ~FakeDisplayMode() { --s_live; }

    static inline std::atomic<int> s_live{ 0 };
    std::atomic<uint32_t> m_count{ 1 };
    uint32_t m_id;
    const char* m_name;
    long m_width;
    long m_height;
    int64_t m_duration;
    int64_t m_scale;
    uint32_t m_field;
};

// Wraps a freshly made fake; the table holds the only reference afterwards.
inline DisplayMode takeMode(FakeDisplayMode* mode)
{
    DisplayMode wrapped(mode);
    mode->Release();
    return wrapped;
}

inline QMap<uint32_t, DisplayMode> modeTable(std::initializer_list<FakeDisplayMode*> modes)
{
    QMap<uint32_t, DisplayMode> table;
    for (FakeDisplayMode* mode : modes) {
        const DisplayMode wrapped = takeMode(mode);
        table.insert(wrapped.getModeId(), wrapped);
    }
    return table;
}

// A catalogue of the usual modes with the names the library gives them.
inline QMap<uint32_t, DisplayMode> standardModes()
{
    const uint32_t lower = kZeltraFieldLower;
    const uint32_t upper = kZeltraFieldUpper;
    const uint32_t prog = kZeltraFieldProgressive;
    return modeTable({
        new FakeDisplayMode("ntsc", "NTSC", 720, 486, 1001, 30000, lower),
        new FakeDisplayMode("ntsp", "NTSC p", 720, 486, 1001, 60000, prog),
        new FakeDisplayMode("pal ", "PAL", 720, 576, 1000, 25000, upper),
        new FakeDisplayMode("palp", "PAL p", 720, 576, 1000, 50000, prog),
        new FakeDisplayMode("hp50", "720p50", 1280, 720, 1000, 50000, prog),
        new FakeDisplayMode("hp59", "720p59.94", 1280, 720, 1001, 60000, prog),
        new FakeDisplayMode("23ps", "1080p23.98", 1920, 1080, 1001, 24000, prog),
        new FakeDisplayMode("24ps", "1080p24", 1920, 1080, 1000, 24000, prog),
        new FakeDisplayMode("Hp25", "1080p25", 1920, 1080, 1000, 25000, prog),
        new FakeDisplayMode("Hp29", "1080p29.97", 1920, 1080, 1001, 30000, prog),
        new FakeDisplayMode("Hp30", "1080p30", 1920, 1080, 1000, 30000, prog),
        new FakeDisplayMode("Hi50", "1080i50", 1920, 1080, 1000, 25000, upper),
        new FakeDisplayMode("Hi59", "1080i59.94", 1920, 1080, 1001, 30000, upper),
        new FakeDisplayMode("Hp50", "1080p50", 1920, 1080, 1000, 50000, prog),
        new FakeDisplayMode("H23d", "1080p23.98 DCI", 1920, 1080, 1001, 24000, prog),
        new FakeDisplayMode("2k24", "2K DCI 24p", 2048, 1080, 1000, 24000, prog),
        new FakeDisplayMode("2k25", "2K DCI 25p", 2048, 1080, 1000, 25000, prog),
        new FakeDisplayMode("4k24", "2160p24", 3840, 2160, 1000, 24000, prog),
    });
}
