#include "displaymodeobjects.h"

namespace cardsim {

int32_t DisplayModeObject::GetName(const char **name)
{
    if (name == nullptr)
        return kZeltraNullPointer;
    return returnString(m_mode.name, name);
}

int32_t DisplayModeObject::GetFrameRate(int64_t *frameDuration, int64_t *timeScale)
{
    if (frameDuration == nullptr || timeScale == nullptr)
        return kZeltraNullPointer;
    *frameDuration = m_mode.frameDuration;
    *timeScale = m_mode.timeScale;
    return kZeltraOk;
}

int32_t DisplayModeIteratorObject::Next(IZeltraDisplayMode **mode)
{
    if (mode == nullptr)
        return kZeltraNullPointer;
    *mode = nullptr;
    const size_t index = m_next.fetch_add(1);
    if (index >= m_modes.size()) {
        m_next = m_modes.size();
        return kZeltraFail;
    }
    *mode = new DisplayModeObject(m_modes[index]);
    return kZeltraOk;
}

} // namespace cardsim
