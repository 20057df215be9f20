#include "zeltradevice.h"

#include "displaymodeobjects.h"

namespace cardsim {

int32_t ZeltraDevice::GetModelName(const char **name)
{
    if (name == nullptr)
        return kZeltraNullPointer;
    if (!m_link.attachment->attached)
        return kZeltraFail;
    return returnString(m_link.card->description().modelName, name);
}

int32_t ZeltraDevice::GetDisplayName(const char **name)
{
    if (name == nullptr)
        return kZeltraNullPointer;
    if (!m_link.attachment->attached)
        return kZeltraFail;
    return returnString(m_link.card->description().displayName, name);
}

int32_t ZeltraDevice::queryOther(IID iid, void **out)
{
    const bool known = iid == IID_IZeltraAttributes || iid == IID_IZeltraConfiguration || iid == IID_IZeltraStatus
        || iid == IID_IZeltraNotification || iid == IID_IZeltraInput || iid == IID_IZeltraOutput;
    if (!known)
        return kZeltraNoInterface;
    if (!m_link.attachment->attached)
        return kZeltraFail;

    const CardDescription &d = m_link.card->description();
    // Capture and playback follow the card's 'vios' bits; without them,
    // whether the card lists modes for that side.
    bool capture = !d.inputModes.empty();
    bool playback = !d.outputModes.empty();
    if (const Item *vios = d.attributes.find(zeltraCode("vios")); vios && typeOf(vios->value) == ItemType::Int) {
        capture = std::get<int64_t>(vios->value) & 1;
        playback = std::get<int64_t>(vios->value) & 2;
    }

    if (iid == IID_IZeltraAttributes)
        *out = static_cast<IZeltraAttributes *>(new AttributesObject(m_link));
    else if (iid == IID_IZeltraConfiguration)
        *out = static_cast<IZeltraConfiguration *>(new ConfigurationObject(m_link));
    else if (iid == IID_IZeltraStatus)
        *out = static_cast<IZeltraStatus *>(new StatusObject(m_link));
    else if (iid == IID_IZeltraNotification)
        *out = static_cast<IZeltraNotification *>(new NotificationObject(m_link));
    else if (iid == IID_IZeltraInput && capture)
        *out = static_cast<IZeltraInput *>(new InputObject(m_link, d.inputModes));
    else if (iid == IID_IZeltraOutput && playback)
        *out = static_cast<IZeltraOutput *>(new OutputObject(m_link, d.outputModes));
    else
        return kZeltraNoInterface;
    return kZeltraOk;
}

} // namespace cardsim
