// The typed operations of ZeltraCard: one per value the settings pages
// show or change, each a thin mapping onto an item code of the card.

#include "zeltracard.h"

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

bool ZeltraCard::supportsCapture() const
{
    return getAttributeInt(zeltraCode("vios")) & 1;
}

bool ZeltraCard::supportsPlayback() const
{
    return getAttributeInt(zeltraCode("vios")) & 2;
}

int64_t ZeltraCard::getDeviceInterface() const
{
    return getAttributeInt(zeltraCode("dbus"));
}

int64_t ZeltraCard::getVideoInputConnections() const
{
    return getAttributeInt(zeltraCode("vicn"));
}

int64_t ZeltraCard::getVideoOutputConnections() const
{
    return getAttributeInt(zeltraCode("vocn"));
}

int64_t ZeltraCard::getVideoInputConnection() const
{
    return getConfigurationInt(zeltraCode("vicn"));
}

void ZeltraCard::setVideoInputConnection(int64_t connection)
{
    setConfigurationInt(zeltraCode("vicn"), connection);
}

int64_t ZeltraCard::getVideoOutputConnection() const
{
    return getConfigurationInt(zeltraCode("vocn"));
}

void ZeltraCard::setVideoOutputConnection(int64_t connection)
{
    setConfigurationInt(zeltraCode("vocn"), connection);
}

bool ZeltraCard::hasExternalTimeCodeInput() const
{
    return supportsConfigurationFlag(zeltraCode("dltc"));
}

bool ZeltraCard::getUseLTCTimecode() const
{
    return getConfigurationFlag(zeltraCode("dltc"));
}

void ZeltraCard::setUseLTCTimecode(bool use)
{
    setConfigurationFlag(zeltraCode("dltc"), use);
}

int64_t ZeltraCard::getDefaultVideoOutputDisplayMode() const
{
    return getConfigurationInt(zeltraCode("dvom"));
}

void ZeltraCard::setVideoOutputDisplayMode(int64_t mode)
{
    setConfigurationInt(zeltraCode("dvom"), mode);
}

bool ZeltraCard::supportsCapturePsF() const
{
    return supportsConfigurationFlag(zeltraCode("cfpr")) && !contains(kModelsWithoutPsF, modelId());
}

bool ZeltraCard::getCapture1080pAsPsF() const
{
    return getConfigurationFlag(zeltraCode("cfpr"));
}

void ZeltraCard::setCapture1080pAsPsF(bool psf)
{
    setConfigurationFlag(zeltraCode("cfpr"), psf);
}

bool ZeltraCard::supportsOutputPsF() const
{
    return supportsConfigurationFlag(zeltraCode("pfpr")) && !contains(kModelsWithoutPsF, modelId());
}

bool ZeltraCard::getOutput1080pAsPsF() const
{
    return getConfigurationFlag(zeltraCode("pfpr"));
}

void ZeltraCard::setOutput1080pAsPsF(bool psf)
{
    setConfigurationFlag(zeltraCode("pfpr"), psf);
}

bool ZeltraCard::supportsPsFAutoSwitching() const
{
    return supportsAttributeFlag(zeltraCode("apsf"));
}

bool ZeltraCard::supports444SDI() const
{
    return supportsConfigurationFlag(zeltraCode("444o"));
}

bool ZeltraCard::get444SDIIsEnabled() const
{
    return getConfigurationFlag(zeltraCode("444o"));
}

void ZeltraCard::set444SDIIsEnabled(bool enabled)
{
    setConfigurationFlag(zeltraCode("444o"), enabled);
}

bool ZeltraCard::supportsFieldFlickerRemoval() const
{
    return supportsConfigurationFlag(zeltraCode("fdfr"));
}

bool ZeltraCard::getFieldFlickerRemovalIsEnabled() const
{
    return getConfigurationFlag(zeltraCode("fdfr"));
}

void ZeltraCard::setFieldFlickerRemovalIsEnabled(bool enabled)
{
    setConfigurationFlag(zeltraCode("fdfr"), enabled);
}

bool ZeltraCard::supportsDisablingCapturePassthrough() const
{
    return supportsConfigurationInt(zeltraCode("cptm"));
}

bool ZeltraCard::getCapturePassthroughIsDisabled() const
{
    return getConfigurationInt(zeltraCode("cptm")) == zeltraCode("pdis");
}

void ZeltraCard::setCapturePassthroughDisabled(bool disabled)
{
    setConfigurationInt(zeltraCode("cptm"), disabled ? zeltraCode("pdis") : zeltraCode("pcln"));
}

bool ZeltraCard::supportsSDIDualLink() const
{
    return supportsAttributeFlag(zeltraCode("sdls"));
}

bool ZeltraCard::supportsSDIQuadLink() const
{
    return supportsAttributeFlag(zeltraCode("sqls"));
}

int64_t ZeltraCard::getSDILinkConfiguration() const
{
    return getConfigurationInt(zeltraCode("solc"));
}

void ZeltraCard::setSDILinkConfiguration(int64_t configuration)
{
    setConfigurationInt(zeltraCode("solc"), configuration);
}

bool ZeltraCard::supportsIdleOutput() const
{
    return supportsAttributeFlag(zeltraCode("idou"));
}

int64_t ZeltraCard::getVideoOutputIdleOperation() const
{
    return getConfigurationInt(zeltraCode("voio"));
}

void ZeltraCard::setVideoOutputIdleOperation(int64_t operation)
{
    setConfigurationInt(zeltraCode("voio"), operation);
}

bool ZeltraCard::supportsHDMI3DPackingFormat() const
{
    return supportsConfigurationInt(zeltraCode("3dpf"));
}

int64_t ZeltraCard::getHDMI3DPackingFormat() const
{
    return getConfigurationInt(zeltraCode("3dpf"));
}

void ZeltraCard::setHDMI3DPackingFormat(int64_t format)
{
    setConfigurationInt(zeltraCode("3dpf"), format);
}

bool ZeltraCard::supportsReferenceInput() const
{
    return supportsAttributeFlag(zeltraCode("hrin"));
}

bool ZeltraCard::supportsFullFrameReferenceInput() const
{
    return supportsAttributeFlag(zeltraCode("frin"));
}

int64_t ZeltraCard::getReferenceInputSamples() const
{
    return getConfigurationInt(zeltraCode("glot"));
}

void ZeltraCard::setReferenceInputSamples(int64_t samples)
{
    setConfigurationInt(zeltraCode("glot"), samples);
}

bool ZeltraCard::isReferenceSignalLocked() const
{
    return getStatusFlag(zeltraCode("refl"));
}

bool ZeltraCard::getGenlockDisplayMode(uint32_t& mode, uint32_t& flags) const
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

bool ZeltraCard::getAnalogAudioScaleRange(bool input, double& min, double& max) const
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

void ZeltraCard::getAnalogVideoInputGainLevelRange(double& min, double& max) const
{
    min = getAttributeFloat(zeltraCode("vigm"));
    max = getAttributeFloat(zeltraCode("vigx"));
}

bool ZeltraCard::supportsAnalogVideoInputGain(uint32_t connection) const
{
    const uint32_t item = analogItem(connection, zeltraCode("iclg"), zeltraCode("iilg"), zeltraCode("islg"));
    return item != 0 && supportsConfigurationFloat(item) && !contains(kModelsWithoutAnalogInputGain, modelId());
}

double ZeltraCard::getAnalogVideoInputGainLevel(uint32_t connection) const
{
    const uint32_t item = analogItem(connection, zeltraCode("iclg"), zeltraCode("iilg"), zeltraCode("islg"));
    return item ? getConfigurationFloat(item) : 0.0;
}

void ZeltraCard::setAnalogVideoInputGainLevel(uint32_t connection, double level)
{
    if (const uint32_t item = analogItem(connection, zeltraCode("iclg"), zeltraCode("iilg"), zeltraCode("islg")))
        setConfigurationFloat(item, level);
}

double ZeltraCard::getAnalogVideoInputChromaGainLevel(uint32_t connection) const
{
    const uint32_t item = analogItem(connection, zeltraCode("iccb"), zeltraCode("iicg"), zeltraCode("iscg"));
    return item ? getConfigurationFloat(item) : 0.0;
}

void ZeltraCard::setAnalogVideoInputChromaGainLevel(uint32_t connection, double level)
{
    // Component chroma is two colour-difference levels moved together.
    if (connection == 8) {
        setConfigurationFloat(zeltraCode("iccb"), level);
        setConfigurationFloat(zeltraCode("iccr"), level);
    } else if (const uint32_t item = analogItem(connection, 0, zeltraCode("iicg"), zeltraCode("iscg"))) {
        setConfigurationFloat(item, level);
    }
}

double ZeltraCard::getAnalogVideoInputCbLevel(uint32_t) const
{
    return getConfigurationFloat(zeltraCode("iccb"));
}

void ZeltraCard::setAnalogVideoInputCbLevel(uint32_t, double level)
{
    setConfigurationFloat(zeltraCode("iccb"), level);
}

double ZeltraCard::getAnalogVideoInputCrLevel(uint32_t) const
{
    return getConfigurationFloat(zeltraCode("iccr"));
}

void ZeltraCard::setAnalogVideoInputCrLevel(uint32_t, double level)
{
    setConfigurationFloat(zeltraCode("iccr"), level);
}

int64_t ZeltraCard::getAnalogVideoInputFlags() const
{
    return getConfigurationInt(zeltraCode("avif"));
}

void ZeltraCard::setAnalogVideoInputFlags(int64_t flags)
{
    setConfigurationInt(zeltraCode("avif"), flags);
}

// ---- Analog video output ---------------------------------------------------

void ZeltraCard::getAnalogVideoOutputGainLevelRange(double& min, double& max) const
{
    min = getAttributeFloat(zeltraCode("vogm"));
    max = getAttributeFloat(zeltraCode("vogx"));
}

bool ZeltraCard::supportsAnalogVideoOutputGain() const
{
    return supportsAttributeFlag(zeltraCode("avog"));
}

bool ZeltraCard::canOnlyAdjustOverallVideoOutputGain() const
{
    return supportsAttributeFlag(zeltraCode("ovog"));
}

bool ZeltraCard::supportsAnalogVideoOutputGain(uint32_t connections) const
{
    const uint32_t item = outputGainItem(connections);
    return item != 0 && supportsConfigurationFloat(item);
}

double ZeltraCard::getAnalogVideoOutputGainLevel(uint32_t connections) const
{
    const uint32_t item = outputGainItem(connections);
    return item ? getConfigurationFloat(item) : 0.0;
}

void ZeltraCard::setAnalogVideoOutputGainLevel(uint32_t connections, double level)
{
    if (const uint32_t item = outputGainItem(connections))
        setConfigurationFloat(item, level);
}

double ZeltraCard::getAnalogVideoOutputChromaGainLevel(uint32_t connections) const
{
    const uint32_t item = outputChromaItem(connections);
    return item ? getConfigurationFloat(item) : 0.0;
}

void ZeltraCard::setAnalogVideoOutputChromaGainLevel(uint32_t connections, double level)
{
    const uint32_t item = outputChromaItem(connections);
    if (item == zeltraCode("occb")) {
        setConfigurationFloat(zeltraCode("occb"), level);
        setConfigurationFloat(zeltraCode("occr"), level);
    } else if (item) {
        setConfigurationFloat(item, level);
    }
}

double ZeltraCard::getAnalogVideoOutputCbLevel(uint32_t) const
{
    return getConfigurationFloat(zeltraCode("occb"));
}

void ZeltraCard::setAnalogVideoOutputCbLevel(uint32_t, double level)
{
    setConfigurationFloat(zeltraCode("occb"), level);
}

double ZeltraCard::getAnalogVideoOutputCrLevel(uint32_t) const
{
    return getConfigurationFloat(zeltraCode("occr"));
}

void ZeltraCard::setAnalogVideoOutputCrLevel(uint32_t, double level)
{
    setConfigurationFloat(zeltraCode("occr"), level);
}

int64_t ZeltraCard::getAnalogVideoOutputFlags() const
{
    return getConfigurationInt(zeltraCode("avof"));
}

void ZeltraCard::setAnalogVideoOutputFlags(int64_t flags)
{
    setConfigurationInt(zeltraCode("avof"), flags);
}

bool ZeltraCard::getLastVideoOutputPixelFormat(uint32_t& format) const
{
    int result = 0;
    const int64_t value = getStatusInt(zeltraCode("opix"), result);
    if (result < 0)
        return false;
    format = uint32_t(value);
    return true;
}

bool ZeltraCard::getVideoInputPixelFormat(uint32_t& format) const
{
    int result = 0;
    const int64_t value = getStatusInt(zeltraCode("cvip"), result);
    if (result < 0)
        return false;
    format = uint32_t(value);
    return true;
}

bool ZeltraCard::getPCIExpressLinkSpeed(int64_t& speed) const
{
    int result = 0;
    const int64_t value = getStatusInt(zeltraCode("plnk"), result);
    if (result < 0)
        return false;
    speed = value;
    return true;
}

bool ZeltraCard::getPCIExpressLinkWidth(int64_t& width) const
{
    int result = 0;
    const int64_t value = getStatusInt(zeltraCode("pwid"), result);
    if (result < 0)
        return false;
    width = value;
    return true;
}

// ---- Audio -----------------------------------------------------------------

int64_t ZeltraCard::getAudioInputConnections() const
{
    return getAttributeInt(zeltraCode("aicn"));
}

int64_t ZeltraCard::getAudioOutputConnections() const
{
    return getAttributeInt(zeltraCode("aocn"));
}

int64_t ZeltraCard::getAudioInputConnection() const
{
    return getConfigurationInt(zeltraCode("aicn"));
}

void ZeltraCard::setAudioInputConnection(int64_t connection)
{
    setConfigurationInt(zeltraCode("aicn"), connection);
}

int64_t ZeltraCard::getMaxAnalogAudioInputChannels() const
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

int64_t ZeltraCard::getMaxAnalogAudioOutputChannels() const
{
    return getAttributeInt(zeltraCode("aach"));
}

bool ZeltraCard::supportsAnalogAudioConsumerLevels() const
{
    return supportsConfigurationFlag(zeltraCode("aacl"));
}

bool ZeltraCard::getUseAnalogAudioConsumerLevels() const
{
    return getConfigurationFlag(zeltraCode("aacl"));
}

void ZeltraCard::setUseAnalogAudioConsumerLevels(bool use)
{
    setConfigurationFlag(zeltraCode("aacl"), use);
}

bool ZeltraCard::supportsDigitalInputScale() const
{
    return supportsConfigurationFloat(zeltraCode("dais"));
}

double ZeltraCard::getDigitalInputScale() const
{
    return getConfigurationFloat(zeltraCode("dais"));
}

void ZeltraCard::setDigitalInputScale(double scale)
{
    setConfigurationFloat(zeltraCode("dais"), scale);
}

bool ZeltraCard::supportsDigitalOutputScale() const
{
    return supportsConfigurationFloat(zeltraCode("daos"));
}

double ZeltraCard::getDigitalOutputScale() const
{
    return getConfigurationFloat(zeltraCode("daos"));
}

void ZeltraCard::setDigitalOutputScale(double scale)
{
    setConfigurationFloat(zeltraCode("daos"), scale);
}

bool ZeltraCard::supportsSwitchableAnalogAudioOutputs() const
{
    return supportsConfigurationInt(zeltraCode("aoaa"));
}

int64_t ZeltraCard::getAnalogAudioOutputSwitch() const
{
    return getConfigurationInt(zeltraCode("aoaa"));
}

void ZeltraCard::setAnalogAudioOutputSwitch(int64_t outputs)
{
    setConfigurationInt(zeltraCode("aoaa"), outputs);
}

bool ZeltraCard::supportsAnalogAudioInputScaleChannel(int channel) const
{
    const uint32_t item = audioScaleItem("ais", channel);
    return item != 0 && supportsConfigurationFloat(item);
}

double ZeltraCard::getAnalogAudioInputScaleChannel(int channel) const
{
    const uint32_t item = audioScaleItem("ais", channel);
    return item ? getConfigurationFloat(item) : 0.0;
}

void ZeltraCard::setAnalogAudioInputScaleChannel(int channel, double scale)
{
    if (const uint32_t item = audioScaleItem("ais", channel))
        setConfigurationFloat(item, scale);
}

bool ZeltraCard::supportsAnalogAudioOutputScaleChannel(int channel) const
{
    const uint32_t item = audioScaleItem("aos", channel);
    return item != 0 && supportsConfigurationFloat(item);
}

double ZeltraCard::getAnalogAudioOutputScaleChannel(int channel) const
{
    const uint32_t item = audioScaleItem("aos", channel);
    return item ? getConfigurationFloat(item) : 0.0;
}

void ZeltraCard::setAnalogAudioOutputScaleChannel(int channel, double scale)
{
    if (const uint32_t item = audioScaleItem("aos", channel))
        setConfigurationFloat(item, scale);
}

bool ZeltraCard::supportsMicrophonePhantomPower() const
{
    return supportsConfigurationFlag(zeltraCode("mphp"));
}

bool ZeltraCard::getMicrophonePhantomPower() const
{
    return getConfigurationFlag(zeltraCode("mphp"));
}

void ZeltraCard::setMicrophonePhantomPower(bool on)
{
    setConfigurationFlag(zeltraCode("mphp"), on);
}

bool ZeltraCard::supportsMicrophoneGainControl() const
{
    return supportsConfigurationFloat(zeltraCode("micg"));
}

double ZeltraCard::getMicrophoneInputGain() const
{
    return getConfigurationFloat(zeltraCode("micg"));
}

void ZeltraCard::setMicrophoneInputGain(double gain)
{
    setConfigurationFloat(zeltraCode("micg"), gain);
}

bool ZeltraCard::supportsHeadphoneGainControl() const
{
    return supportsConfigurationFloat(zeltraCode("hvol"));
}

double ZeltraCard::getHeadphoneInputGain() const
{
    return getConfigurationFloat(zeltraCode("hvol"));
}

void ZeltraCard::setHeadphoneInputGain(double gain)
{
    setConfigurationFloat(zeltraCode("hvol"), gain);
}

// ---- Conversions -----------------------------------------------------------

int64_t ZeltraCard::getInputConversionMode() const
{
    return getConfigurationInt(zeltraCode("vicm"));
}

void ZeltraCard::setInputConversionMode(int64_t mode)
{
    setConfigurationInt(zeltraCode("vicm"), mode);
}

bool ZeltraCard::supportsVideoInputConversion() const
{
    return supportsConfigurationInt(zeltraCode("vicm"));
}

int64_t ZeltraCard::getOutputConversionMode() const
{
    return getConfigurationInt(zeltraCode("vocm"));
}

void ZeltraCard::setOutputConversionMode(int64_t mode)
{
    setConfigurationInt(zeltraCode("vocm"), mode);
}

bool ZeltraCard::supportsOutputConversionMode(uint32_t) const
{
    return supportsAttributeInt(zeltraCode("socn"));
}

bool ZeltraCard::hasDedicatedDownconvertedOutput() const
{
    return !supportsAttributeInt(zeltraCode("socn"));
}

bool ZeltraCard::supportsDownConversionOnAllAnalogOutputs() const
{
    return supportsConfigurationFlag(zeltraCode("caao"));
}

bool ZeltraCard::getDownConversionOnAllAnalogOutputs() const
{
    return getConfigurationFlag(zeltraCode("caao"));
}

void ZeltraCard::setDownConversionOnAllAnalogOutputs(bool on)
{
    setConfigurationFlag(zeltraCode("caao"), on);
}

bool ZeltraCard::supportsSMPTELevelAOutput() const
{
    return supportsAttributeFlag(zeltraCode("lvla"));
}

bool ZeltraCard::getSMPTELevelAOutput() const
{
    return getConfigurationFlag(zeltraCode("smta"));
}

void ZeltraCard::setSMPTELevelAOutput(bool on)
{
    setConfigurationFlag(zeltraCode("smta"), on);
}

// ---- Connectors and deck control -------------------------------------------

bool ZeltraCard::supportsDeckControlConnections() const
{
    return supportsAttributeInt(zeltraCode("dccn"));
}

int64_t ZeltraCard::getDeckControlConnections() const
{
    return getAttributeInt(zeltraCode("dccn"));
}

int64_t ZeltraCard::getDeckControlConnection() const
{
    return getConfigurationInt(zeltraCode("dcco"));
}

void ZeltraCard::setDeckControlConnection(int64_t connection)
{
    setConfigurationInt(zeltraCode("dcco"), connection);
}

bool ZeltraCard::supportsDuplexModeConfiguration() const
{
    return supportsAttributeFlag(zeltraCode("dupx"));
}

int64_t ZeltraCard::getDuplexMode() const
{
    return getConfigurationInt(zeltraCode("dupx"));
}

void ZeltraCard::setDuplexMode(uint32_t mode)
{
    setConfigurationInt(zeltraCode("dupx"), mode);
}

int64_t ZeltraCard::getDuplexStatus() const
{
    return getStatusInt(zeltraCode("dupx"));
}

bool ZeltraCard::getReceivedEDID(QByteArray& edid) const
{
    return getStatusBytes(zeltraCode("edid"), edid);
}

// ---- Identity of the hardware ----------------------------------------------

bool ZeltraCard::supportsPersistentID() const
{
    return supportsAttributeInt(zeltraCode("peid"));
}

int64_t ZeltraCard::getPersistentId() const
{
    return getAttributeInt(zeltraCode("peid"));
}

bool ZeltraCard::supportsTopologicalID() const
{
    return supportsAttributeInt(zeltraCode("toid"));
}

int64_t ZeltraCard::getTopologicalID() const
{
    return getAttributeInt(zeltraCode("toid"));
}

int64_t ZeltraCard::getPairedDevicePersistentId() const
{
    return getAttributeInt(zeltraCode("ppid"));
}

int64_t ZeltraCard::getSubDeviceIndex() const
{
    return getAttributeInt(zeltraCode("subi"));
}

bool ZeltraCard::getConnectorIds(int& first, int& last) const
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

int64_t ZeltraCard::getSubDeviceCount() const
{
    return getAttributeInt(zeltraCode("nsbd"));
}

int64_t ZeltraCard::getConnectorCount() const
{
    return getAttributeInt(zeltraCode("nsbd"));
}

bool ZeltraCard::getDeviceGroupId(int64_t* value) const
{
    int64_t id = 0;
    if (!supportsAttributeInt(zeltraCode("dgid"), id))
        return false;
    if (value)
        *value = id;
    return true;
}

bool ZeltraCard::getParentPCIBridgeBusNumber(int64_t* value) const
{
    int64_t bus = 0;
    if (!supportsAttributeInt(zeltraCode("ppbn"), bus))
        return false;
    if (value)
        *value = bus;
    return true;
}

void ZeltraCard::getFirmwareVersion(int64_t& a, int64_t& b) const
{
    a = getAttributeInt(zeltraCode("fwiv"));
    b = getAttributeInt(zeltraCode("fwmv"));
}

// ---- The user's notes ------------------------------------------------------

QString ZeltraCard::getInformationLabel() const
{
    return getConfigurationString(zeltraCode("dila"));
}

void ZeltraCard::setInformationLabel(const QString& text)
{
    setConfigurationString(zeltraCode("dila"), text);
}

QString ZeltraCard::getInformationSerialNumber() const
{
    return getConfigurationString(zeltraCode("disn"));
}

void ZeltraCard::setInformationSerialNumber(const QString& text)
{
    setConfigurationString(zeltraCode("disn"), text);
}

QString ZeltraCard::getInformationCompany() const
{
    return getConfigurationString(zeltraCode("dico"));
}

void ZeltraCard::setInformationCompany(const QString& text)
{
    setConfigurationString(zeltraCode("dico"), text);
}

QString ZeltraCard::getInformationPhone() const
{
    return getConfigurationString(zeltraCode("diph"));
}

void ZeltraCard::setInformationPhone(const QString& text)
{
    setConfigurationString(zeltraCode("diph"), text);
}

QString ZeltraCard::getInformationEMail() const
{
    return getConfigurationString(zeltraCode("diem"));
}

void ZeltraCard::setInformationEMail(const QString& text)
{
    setConfigurationString(zeltraCode("diem"), text);
}

QString ZeltraCard::getInformationDate() const
{
    return getConfigurationString(zeltraCode("dida"));
}

void ZeltraCard::setInformationDate(const QString& text)
{
    setConfigurationString(zeltraCode("dida"), text);
}
