// The typed operations of VisibleZeltra: one per value the settings pages
// show or change, each a thin mapping onto an item code of the card.

#include "visiblezeltra.h"

#include <algorithm>
#include <iterator>

namespace {

// Models whose 1080p PsF switch exists in the library but does nothing.
constexpr int64_t kModelsWithoutPsF[] = { 27, 30, 44, 54, 55, 58, 63, 70, 75 };
// Models whose analog input gain controls are not wired to the converter.
constexpr int64_t kModelsWithoutAnalogInputGain[] = { 57, 68 };

template <size_t N>
bool contains(const int64_t (&models)[N], int64_t model)
{
    return std::find(std::begin(models), std::end(models), model) != std::end(models);
}

// Item of an analog connection, 0 for any other connection.
uint32_t analogItem(uint32_t connection, uint32_t component, uint32_t composite, uint32_t sVideo)
{
    switch (connection) {
    case 8:
        return component;
    case 16:
        return composite;
    case 32:
        return sVideo;
    default:
        return 0;
    }
}

// Output gain item of the first analog connection in the set, checked in the
// order component, composite, S-Video.
uint32_t outputGainItem(uint32_t connections)
{
    if (connections & 8)
        return zeltraCode("oclg");
    if (connections & 16)
        return zeltraCode("oilg");
    if (connections & 32)
        return zeltraCode("oslg");
    return 0;
}

// Output chroma item, checked in the order S-Video, composite, component.
uint32_t outputChromaItem(uint32_t connections)
{
    if (connections & 32)
        return zeltraCode("oscg");
    if (connections & 16)
        return zeltraCode("oicg");
    if (connections & 8)
        return zeltraCode("occb");
    return 0;
}

uint32_t audioScaleItem(const char (&prefix)[4], int channel)
{
    if (channel < 1 || channel > 4)
        return 0;
    const uint32_t base = (uint32_t(uint8_t(prefix[0])) << 24) | (uint32_t(uint8_t(prefix[1])) << 16)
        | (uint32_t(uint8_t(prefix[2])) << 8);
    return base | uint32_t('0' + channel);
}

} // namespace

// ---- Capabilities and connections ----------------------------------------

bool VisibleZeltra::supportsCapture() const
{
    return getAttributeInt(zeltraCode("vios")) & 1;
}

bool VisibleZeltra::supportsPlayback() const
{
    return getAttributeInt(zeltraCode("vios")) & 2;
}

int64_t VisibleZeltra::getDeviceInterface() const
{
    return getAttributeInt(zeltraCode("dbus"));
}

int64_t VisibleZeltra::getVideoInputConnections() const
{
    return getAttributeInt(zeltraCode("vicn"));
}

int64_t VisibleZeltra::getVideoOutputConnections() const
{
    return getAttributeInt(zeltraCode("vocn"));
}

int64_t VisibleZeltra::getVideoInputConnection() const
{
    return getConfigurationInt(zeltraCode("vicn"));
}

void VisibleZeltra::setVideoInputConnection(int64_t connection)
{
    setConfigurationInt(zeltraCode("vicn"), connection);
}

int64_t VisibleZeltra::getVideoOutputConnection() const
{
    return getConfigurationInt(zeltraCode("vocn"));
}

void VisibleZeltra::setVideoOutputConnection(int64_t connection)
{
    setConfigurationInt(zeltraCode("vocn"), connection);
}

bool VisibleZeltra::hasExternalTimeCodeInput() const
{
    return supportsConfigurationFlag(zeltraCode("dltc"));
}

bool VisibleZeltra::getUseLTCTimecode() const
{
    return getConfigurationFlag(zeltraCode("dltc"));
}

void VisibleZeltra::setUseLTCTimecode(bool use)
{
    setConfigurationFlag(zeltraCode("dltc"), use);
}

int64_t VisibleZeltra::getDefaultVideoOutputDisplayMode() const
{
    return getConfigurationInt(zeltraCode("dvom"));
}

void VisibleZeltra::setVideoOutputDisplayMode(int64_t mode)
{
    setConfigurationInt(zeltraCode("dvom"), mode);
}

bool VisibleZeltra::supportsCapturePsF() const
{
    return supportsConfigurationFlag(zeltraCode("cfpr")) && !contains(kModelsWithoutPsF, modelId());
}

bool VisibleZeltra::getCapture1080pAsPsF() const
{
    return getConfigurationFlag(zeltraCode("cfpr"));
}

void VisibleZeltra::setCapture1080pAsPsF(bool psf)
{
    setConfigurationFlag(zeltraCode("cfpr"), psf);
}

bool VisibleZeltra::supportsOutputPsF() const
{
    return supportsConfigurationFlag(zeltraCode("pfpr")) && !contains(kModelsWithoutPsF, modelId());
}

bool VisibleZeltra::getOutput1080pAsPsF() const
{
    return getConfigurationFlag(zeltraCode("pfpr"));
}

void VisibleZeltra::setOutput1080pAsPsF(bool psf)
{
    setConfigurationFlag(zeltraCode("pfpr"), psf);
}

bool VisibleZeltra::supportsPsFAutoSwitching() const
{
    return supportsAttributeFlag(zeltraCode("apsf"));
}

bool VisibleZeltra::supports444SDI() const
{
    return supportsConfigurationFlag(zeltraCode("444o"));
}

bool VisibleZeltra::get444SDIIsEnabled() const
{
    return getConfigurationFlag(zeltraCode("444o"));
}

void VisibleZeltra::set444SDIIsEnabled(bool enabled)
{
    setConfigurationFlag(zeltraCode("444o"), enabled);
}

bool VisibleZeltra::supportsFieldFlickerRemoval() const
{
    return supportsConfigurationFlag(zeltraCode("fdfr"));
}

bool VisibleZeltra::getFieldFlickerRemovalIsEnabled() const
{
    return getConfigurationFlag(zeltraCode("fdfr"));
}

void VisibleZeltra::setFieldFlickerRemovalIsEnabled(bool enabled)
{
    setConfigurationFlag(zeltraCode("fdfr"), enabled);
}

bool VisibleZeltra::supportsDisablingCapturePassthrough() const
{
    return supportsConfigurationInt(zeltraCode("cptm"));
}

bool VisibleZeltra::getCapturePassthroughIsDisabled() const
{
    return getConfigurationInt(zeltraCode("cptm")) == zeltraCode("pdis");
}

void VisibleZeltra::setCapturePassthroughDisabled(bool disabled)
{
    setConfigurationInt(zeltraCode("cptm"), disabled ? zeltraCode("pdis") : zeltraCode("pcln"));
}

bool VisibleZeltra::supportsSDIDualLink() const
{
    return supportsAttributeFlag(zeltraCode("sdls"));
}

bool VisibleZeltra::supportsSDIQuadLink() const
{
    return supportsAttributeFlag(zeltraCode("sqls"));
}

int64_t VisibleZeltra::getSDILinkConfiguration() const
{
    return getConfigurationInt(zeltraCode("solc"));
}

void VisibleZeltra::setSDILinkConfiguration(int64_t configuration)
{
    setConfigurationInt(zeltraCode("solc"), configuration);
}

bool VisibleZeltra::supportsIdleOutput() const
{
    return supportsAttributeFlag(zeltraCode("idou"));
}

int64_t VisibleZeltra::getVideoOutputIdleOperation() const
{
    return getConfigurationInt(zeltraCode("voio"));
}

void VisibleZeltra::setVideoOutputIdleOperation(int64_t operation)
{
    setConfigurationInt(zeltraCode("voio"), operation);
}

bool VisibleZeltra::supportsHDMI3DPackingFormat() const
{
    return supportsConfigurationInt(zeltraCode("3dpf"));
}

int64_t VisibleZeltra::getHDMI3DPackingFormat() const
{
    return getConfigurationInt(zeltraCode("3dpf"));
}

void VisibleZeltra::setHDMI3DPackingFormat(int64_t format)
{
    setConfigurationInt(zeltraCode("3dpf"), format);
}

bool VisibleZeltra::supportsReferenceInput() const
{
    return supportsAttributeFlag(zeltraCode("hrin"));
}

bool VisibleZeltra::supportsFullFrameReferenceInput() const
{
    return supportsAttributeFlag(zeltraCode("frin"));
}

int64_t VisibleZeltra::getReferenceInputSamples() const
{
    return getConfigurationInt(zeltraCode("glot"));
}

void VisibleZeltra::setReferenceInputSamples(int64_t samples)
{
    setConfigurationInt(zeltraCode("glot"), samples);
}

bool VisibleZeltra::isReferenceSignalLocked() const
{
    return getStatusFlag(zeltraCode("refl"));
}

bool VisibleZeltra::getGenlockDisplayMode(uint32_t& mode, uint32_t& flags) const
{
    int modeResult = 0;
    const int64_t referenceMode = getStatusInt(zeltraCode("refm"), modeResult);
    if (modeResult < 0)
        return false;
    mode = uint32_t(referenceMode);
    int flagsResult = 0;
    const int64_t referenceFlags = getStatusInt(zeltraCode("reff"), flagsResult);
    if (flagsResult < 0)
        return false;
    flags = uint32_t(referenceFlags);
    return true;
}

// ---- Analog video input ----------------------------------------------------

bool VisibleZeltra::getAnalogAudioScaleRange(bool input, double& min, double& max) const
{
    double low = 0.0;
    double high = 0.0;
    if (!m_initialised || m_attributes->GetFloat(zeltraCode(input ? "aism" : "aosm"), &low) < 0
        || m_attributes->GetFloat(zeltraCode(input ? "aisx" : "aosx"), &high) < 0 || !(low < high))
        return false;
    min = low;
    max = high;
    return true;
}

void VisibleZeltra::getAnalogVideoInputGainLevelRange(double& min, double& max) const
{
    min = getAttributeFloat(zeltraCode("vigm"));
    max = getAttributeFloat(zeltraCode("vigx"));
}

bool VisibleZeltra::supportsAnalogVideoInputGain(uint32_t connection) const
{
    const uint32_t item = analogItem(connection, zeltraCode("iclg"), zeltraCode("iilg"), zeltraCode("islg"));
    return item != 0 && supportsConfigurationFloat(item) && !contains(kModelsWithoutAnalogInputGain, modelId());
}

double VisibleZeltra::getAnalogVideoInputGainLevel(uint32_t connection) const
{
    const uint32_t item = analogItem(connection, zeltraCode("iclg"), zeltraCode("iilg"), zeltraCode("islg"));
    return item ? getConfigurationFloat(item) : 0.0;
}

void VisibleZeltra::setAnalogVideoInputGainLevel(uint32_t connection, double level)
{
    if (const uint32_t item = analogItem(connection, zeltraCode("iclg"), zeltraCode("iilg"), zeltraCode("islg")))
        setConfigurationFloat(item, level);
}

double VisibleZeltra::getAnalogVideoInputChromaGainLevel(uint32_t connection) const
{
    const uint32_t item = analogItem(connection, zeltraCode("iccb"), zeltraCode("iicg"), zeltraCode("iscg"));
    return item ? getConfigurationFloat(item) : 0.0;
}

void VisibleZeltra::setAnalogVideoInputChromaGainLevel(uint32_t connection, double level)
{
    // Component chroma is two colour-difference levels moved together.
    if (connection == 8) {
        setConfigurationFloat(zeltraCode("iccb"), level);
        setConfigurationFloat(zeltraCode("iccr"), level);
    } else if (const uint32_t item = analogItem(connection, 0, zeltraCode("iicg"), zeltraCode("iscg"))) {
        setConfigurationFloat(item, level);
    }
}

double VisibleZeltra::getAnalogVideoInputCbLevel(uint32_t) const
{
    return getConfigurationFloat(zeltraCode("iccb"));
}

void VisibleZeltra::setAnalogVideoInputCbLevel(uint32_t, double level)
{
    setConfigurationFloat(zeltraCode("iccb"), level);
}

double VisibleZeltra::getAnalogVideoInputCrLevel(uint32_t) const
{
    return getConfigurationFloat(zeltraCode("iccr"));
}

void VisibleZeltra::setAnalogVideoInputCrLevel(uint32_t, double level)
{
    setConfigurationFloat(zeltraCode("iccr"), level);
}

int64_t VisibleZeltra::getAnalogVideoInputFlags() const
{
    return getConfigurationInt(zeltraCode("avif"));
}

void VisibleZeltra::setAnalogVideoInputFlags(int64_t flags)
{
    setConfigurationInt(zeltraCode("avif"), flags);
}

// ---- Analog video output ---------------------------------------------------

void VisibleZeltra::getAnalogVideoOutputGainLevelRange(double& min, double& max) const
{
    min = getAttributeFloat(zeltraCode("vogm"));
    max = getAttributeFloat(zeltraCode("vogx"));
}

bool VisibleZeltra::supportsAnalogVideoOutputGain() const
{
    return supportsAttributeFlag(zeltraCode("avog"));
}

bool VisibleZeltra::canOnlyAdjustOverallVideoOutputGain() const
{
    return supportsAttributeFlag(zeltraCode("ovog"));
}

bool VisibleZeltra::supportsAnalogVideoOutputGain(uint32_t connections) const
{
    const uint32_t item = outputGainItem(connections);
    return item != 0 && supportsConfigurationFloat(item);
}

double VisibleZeltra::getAnalogVideoOutputGainLevel(uint32_t connections) const
{
    const uint32_t item = outputGainItem(connections);
    return item ? getConfigurationFloat(item) : 0.0;
}

void VisibleZeltra::setAnalogVideoOutputGainLevel(uint32_t connections, double level)
{
    if (const uint32_t item = outputGainItem(connections))
        setConfigurationFloat(item, level);
}

double VisibleZeltra::getAnalogVideoOutputChromaGainLevel(uint32_t connections) const
{
    const uint32_t item = outputChromaItem(connections);
    return item ? getConfigurationFloat(item) : 0.0;
}

void VisibleZeltra::setAnalogVideoOutputChromaGainLevel(uint32_t connections, double level)
{
    const uint32_t item = outputChromaItem(connections);
    if (item == zeltraCode("occb")) {
        setConfigurationFloat(zeltraCode("occb"), level);
        setConfigurationFloat(zeltraCode("occr"), level);
    } else if (item) {
        setConfigurationFloat(item, level);
    }
}

double VisibleZeltra::getAnalogVideoOutputCbLevel(uint32_t) const
{
    return getConfigurationFloat(zeltraCode("occb"));
}

void VisibleZeltra::setAnalogVideoOutputCbLevel(uint32_t, double level)
{
    setConfigurationFloat(zeltraCode("occb"), level);
}

double VisibleZeltra::getAnalogVideoOutputCrLevel(uint32_t) const
{
    return getConfigurationFloat(zeltraCode("occr"));
}

void VisibleZeltra::setAnalogVideoOutputCrLevel(uint32_t, double level)
{
    setConfigurationFloat(zeltraCode("occr"), level);
}

int64_t VisibleZeltra::getAnalogVideoOutputFlags() const
{
    return getConfigurationInt(zeltraCode("avof"));
}

void VisibleZeltra::setAnalogVideoOutputFlags(int64_t flags)
{
    setConfigurationInt(zeltraCode("avof"), flags);
}

bool VisibleZeltra::getLastVideoOutputPixelFormat(uint32_t& format) const
{
    int result = 0;
    const int64_t value = getStatusInt(zeltraCode("opix"), result);
    if (result < 0)
        return false;
    format = uint32_t(value);
    return true;
}

bool VisibleZeltra::getVideoInputPixelFormat(uint32_t& format) const
{
    int result = 0;
    const int64_t value = getStatusInt(zeltraCode("cvip"), result);
    if (result < 0)
        return false;
    format = uint32_t(value);
    return true;
}

bool VisibleZeltra::getPCIExpressLinkSpeed(int64_t& speed) const
{
    int result = 0;
    const int64_t value = getStatusInt(zeltraCode("plnk"), result);
    if (result < 0)
        return false;
    speed = value;
    return true;
}

bool VisibleZeltra::getPCIExpressLinkWidth(int64_t& width) const
{
    int result = 0;
    const int64_t value = getStatusInt(zeltraCode("pwid"), result);
    if (result < 0)
        return false;
    width = value;
    return true;
}

// ---- Audio -----------------------------------------------------------------

int64_t VisibleZeltra::getAudioInputConnections() const
{
    return getAttributeInt(zeltraCode("aicn"));
}

int64_t VisibleZeltra::getAudioOutputConnections() const
{
    return getAttributeInt(zeltraCode("aocn"));
}

int64_t VisibleZeltra::getAudioInputConnection() const
{
    return getConfigurationInt(zeltraCode("aicn"));
}

void VisibleZeltra::setAudioInputConnection(int64_t connection)
{
    setConfigurationInt(zeltraCode("aicn"), connection);
}

int64_t VisibleZeltra::getMaxAnalogAudioInputChannels() const
{
    // XLR and RCA inputs have channel counts of their own.
    switch (getAudioInputConnection()) {
    case 8:
        return getAttributeInt(zeltraCode("aixc"));
    case 16:
        return getAttributeInt(zeltraCode("airc"));
    default:
        return getAttributeInt(zeltraCode("iach"));
    }
}

int64_t VisibleZeltra::getMaxAnalogAudioOutputChannels() const
{
    return getAttributeInt(zeltraCode("aach"));
}

bool VisibleZeltra::supportsAnalogAudioConsumerLevels() const
{
    return supportsConfigurationFlag(zeltraCode("aacl"));
}

bool VisibleZeltra::getUseAnalogAudioConsumerLevels() const
{
    return getConfigurationFlag(zeltraCode("aacl"));
}

void VisibleZeltra::setUseAnalogAudioConsumerLevels(bool use)
{
    setConfigurationFlag(zeltraCode("aacl"), use);
}

bool VisibleZeltra::supportsDigitalInputScale() const
{
    return supportsConfigurationFloat(zeltraCode("dais"));
}

double VisibleZeltra::getDigitalInputScale() const
{
    return getConfigurationFloat(zeltraCode("dais"));
}

void VisibleZeltra::setDigitalInputScale(double scale)
{
    setConfigurationFloat(zeltraCode("dais"), scale);
}

bool VisibleZeltra::supportsDigitalOutputScale() const
{
    return supportsConfigurationFloat(zeltraCode("daos"));
}

double VisibleZeltra::getDigitalOutputScale() const
{
    return getConfigurationFloat(zeltraCode("daos"));
}

void VisibleZeltra::setDigitalOutputScale(double scale)
{
    setConfigurationFloat(zeltraCode("daos"), scale);
}

bool VisibleZeltra::supportsSwitchableAnalogAudioOutputs() const
{
    return supportsConfigurationInt(zeltraCode("aoaa"));
}

int64_t VisibleZeltra::getAnalogAudioOutputSwitch() const
{
    return getConfigurationInt(zeltraCode("aoaa"));
}

void VisibleZeltra::setAnalogAudioOutputSwitch(int64_t outputs)
{
    setConfigurationInt(zeltraCode("aoaa"), outputs);
}

bool VisibleZeltra::supportsAnalogAudioInputScaleChannel(int channel) const
{
    const uint32_t item = audioScaleItem("ais", channel);
    return item != 0 && supportsConfigurationFloat(item);
}

double VisibleZeltra::getAnalogAudioInputScaleChannel(int channel) const
{
    const uint32_t item = audioScaleItem("ais", channel);
    return item ? getConfigurationFloat(item) : 0.0;
}

void VisibleZeltra::setAnalogAudioInputScaleChannel(int channel, double scale)
{
    if (const uint32_t item = audioScaleItem("ais", channel))
        setConfigurationFloat(item, scale);
}

bool VisibleZeltra::supportsAnalogAudioOutputScaleChannel(int channel) const
{
    const uint32_t item = audioScaleItem("aos", channel);
    return item != 0 && supportsConfigurationFloat(item);
}

double VisibleZeltra::getAnalogAudioOutputScaleChannel(int channel) const
{
    const uint32_t item = audioScaleItem("aos", channel);
    return item ? getConfigurationFloat(item) : 0.0;
}

void VisibleZeltra::setAnalogAudioOutputScaleChannel(int channel, double scale)
{
    if (const uint32_t item = audioScaleItem("aos", channel))
        setConfigurationFloat(item, scale);
}

bool VisibleZeltra::supportsMicrophonePhantomPower() const
{
    return supportsConfigurationFlag(zeltraCode("mphp"));
}

bool VisibleZeltra::getMicrophonePhantomPower() const
{
    return getConfigurationFlag(zeltraCode("mphp"));
}

void VisibleZeltra::setMicrophonePhantomPower(bool on)
{
    setConfigurationFlag(zeltraCode("mphp"), on);
}

bool VisibleZeltra::supportsMicrophoneGainControl() const
{
    return supportsConfigurationFloat(zeltraCode("micg"));
}

double VisibleZeltra::getMicrophoneInputGain() const
{
    return getConfigurationFloat(zeltraCode("micg"));
}

void VisibleZeltra::setMicrophoneInputGain(double gain)
{
    setConfigurationFloat(zeltraCode("micg"), gain);
}

bool VisibleZeltra::supportsHeadphoneGainControl() const
{
    return supportsConfigurationFloat(zeltraCode("hvol"));
}

double VisibleZeltra::getHeadphoneInputGain() const
{
    return getConfigurationFloat(zeltraCode("hvol"));
}

void VisibleZeltra::setHeadphoneInputGain(double gain)
{
    setConfigurationFloat(zeltraCode("hvol"), gain);
}

// ---- Conversions -----------------------------------------------------------

int64_t VisibleZeltra::getInputConversionMode() const
{
    return getConfigurationInt(zeltraCode("vicm"));
}

void VisibleZeltra::setInputConversionMode(int64_t mode)
{
    setConfigurationInt(zeltraCode("vicm"), mode);
}

bool VisibleZeltra::supportsVideoInputConversion() const
{
    return supportsConfigurationInt(zeltraCode("vicm"));
}

int64_t VisibleZeltra::getOutputConversionMode() const
{
    return getConfigurationInt(zeltraCode("vocm"));
}

void VisibleZeltra::setOutputConversionMode(int64_t mode)
{
    setConfigurationInt(zeltraCode("vocm"), mode);
}

bool VisibleZeltra::supportsOutputConversionMode(uint32_t) const
{
    return supportsAttributeInt(zeltraCode("socn"));
}

bool VisibleZeltra::hasDedicatedDownconvertedOutput() const
{
    return !supportsAttributeInt(zeltraCode("socn"));
}

bool VisibleZeltra::supportsDownConversionOnAllAnalogOutputs() const
{
    return supportsConfigurationFlag(zeltraCode("caao"));
}

bool VisibleZeltra::getDownConversionOnAllAnalogOutputs() const
{
    return getConfigurationFlag(zeltraCode("caao"));
}

void VisibleZeltra::setDownConversionOnAllAnalogOutputs(bool on)
{
    setConfigurationFlag(zeltraCode("caao"), on);
}

bool VisibleZeltra::supportsSMPTELevelAOutput() const
{
    return supportsAttributeFlag(zeltraCode("lvla"));
}

bool VisibleZeltra::getSMPTELevelAOutput() const
{
    return getConfigurationFlag(zeltraCode("smta"));
}

void VisibleZeltra::setSMPTELevelAOutput(bool on)
{
    setConfigurationFlag(zeltraCode("smta"), on);
}

// ---- Connectors and deck control -------------------------------------------

bool VisibleZeltra::supportsDeckControlConnections() const
{
    return supportsAttributeInt(zeltraCode("dccn"));
}

int64_t VisibleZeltra::getDeckControlConnections() const
{
    return getAttributeInt(zeltraCode("dccn"));
}

int64_t VisibleZeltra::getDeckControlConnection() const
{
    return getConfigurationInt(zeltraCode("dcco"));
}

void VisibleZeltra::setDeckControlConnection(int64_t connection)
{
    setConfigurationInt(zeltraCode("dcco"), connection);
}

bool VisibleZeltra::supportsDuplexModeConfiguration() const
{
    return supportsAttributeFlag(zeltraCode("dupx"));
}

int64_t VisibleZeltra::getDuplexMode() const
{
    return getConfigurationInt(zeltraCode("dupx"));
}

void VisibleZeltra::setDuplexMode(uint32_t mode)
{
    setConfigurationInt(zeltraCode("dupx"), mode);
}

int64_t VisibleZeltra::getDuplexStatus() const
{
    return getStatusInt(zeltraCode("dupx"));
}

bool VisibleZeltra::getReceivedEDID(QByteArray& edid) const
{
    return getStatusBytes(zeltraCode("edid"), edid);
}

// ---- Identity of the hardware ----------------------------------------------

bool VisibleZeltra::supportsPersistentID() const
{
    return supportsAttributeInt(zeltraCode("peid"));
}

int64_t VisibleZeltra::getPersistentId() const
{
    return getAttributeInt(zeltraCode("peid"));
}

bool VisibleZeltra::supportsTopologicalID() const
{
    return supportsAttributeInt(zeltraCode("toid"));
}

int64_t VisibleZeltra::getTopologicalID() const
{
    return getAttributeInt(zeltraCode("toid"));
}

int64_t VisibleZeltra::getPairedDevicePersistentId() const
{
    return getAttributeInt(zeltraCode("ppid"));
}

int64_t VisibleZeltra::getSubDeviceIndex() const
{
    return getAttributeInt(zeltraCode("subi"));
}

bool VisibleZeltra::getConnectorIds(int& first, int& last) const
{
    int64_t index = 0;
    if (!supportsAttributeInt(zeltraCode("subi"), index))
        return false;
    first = int(index);
    // A sub-device that configures duplex owns the pair's two connectors
    // (its own and the next), both in use in full duplex.
    last = supportsDuplexModeConfiguration() ? first + 1 : first;
    return true;
}

int64_t VisibleZeltra::getSubDeviceCount() const
{
    return getAttributeInt(zeltraCode("nsbd"));
}

int64_t VisibleZeltra::getConnectorCount() const
{
    return getAttributeInt(zeltraCode("nsbd"));
}

bool VisibleZeltra::getDeviceGroupId(int64_t* value) const
{
    int64_t id = 0;
    if (!supportsAttributeInt(zeltraCode("dgid"), id))
        return false;
    if (value)
        *value = id;
    return true;
}

bool VisibleZeltra::getParentPCIBridgeBusNumber(int64_t* value) const
{
    int64_t bus = 0;
    if (!supportsAttributeInt(zeltraCode("ppbn"), bus))
        return false;
    if (value)
        *value = bus;
    return true;
}

void VisibleZeltra::getFirmwareVersion(int64_t& a, int64_t& b) const
{
    a = getAttributeInt(zeltraCode("fwiv"));
    b = getAttributeInt(zeltraCode("fwmv"));
}

// ---- The user's notes ------------------------------------------------------

QString VisibleZeltra::getInformationLabel() const
{
    return getConfigurationString(zeltraCode("dila"));
}

void VisibleZeltra::setInformationLabel(const QString& text)
{
    setConfigurationString(zeltraCode("dila"), text);
}

QString VisibleZeltra::getInformationSerialNumber() const
{
    return getConfigurationString(zeltraCode("disn"));
}

void VisibleZeltra::setInformationSerialNumber(const QString& text)
{
    setConfigurationString(zeltraCode("disn"), text);
}

QString VisibleZeltra::getInformationCompany() const
{
    return getConfigurationString(zeltraCode("dico"));
}

void VisibleZeltra::setInformationCompany(const QString& text)
{
    setConfigurationString(zeltraCode("dico"), text);
}

QString VisibleZeltra::getInformationPhone() const
{
    return getConfigurationString(zeltraCode("diph"));
}

void VisibleZeltra::setInformationPhone(const QString& text)
{
    setConfigurationString(zeltraCode("diph"), text);
}

QString VisibleZeltra::getInformationEMail() const
{
    return getConfigurationString(zeltraCode("diem"));
}

void VisibleZeltra::setInformationEMail(const QString& text)
{
    setConfigurationString(zeltraCode("diem"), text);
}

QString VisibleZeltra::getInformationDate() const
{
    return getConfigurationString(zeltraCode("dida"));
}

void VisibleZeltra::setInformationDate(const QString& text)
{
    setConfigurationString(zeltraCode("dida"), text);
}
