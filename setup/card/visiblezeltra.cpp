#include "visiblezeltra.h"
#include "hidpipixmap.h"

#include <algorithm>

#include <QWidget>

#include "modelpicturetable.h"
#include "notificationcallback.h"
#include "staticdata.h"
#include "visiblezeltrasummarywidget.h"
#include "zeltraapilibrary.h"
#include "zeltrastring.h"

namespace {

// Result of a status read on a device that is not initialised.
constexpr int kNotInitialisedResult = kZeltraFail;

constexpr uint32_t kTopics[] = { kZeltraTopicPreferences, kZeltraTopicStatus };

// Reads one group id the way discovery and the sub-device search do: the
// device group, or the parent PCI bridge bus when the card has no group.
bool readGroupId(const VisibleZeltra& device, int64_t& groupId)
{
    return device.getDeviceGroupId(&groupId) || device.getParentPCIBridgeBusNumber(&groupId);
}

} // namespace

VisibleZeltra::VisibleZeltra(IZeltra* device, QObject* parent)
    : QObject(parent)
    , m_device(ZeltraPtr<IZeltra>::adopt(device))
{
}

VisibleZeltra::~VisibleZeltra()
{
    delete m_summaryWidget.data();
    uninitialise();
}

// ---- Identity and presentation ------------------------------------------

QString VisibleZeltra::familyName() const
{
    return tr("Zeltra");
}

QString VisibleZeltra::deviceName() const
{
    const QString label = getInformationLabel();
    if (!label.isEmpty())
        return label;
    if (!m_initialised)
        return {};
    return readZeltraString([this](const char** out) { return m_device->GetDisplayName(out); });
}

QString VisibleZeltra::modelName() const
{
    if (!m_initialised)
        return {};
    return readZeltraString([this](const char** out) { return m_device->GetModelName(out); });
}

int64_t VisibleZeltra::modelId() const
{
    return getAttributeInt(zeltraCode("rvid"));
}

QPixmap VisibleZeltra::modelImage() const
{
    return modelPicture(m_modelImage, &ModelPicturePaths::image);
}

QPixmap VisibleZeltra::modelThumb() const
{
    return modelPicture(m_modelThumb, &ModelPicturePaths::thumb);
}

QPixmap VisibleZeltra::modelListThumb() const
{
    return modelPicture(m_modelListThumb, &ModelPicturePaths::listThumb);
}

DeviceFirmwareUpdater* VisibleZeltra::getFirmwareUpdater()
{
    // Card firmware is rewritten by the PCIe updater, not from here.
    return nullptr;
}

QWidget* VisibleZeltra::summaryWidget() const
{
    if (!m_summaryWidget && shouldShowSetup())
        m_summaryWidget = new VisibleZeltraSummaryWidget(const_cast<VisibleZeltra&>(*this));
    return m_summaryWidget;
}

QString VisibleZeltra::ipAddress() const
{
    return {};
}

QPixmap VisibleZeltra::launcherConnectionIcon() const
{
    return {};
}

QPixmap VisibleZeltra::cardConnectionIcon() const
{
    return {};
}

bool VisibleZeltra::firmwareUpdateOnly() const
{
    return false;
}

QString VisibleZeltra::currentFirmwareString() const
{
    return {};
}

bool VisibleZeltra::firmwareUpdateAvailable() const
{
    return false;
}

QString VisibleZeltra::availableFirmwareString() const
{
    return {};
}

QString VisibleZeltra::getInstallationLocation() const
{
    return {};
}

void VisibleZeltra::connect()
{
}

void VisibleZeltra::disconnect()
{
}

bool VisibleZeltra::isConnected() const
{
    return bool(m_device);
}

bool VisibleZeltra::isTestMode() const
{
    int64_t value = 0;
    return supportsAttributeInt(zeltraCode("igfv"), value) && value != 0;
}

QString VisibleZeltra::subDeviceName() const
{
    int64_t index = 0;
    if (!supportsAttributeInt(zeltraCode("subi"), index))
        index = 0;
    return tr("Card %1").arg(index + 1);
}

QString VisibleZeltra::getAPIVersion()
{
    return getInformationString(kZeltraInformationVersion);
}

QString VisibleZeltra::getInformationString(uint32_t id)
{
    const ZeltraPtr<IZeltraAPIInformation> information = ZeltraApiLibrary::createAPIInformation();
    if (!information)
        return {};
    return readZeltraString([&](const char** out) { return information->GetString(id, out); });
}

// ---- Life cycle ----------------------------------------------------------

bool VisibleZeltra::initialise()
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

bool VisibleZeltra::queryConfiguration()
{
    // A fresh configuration object starts from the stored preferences; the
    // old one, released unstored, reverts what it changed.
    m_configuration.reset();
    m_configuration = m_device.query<IZeltraConfiguration>(IID_IZeltraConfiguration);
    return bool(m_configuration);
}

void VisibleZeltra::loadDisplayModes(IZeltraDisplayModeIterator* iterator, QMap<uint32_t, DisplayMode>& table)
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

void VisibleZeltra::uninitialise()
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

void VisibleZeltra::releaseCallback()
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

void VisibleZeltra::onConnected()
{
    if (!initialise())
        return;
    // The model may differ from the last connection's.
    m_modelImage = m_modelThumb = m_modelListThumb = QPixmap();
    emit connectionChangedSignal(true);
}

// Pictures are decoded when a view first asks for one: the gallery shows one
// card at a time and the list only small thumbnails, so decoding all three
// pictures of every card as it arrived cost more than the rest of its
// arrival, and memory for pictures nobody looked at.
QPixmap VisibleZeltra::modelPicture(QPixmap& picture, const char* const ModelPicturePaths::*path) const
{
    if (picture.isNull()) {
        if (const ModelPicturePaths* paths = findModelPictures(modelId()))
            picture = loadPicture(QString::fromLatin1(paths->*path));
    }
    return picture;
}

void VisibleZeltra::onDisconnected()
{
    uninitialise();
    emit connectionChangedSignal(false);
}

void VisibleZeltra::onPropertyChanged()
{
    emit propertyChanged();
}

void VisibleZeltra::onStatusChanged()
{
    emit statusChanged();
}

// ---- Generic access ------------------------------------------------------

int64_t VisibleZeltra::getAttributeInt(uint32_t id) const
{
    int64_t value = 0;
    return supportsAttributeInt(id, value) ? value : 0;
}

bool VisibleZeltra::getAttributeFlag(uint32_t id) const
{
    bool value = false;
    if (!m_initialised || m_attributes->GetFlag(id, &value) < 0)
        return false;
    return value;
}

double VisibleZeltra::getAttributeFloat(uint32_t id) const
{
    double value = 0.0;
    if (!m_initialised || m_attributes->GetFloat(id, &value) < 0)
        return 0.0;
    return value;
}

bool VisibleZeltra::supportsAttributeInt(uint32_t id) const
{
    int64_t value = 0;
    return supportsAttributeInt(id, value);
}

bool VisibleZeltra::supportsAttributeInt(uint32_t id, int64_t& value) const
{
    int64_t read = 0;
    if (!m_initialised || m_attributes->GetInt(id, &read) < 0)
        return false;
    value = read;
    return true;
}

bool VisibleZeltra::supportsAttributeFlag(uint32_t id) const
{
    return getAttributeFlag(id);
}

int64_t VisibleZeltra::getConfigurationInt(uint32_t id) const
{
    int64_t value = 0;
    if (!m_initialised || m_configuration->GetInt(id, &value) < 0)
        return 0;
    return value;
}

bool VisibleZeltra::getConfigurationFlag(uint32_t id) const
{
    bool value = false;
    if (!m_initialised || m_configuration->GetFlag(id, &value) < 0)
        return false;
    return value;
}

double VisibleZeltra::getConfigurationFloat(uint32_t id) const
{
    double value = 0.0;
    if (!m_initialised || m_configuration->GetFloat(id, &value) < 0)
        return 0.0;
    return value;
}

QString VisibleZeltra::getConfigurationString(uint32_t id) const
{
    if (!m_initialised)
        return {};
    return readZeltraString([&](const char** out) { return m_configuration->GetString(id, out); });
}

bool VisibleZeltra::supportsConfigurationInt(uint32_t id) const
{
    int64_t value = 0;
    return m_initialised && m_configuration->GetInt(id, &value) >= 0;
}

bool VisibleZeltra::supportsConfigurationFlag(uint32_t id) const
{
    bool value = false;
    return m_initialised && m_configuration->GetFlag(id, &value) >= 0;
}

bool VisibleZeltra::supportsConfigurationFloat(uint32_t id) const
{
    double value = 0.0;
    return m_initialised && m_configuration->GetFloat(id, &value) >= 0;
}

void VisibleZeltra::setConfigurationInt(uint32_t id, int64_t value)
{
    if (m_initialised)
        m_configuration->SetInt(id, value);
}

void VisibleZeltra::setConfigurationFlag(uint32_t id, bool value)
{
    if (m_initialised)
        m_configuration->SetFlag(id, value);
}

void VisibleZeltra::setConfigurationFloat(uint32_t id, double value)
{
    if (m_initialised)
        m_configuration->SetFloat(id, value);
}

void VisibleZeltra::setConfigurationString(uint32_t id, const QString& value)
{
    if (m_initialised)
        m_configuration->SetString(id, value.toUtf8().constData());
}

int64_t VisibleZeltra::getStatusInt(uint32_t id) const
{
    int result = 0;
    return getStatusInt(id, result);
}

int64_t VisibleZeltra::getStatusInt(uint32_t id, int& result) const
{
    if (!m_initialised) {
        result = kNotInitialisedResult;
        return 0;
    }
    int64_t value = 0;
    result = m_status->GetInt(id, &value);
    return result < 0 ? 0 : value;
}

bool VisibleZeltra::getStatusFlag(uint32_t id) const
{
    int result = 0;
    return getStatusFlag(id, result);
}

bool VisibleZeltra::getStatusFlag(uint32_t id, int& result) const
{
    if (!m_initialised) {
        result = kNotInitialisedResult;
        return false;
    }
    bool value = false;
    result = m_status->GetFlag(id, &value);
    return result < 0 ? false : value;
}

bool VisibleZeltra::getStatusBytes(uint32_t id, QByteArray& bytes) const
{
    int result = 0;
    return getStatusBytes(id, bytes, result);
}

bool VisibleZeltra::getStatusBytes(uint32_t id, QByteArray& bytes, int& result) const
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

bool VisibleZeltra::supportsStatusInt(uint32_t id) const
{
    int result = 0;
    getStatusInt(id, result);
    return result >= 0;
}

bool VisibleZeltra::supportsStatusBytes(uint32_t id) const
{
    uint32_t size = 0;
    return m_initialised && m_status->GetBytes(id, nullptr, &size) >= 0;
}

// ---- Composite queries ---------------------------------------------------

QString VisibleZeltra::getAudioInputConnectionTranslated(const QString& name) const
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

bool VisibleZeltra::hasAnalogVideoOutputs() const
{
    const int64_t outputs = getVideoOutputConnections();
    for (auto it = kVideoConnections.cbegin(); it != kVideoConnections.cend(); ++it) {
        if (isAnalogVideo(it.key()) && (outputs & it.key()))
            return true;
    }
    return false;
}

bool VisibleZeltra::supportsSwitchableAnalogVideoOutputs() const
{
    QVector<uint32_t> analogOutputs;
    getSwitchableAnalogVideoOutputs(analogOutputs);
    if (analogOutputs.isEmpty())
        return false;
    // 'aaoa': every analog output always active, so none can be switched.
    return !getAttributeFlag(zeltraCode("aaoa"));
}

void VisibleZeltra::getSwitchableAnalogVideoOutputs(QVector<uint32_t>& connections) const
{
    connections.clear();
    const int64_t outputs = getVideoOutputConnections();
    for (auto it = kVideoConnections.cbegin(); it != kVideoConnections.cend(); ++it) {
        if (isAnalogVideo(it.key()) && (outputs & it.key()))
            connections.append(it.key());
    }
}

bool VisibleZeltra::supportsAudioLevelAdjustment() const
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

QMap<uint32_t, DisplayMode> VisibleZeltra::getVideoInputDisplayModes() const
{
    return m_inputDisplayModes;
}

QMap<uint32_t, DisplayMode> VisibleZeltra::getVideoOutputDisplayModes() const
{
    return m_outputDisplayModes;
}

std::vector<DisplayMode> VisibleZeltra::getVideoOutputDisplayModesInDisplayOrder() const
{
    if (!m_initialised)
        return {};
    std::vector<DisplayMode> modes(m_outputDisplayModes.cbegin(), m_outputDisplayModes.cend());
    std::stable_sort(modes.begin(), modes.end(), DisplayModesDisplayOrderSort);
    return modes;
}

bool VisibleZeltra::getVideoInputDisplayMode(uint32_t& mode, uint32_t& flags) const
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

bool VisibleZeltra::getVideoOutputDisplayMode(uint32_t& mode, uint32_t& flags) const
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

bool VisibleZeltra::writeToPreferences()
{
    if (!m_initialised)
        return false;
    if (m_configuration->StoreToPreferences() < 0)
        return false;
    emit displayInfoChanged(this);
    return true;
}

void VisibleZeltra::readFromPreferences()
{
    if (!m_initialised)
        return;
    if (!queryConfiguration())
        uninitialise();
}

// ---- Sub-devices ---------------------------------------------------------

void VisibleZeltra::clearSubDevices()
{
    qDeleteAll(m_subDevices);
    m_subDevices.clear();
}

const QVector<VisibleZeltra*>& VisibleZeltra::getSubDevices()
{
    // Each plug-in of a card is a new library device: a sibling unplugged
    // since the list was built answers nothing, and the list is built anew.
    const bool stale = std::any_of(m_subDevices.cbegin(), m_subDevices.cend(), [](const VisibleZeltra* device) {
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
        auto* sibling = new VisibleZeltra(next);
        sibling->onConnected();
        int64_t siblingGroupId = 0;
        if (sibling->isInitialised() && readGroupId(*sibling, siblingGroupId) && siblingGroupId == groupId)
            m_subDevices.append(sibling);
        else
            delete sibling;
    }
    return m_subDevices;
}

VisibleZeltra* VisibleZeltra::findSubDevice(const std::function<bool(VisibleZeltra&)>& matches)
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        for (VisibleZeltra* device : getSubDevices()) {
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

VisibleZeltra* VisibleZeltra::getSubDeviceByIndex(int64_t index)
{
    return findSubDevice([index](VisibleZeltra& device) { return device.getSubDeviceIndex() == index; });
}

VisibleZeltra* VisibleZeltra::getSubDeviceByPersistentId(int64_t id)
{
    return findSubDevice([id](VisibleZeltra& device) { return device.getPersistentId() == id; });
}

VisibleZeltra* VisibleZeltra::getSubDeviceByConnectorId(int id)
{
    return findSubDevice([id](VisibleZeltra& device) {
        int first = 0;
        int last = 0;
        return device.getConnectorIds(first, last) && first <= id && id <= last;
    });
}
