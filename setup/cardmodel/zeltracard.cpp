#include "zeltracard.h"

#include <algorithm>

#include <QCoreApplication>

#include "notificationcallback.h"
#include "staticdata.h"
#include "zeltraapilibrary.h"
#include "zeltrastring.h"

namespace {

// Result of a status read on a device that is not initialised.
constexpr int kNotInitialisedResult = kZeltraFail;

constexpr uint32_t kTopics[] = { kZeltraTopicPreferences, kZeltraTopicStatus };

// Reads one group id the way discovery and the sub-device search do: the
// device group, or the parent PCI bridge bus when the card has no group.
bool readGroupId(const ZeltraCard& device, int64_t& groupId)
{
    return device.getDeviceGroupId(&groupId) || device.getParentPCIBridgeBusNumber(&groupId);
}

} // namespace

ZeltraCard::ZeltraCard(IZeltra* device, QObject* parent)
    : QObject(parent)
    , m_device(ZeltraPtr<IZeltra>::adopt(device))
{
}

ZeltraCard::~ZeltraCard()
{
    uninitialise();
}

// ---- Identity and presentation ------------------------------------------

QString ZeltraCard::deviceName() const
{
    const QString label = getInformationLabel();
    if (!label.isEmpty())
        return label;
    if (!m_initialised)
        return {};
    return readZeltraString([this](const char** out) { return m_device->GetDisplayName(out); });
}

QString ZeltraCard::modelName() const
{
    if (!m_initialised)
        return {};
    return readZeltraString([this](const char** out) { return m_device->GetModelName(out); });
}

int64_t ZeltraCard::modelId() const
{
    return getAttributeInt(zeltraCode("rvid"));
}

QString ZeltraCard::getInstallationLocation() const
{
    return {};
}

void ZeltraCard::connect()
{
}

void ZeltraCard::disconnect()
{
}

bool ZeltraCard::isConnected() const
{
    return bool(m_device);
}

bool ZeltraCard::isTestMode() const
{
    int64_t value = 0;
    return supportsAttributeInt(zeltraCode("igfv"), value) && value != 0;
}

QString ZeltraCard::subDeviceName() const
{
    int64_t index = 0;
    if (!supportsAttributeInt(zeltraCode("subi"), index))
        index = 0;
    return QCoreApplication::translate("VisibleZeltra", "Card %1").arg(index + 1);
}

QString ZeltraCard::getAPIVersion()
{
    return getInformationString(kZeltraInformationVersion);
}

QString ZeltraCard::getInformationString(uint32_t id)
{
    const ZeltraPtr<IZeltraAPIInformation> information = ZeltraApiLibrary::createAPIInformation();
    if (!information)
        return {};
    return readZeltraString([&](const char** out) { return information->GetString(id, out); });
}

// ---- Life cycle ----------------------------------------------------------

bool ZeltraCard::initialise()
{
    m_initialised = false;
    if (!m_device) {
        uninitialise();
        return false;
    }
    releaseCallback();

    m_attributes = m_device.query<IZeltraAttributes>(IID_IZeltraAttributes);
    m_notification = m_device.query<IZeltraNotification>(IID_IZeltraNotification);
    if (!m_attributes || !m_notification) {
        uninitialise();
        return false;
    }
    m_callback = new NotificationCallback(this);
    for (uint32_t topic : kTopics) {
        if (m_notification->Subscribe(topic, m_callback) < 0) {
            uninitialise();
            return false;
        }
    }

    m_status = m_device.query<IZeltraStatus>(IID_IZeltraStatus);
    if (!queryConfiguration() || !m_status) {
        uninitialise();
        return false;
    }

    m_initialised = true;

    m_inputDisplayModes.clear();
    m_outputDisplayModes.clear();
    if (supportsCapture()) {
        m_input = m_device.query<IZeltraInput>(IID_IZeltraInput);
        ZeltraPtr<IZeltraDisplayModeIterator> iterator;
        if (!m_input || m_input->GetDisplayModeIterator(iterator.out()) < 0 || !iterator) {
            uninitialise();
            return false;
        }
        loadDisplayModes(iterator.get(), m_inputDisplayModes);
    }
    if (supportsPlayback()) {
        m_output = m_device.query<IZeltraOutput>(IID_IZeltraOutput);
        ZeltraPtr<IZeltraDisplayModeIterator> iterator;
        if (!m_output || m_output->GetDisplayModeIterator(iterator.out()) < 0 || !iterator) {
            uninitialise();
            return false;
        }
        loadDisplayModes(iterator.get(), m_outputDisplayModes);
    }
    return true;
}

bool ZeltraCard::queryConfiguration()
{
    // A fresh configuration object starts from the stored preferences; the
    // old one, released unstored, reverts what it changed.
    m_configuration.reset();
    m_configuration = m_device.query<IZeltraConfiguration>(IID_IZeltraConfiguration);
    return bool(m_configuration);
}

void ZeltraCard::loadDisplayModes(IZeltraDisplayModeIterator* iterator, QMap<uint32_t, DisplayMode>& table)
{
    // Bounded so that a library that never ends its iteration cannot hang
    // the utility.
    constexpr int kMaxModes = 4096;
    for (int i = 0; i < kMaxModes; ++i) {
        ZeltraPtr<IZeltraDisplayMode> mode;
        if (iterator->Next(mode.out()) != 0 || !mode)
            break;
        const DisplayMode displayMode(mode.get());
        table.insert(displayMode.getModeId(), displayMode);
    }
}

void ZeltraCard::uninitialise()
{
    m_initialised = false;
    clearSubDevices();
    m_status.reset();
    m_attributes.reset();
    releaseCallback();
    m_notification.reset();
    m_configuration.reset();
    m_input.reset();
    m_output.reset();
    m_inputDisplayModes.clear();
    m_outputDisplayModes.clear();
    m_device.reset();
}

void ZeltraCard::releaseCallback()
{
    if (!m_callback)
        return;
    // Once Unsubscribe returns the library calls the callback no more.
    if (m_notification) {
        for (uint32_t topic : kTopics)
            m_notification->Unsubscribe(topic, m_callback);
    }
    m_callback->detach();
    m_callback->Release();
    m_callback = nullptr;
}

void ZeltraCard::onConnected()
{
    if (!initialise())
        return;
    onInitialised();
    emit connectionChangedSignal(true);
}

void ZeltraCard::onDisconnected()
{
    uninitialise();
    emit connectionChangedSignal(false);
}

void ZeltraCard::onPropertyChanged()
{
    emit propertyChanged();
}

void ZeltraCard::onStatusChanged()
{
    emit statusChanged();
}

// ---- Generic access ------------------------------------------------------

int64_t ZeltraCard::getAttributeInt(uint32_t id) const
{
    int64_t value = 0;
    return supportsAttributeInt(id, value) ? value : 0;
}

bool ZeltraCard::getAttributeFlag(uint32_t id) const
{
    bool value = false;
    if (!m_initialised || m_attributes->GetFlag(id, &value) < 0)
        return false;
    return value;
}

double ZeltraCard::getAttributeFloat(uint32_t id) const
{
    double value = 0.0;
    if (!m_initialised || m_attributes->GetFloat(id, &value) < 0)
        return 0.0;
    return value;
}

bool ZeltraCard::supportsAttributeInt(uint32_t id) const
{
    int64_t value = 0;
    return supportsAttributeInt(id, value);
}

bool ZeltraCard::supportsAttributeInt(uint32_t id, int64_t& value) const
{
    int64_t read = 0;
    if (!m_initialised || m_attributes->GetInt(id, &read) < 0)
        return false;
    value = read;
    return true;
}

bool ZeltraCard::supportsAttributeFlag(uint32_t id) const
{
    return getAttributeFlag(id);
}

int64_t ZeltraCard::getConfigurationInt(uint32_t id) const
{
    int64_t value = 0;
    if (!m_initialised || m_configuration->GetInt(id, &value) < 0)
        return 0;
    return value;
}

bool ZeltraCard::getConfigurationFlag(uint32_t id) const
{
    bool value = false;
    if (!m_initialised || m_configuration->GetFlag(id, &value) < 0)
        return false;
    return value;
}

double ZeltraCard::getConfigurationFloat(uint32_t id) const
{
    double value = 0.0;
    if (!m_initialised || m_configuration->GetFloat(id, &value) < 0)
        return 0.0;
    return value;
}

QString ZeltraCard::getConfigurationString(uint32_t id) const
{
    if (!m_initialised)
        return {};
    return readZeltraString([&](const char** out) { return m_configuration->GetString(id, out); });
}

bool ZeltraCard::supportsConfigurationInt(uint32_t id) const
{
    int64_t value = 0;
    return m_initialised && m_configuration->GetInt(id, &value) >= 0;
}

bool ZeltraCard::supportsConfigurationFlag(uint32_t id) const
{
    bool value = false;
    return m_initialised && m_configuration->GetFlag(id, &value) >= 0;
}

bool ZeltraCard::supportsConfigurationFloat(uint32_t id) const
{
    double value = 0.0;
    return m_initialised && m_configuration->GetFloat(id, &value) >= 0;
}

void ZeltraCard::setConfigurationInt(uint32_t id, int64_t value)
{
    if (m_initialised)
        m_configuration->SetInt(id, value);
}

void ZeltraCard::setConfigurationFlag(uint32_t id, bool value)
{
    if (m_initialised)
        m_configuration->SetFlag(id, value);
}

void ZeltraCard::setConfigurationFloat(uint32_t id, double value)
{
    if (m_initialised)
        m_configuration->SetFloat(id, value);
}

void ZeltraCard::setConfigurationString(uint32_t id, const QString& value)
{
    if (m_initialised)
        m_configuration->SetString(id, value.toUtf8().constData());
}

int64_t ZeltraCard::getStatusInt(uint32_t id) const
{
    int result = 0;
    return getStatusInt(id, result);
}

int64_t ZeltraCard::getStatusInt(uint32_t id, int& result) const
{
    if (!m_initialised) {
        result = kNotInitialisedResult;
        return 0;
    }
    int64_t value = 0;
    result = m_status->GetInt(id, &value);
    return result < 0 ? 0 : value;
}

bool ZeltraCard::getStatusFlag(uint32_t id) const
{
    int result = 0;
    return getStatusFlag(id, result);
}

bool ZeltraCard::getStatusFlag(uint32_t id, int& result) const
{
    if (!m_initialised) {
        result = kNotInitialisedResult;
        return false;
    }
    bool value = false;
    result = m_status->GetFlag(id, &value);
    return result < 0 ? false : value;
}

bool ZeltraCard::getStatusBytes(uint32_t id, QByteArray& bytes) const
{
    int result = 0;
    return getStatusBytes(id, bytes, result);
}

bool ZeltraCard::getStatusBytes(uint32_t id, QByteArray& bytes, int& result) const
{
    bytes.clear();
    if (!m_initialised) {
        result = kNotInitialisedResult;
        return false;
    }
    // Status blobs are small (an EDID is a few hundred bytes); refuse sizes
    // no card reports rather than allocate what a faulty library claims.
    constexpr uint32_t kMaxStatusBytes = 1u << 20;
    uint32_t size = 0;
    result = m_status->GetBytes(id, nullptr, &size);
    if (result < 0)
        return false;
    if (size > kMaxStatusBytes) {
        result = kZeltraInvalidArgument;
        return false;
    }
    if (size == 0)
        return true;
    QByteArray buffer(int(size), '\0');
    uint32_t length = size;
    result = m_status->GetBytes(id, buffer.data(), &length);
    if (result < 0)
        return false;
    buffer.truncate(int(std::min(length, size)));
    bytes = buffer;
    return true;
}

bool ZeltraCard::supportsStatusInt(uint32_t id) const
{
    int result = 0;
    getStatusInt(id, result);
    return result >= 0;
}

bool ZeltraCard::supportsStatusBytes(uint32_t id) const
{
    uint32_t size = 0;
    return m_initialised && m_status->GetBytes(id, nullptr, &size) >= 0;
}

// ---- Composite queries ---------------------------------------------------

QString ZeltraCard::getAudioInputConnectionTranslated(const QString& name) const
{
    if (name != QLatin1String("RCA"))
        return name;
    switch (modelId()) {
    case 77:
    case 79:
    case 85:
    case 86:
        return QStringLiteral("HIFI");
    default:
        return name;
    }
}

bool ZeltraCard::hasAnalogVideoOutputs() const
{
    const int64_t outputs = getVideoOutputConnections();
    for (auto it = kVideoConnections.cbegin(); it != kVideoConnections.cend(); ++it) {
        if (isAnalogVideo(it.key()) && (outputs & it.key()))
            return true;
    }
    return false;
}

bool ZeltraCard::supportsSwitchableAnalogVideoOutputs() const
{
    QVector<uint32_t> analogOutputs;
    getSwitchableAnalogVideoOutputs(analogOutputs);
    if (analogOutputs.isEmpty())
        return false;
    // 'aaoa': every analog output always active, so none can be switched.
    return !getAttributeFlag(zeltraCode("aaoa"));
}

void ZeltraCard::getSwitchableAnalogVideoOutputs(QVector<uint32_t>& connections) const
{
    connections.clear();
    const int64_t outputs = getVideoOutputConnections();
    for (auto it = kVideoConnections.cbegin(); it != kVideoConnections.cend(); ++it) {
        if (isAnalogVideo(it.key()) && (outputs & it.key()))
            connections.append(it.key());
    }
}

bool ZeltraCard::supportsAudioLevelAdjustment() const
{
    const int64_t inputs = getAudioInputConnections();
    int inputCount = 0;
    for (auto it = kAudioConnections.cbegin(); it != kAudioConnections.cend(); ++it) {
        if (inputs & it.key())
            ++inputCount;
    }
    if (inputCount > 1)
        return true;
    if (getMaxAnalogAudioInputChannels() != 0)
        return true;
    if (supportsConfigurationFlag(zeltraCode("aacl")))
        return true;
    if ((getAudioOutputConnections() & 2)
        && (supportsConfigurationFloat(zeltraCode("dais")) || supportsConfigurationFloat(zeltraCode("daos"))))
        return true;
    if (getAttributeInt(zeltraCode("aach")) != 0)
        return true;
    return supportsConfigurationInt(zeltraCode("aoaa"));
}

// ---- Display modes -------------------------------------------------------

QMap<uint32_t, DisplayMode> ZeltraCard::getVideoInputDisplayModes() const
{
    return m_inputDisplayModes;
}

QMap<uint32_t, DisplayMode> ZeltraCard::getVideoOutputDisplayModes() const
{
    return m_outputDisplayModes;
}

std::vector<DisplayMode> ZeltraCard::getVideoOutputDisplayModesInDisplayOrder() const
{
    if (!m_initialised)
        return {};
    std::vector<DisplayMode> modes(m_outputDisplayModes.cbegin(), m_outputDisplayModes.cend());
    std::stable_sort(modes.begin(), modes.end(), DisplayModesDisplayOrderSort);
    return modes;
}

bool ZeltraCard::getVideoInputDisplayMode(uint32_t& mode, uint32_t& flags) const
{
    if (!m_initialised)
        return false;
    bool detects = false;
    if (m_attributes->GetFlag(zeltraCode("infd"), &detects) >= 0 && detects) {
        int modeResult = 0;
        int flagsResult = 0;
        const int64_t detectedMode = getStatusInt(zeltraCode("dvim"), modeResult);
        const int64_t detectedFlags = getStatusInt(zeltraCode("dvif"), flagsResult);
        if (modeResult < 0 || flagsResult < 0)
            return false;
        mode = uint32_t(detectedMode);
        flags = uint32_t(detectedFlags);
        return true;
    }

    int signalResult = 0;
    if (getStatusFlag(zeltraCode("visl"), signalResult) && signalResult >= 0) {
        int modeResult = 0;
        int flagsResult = 0;
        const int64_t currentMode = getStatusInt(zeltraCode("cvim"), modeResult);
        const int64_t currentFlags = getStatusInt(zeltraCode("cvif"), flagsResult);
        if (modeResult < 0 || flagsResult < 0)
            return false;
        mode = uint32_t(currentMode);
        flags = uint32_t(currentFlags);
        return true;
    }

    mode = kDisplayModeUnknown;
    flags = 0;
    return true;
}

bool ZeltraCard::getVideoOutputDisplayMode(uint32_t& mode, uint32_t& flags) const
{
    if (!m_initialised)
        return false;
    int busyResult = 0;
    const int64_t busy = getStatusInt(zeltraCode("busy"), busyResult);

    // While a card captures and plays the input straight through, its
    // outputs carry the input's format.
    bool fullDuplex = false;
    if (m_attributes->GetFlag(zeltraCode("fdup"), &fullDuplex) >= 0 && fullDuplex) {
        if (busyResult >= 0 && (busy & 3) == 1
            && getConfigurationInt(zeltraCode("cptm")) == zeltraCode("pdir"))
            return getVideoInputDisplayMode(mode, flags);
    } else if (busy & 1) {
        return getVideoInputDisplayMode(mode, flags);
    }

    int modeResult = 0;
    int flagsResult = 0;
    const int64_t currentMode = getStatusInt(zeltraCode("cvom"), modeResult);
    const int64_t currentFlags = modeResult >= 0 ? getStatusInt(zeltraCode("cvof"), flagsResult) : 0;
    if (modeResult >= 0 && flagsResult >= 0) {
        mode = uint32_t(currentMode);
        flags = uint32_t(currentFlags);
        return true;
    }

    // Nothing is playing: the outputs show the default output mode.
    flags = uint32_t(flagsResult >= 0 ? currentFlags : 0);
    mode = uint32_t(getDefaultVideoOutputDisplayMode());
    if (supportsOutputPsF() && getOutput1080pAsPsF()) {
        const auto found = m_outputDisplayModes.constFind(mode);
        if (found != m_outputDisplayModes.cend() && found->getHeight() == 1080 && found->getWholeFrameRate() <= 30)
            flags |= kDisplayModeFlagPsF;
    }
    return true;
}

// ---- Preferences ---------------------------------------------------------

bool ZeltraCard::writeToPreferences()
{
    if (!m_initialised)
        return false;
    if (m_configuration->StoreToPreferences() < 0)
        return false;
    onPreferencesStored();
    return true;
}

void ZeltraCard::readFromPreferences()
{
    if (!m_initialised)
        return;
    if (!queryConfiguration())
        uninitialise();
}

// ---- Sub-devices ---------------------------------------------------------

void ZeltraCard::clearSubDevices()
{
    qDeleteAll(m_subDevices);
    m_subDevices.clear();
}

const QVector<ZeltraCard*>& ZeltraCard::getSubDevices()
{
    // Each plug-in of a card is a new library device: a sibling unplugged
    // since the list was built answers nothing, and the list is built anew.
    const bool stale = std::any_of(m_subDevices.cbegin(), m_subDevices.cend(), [](const ZeltraCard* device) {
        int64_t groupId = 0;
        return !readGroupId(*device, groupId);
    });
    if (stale)
        clearSubDevices();
    if (!m_subDevices.isEmpty() || !m_initialised)
        return m_subDevices;
    int64_t groupId = 0;
    if (!getDeviceGroupId(&groupId))
        return m_subDevices;

    ZeltraPtr<IZeltraIterator> iterator = ZeltraApiLibrary::createIterator();
    if (!iterator)
        return m_subDevices;
    constexpr int kMaxDevices = 1024;
    for (int i = 0; i < kMaxDevices; ++i) {
        IZeltra* next = nullptr;
        if (iterator->Next(&next) != 0 || !next)
            break;
        ZeltraCard* sibling = createSibling(next);
        sibling->onConnected();
        int64_t siblingGroupId = 0;
        if (sibling->isInitialised() && readGroupId(*sibling, siblingGroupId) && siblingGroupId == groupId)
            m_subDevices.append(sibling);
        else
            delete sibling;
    }
    return m_subDevices;
}

ZeltraCard* ZeltraCard::createSibling(IZeltra* device)
{
    return new ZeltraCard(device);
}

ZeltraCard* ZeltraCard::findSubDevice(const std::function<bool(ZeltraCard&)>& matches)
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        for (ZeltraCard* device : getSubDevices()) {
            if (matches(*device))
                return device;
        }
        // A list that misses some of the card's sub-devices may miss the one
        // asked for, which arrived since: it is built again, once.
        if (m_subDevices.size() >= getSubDeviceCount())
            break;
        clearSubDevices();
    }
    return nullptr;
}

ZeltraCard* ZeltraCard::getSubDeviceByIndex(int64_t index)
{
    return findSubDevice([index](ZeltraCard& device) { return device.getSubDeviceIndex() == index; });
}

ZeltraCard* ZeltraCard::getSubDeviceByPersistentId(int64_t id)
{
    return findSubDevice([id](ZeltraCard& device) { return device.getPersistentId() == id; });
}

ZeltraCard* ZeltraCard::getSubDeviceByConnectorId(int id)
{
    return findSubDevice([id](ZeltraCard& device) {
        int first = 0;
        int last = 0;
        return device.getConnectorIds(first, last) && first <= id && id <= last;
    });
}
