#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include <QByteArray>
#include <QMap>
#include <QObject>
#include <QString>
#include <QVector>

#include "displaymode.h"
#include "zeltraapi.h"
#include "zeltraptr.h"

class NotificationCallback;

// One card, or one channel of a multi-channel card, as the driver library
// shows it: the card model below the setup utility's windows and the command
// line. VisibleZeltra makes it a device of the setup utility's views.
//
// Every read goes to the driver library at the moment of the call and every
// write goes to the card's configuration at once; nothing is cached but the
// interfaces, the display-mode tables and the sibling
// channels. A device that is not initialised (never connected, failed to
// initialise, or disconnected) answers every read with 0, false, 0.0 or an
// empty value and ignores every write. One thread only, the one running its
// event loop; the library's change notices arrive as propertyChanged() and
// statusChanged().
class ZeltraCard : public QObject
{
    Q_OBJECT

public:
    // Firmware that this release of the software carries for one model.
    struct InstalledFirmware {
        QString name;
        uint8_t modelId = 0;
        uint8_t version = 0;
    };

    // Takes over the caller's reference to the library device (may be null).
    explicit ZeltraCard(IZeltra* device, QObject* parent = nullptr);
    ~ZeltraCard() override;

    ZeltraCard(const ZeltraCard&) = delete;
    ZeltraCard& operator=(const ZeltraCard&) = delete;

    // Identity.
    QString deviceName() const;
    QString modelName() const;
    virtual int64_t modelId() const;
    // Cards are connected by the driver; these exist for families whose
    // devices must be opened explicitly and do nothing here.
    virtual void connect();
    virtual void disconnect();
    virtual bool isConnected() const;
    // Initialises the device; emits connectionChangedSignal(true) when
    // initialisation succeeded.
    virtual void onConnected();
    // Releases every library interface; emits connectionChangedSignal(false).
    virtual void onDisconnected();
    virtual void onPropertyChanged();
    virtual void onStatusChanged();
    bool isTestMode() const;

    bool isInitialised() const { return m_initialised; }
    QString getInstallationLocation() const;
    // The library device, for matching removals; null once uninitialised.
    IZeltra* zeltraDevice() const { return m_device.get(); }
    // "Card n" for channel n of a multi-channel card.
    QString subDeviceName() const;

    // The library's API version ('vers'), or any other information string.
    // Empty without the library.
    static QString getAPIVersion();
    static QString getInformationString(uint32_t id);
    // The firmware of every model this software can update, sorted by name.
    static QVector<InstalledFirmware> getInstalledFirmwareList();

    // Generic access by item code.
    int64_t getAttributeInt(uint32_t id) const;
    bool getAttributeFlag(uint32_t id) const;
    double getAttributeFloat(uint32_t id) const;
    bool supportsAttributeInt(uint32_t id) const;
    bool supportsAttributeInt(uint32_t id, int64_t& value) const;
    // The flag is readable and set.
    bool supportsAttributeFlag(uint32_t id) const;

    int64_t getConfigurationInt(uint32_t id) const;
    bool getConfigurationFlag(uint32_t id) const;
    double getConfigurationFloat(uint32_t id) const;
    QString getConfigurationString(uint32_t id) const;
    bool supportsConfigurationInt(uint32_t id) const;
    bool supportsConfigurationFlag(uint32_t id) const;
    bool supportsConfigurationFloat(uint32_t id) const;
    void setConfigurationInt(uint32_t id, int64_t value);
    void setConfigurationFlag(uint32_t id, bool value);
    void setConfigurationFloat(uint32_t id, double value);
    void setConfigurationString(uint32_t id, const QString& value);

    int64_t getStatusInt(uint32_t id) const;
    int64_t getStatusInt(uint32_t id, int& result) const;
    bool getStatusFlag(uint32_t id) const;
    bool getStatusFlag(uint32_t id, int& result) const;
    // Cleared on failure.
    bool getStatusBytes(uint32_t id, QByteArray& bytes) const;
    bool getStatusBytes(uint32_t id, QByteArray& bytes, int& result) const;
    bool supportsStatusInt(uint32_t id) const;
    bool supportsStatusBytes(uint32_t id) const;

    // Capabilities and connections.
    bool supportsCapture() const;
    bool supportsPlayback() const;
    int64_t getDeviceInterface() const;
    int64_t getVideoInputConnections() const;
    int64_t getVideoOutputConnections() const;
    int64_t getVideoInputConnection() const;
    void setVideoInputConnection(int64_t connection);
    int64_t getVideoOutputConnection() const;
    void setVideoOutputConnection(int64_t connection);

    bool hasExternalTimeCodeInput() const;
    bool getUseLTCTimecode() const;
    void setUseLTCTimecode(bool use);

    int64_t getDefaultVideoOutputDisplayMode() const;
    void setVideoOutputDisplayMode(int64_t mode);

    bool supportsCapturePsF() const;
    bool getCapture1080pAsPsF() const;
    void setCapture1080pAsPsF(bool psf);
    bool supportsOutputPsF() const;
    bool getOutput1080pAsPsF() const;
    void setOutput1080pAsPsF(bool psf);
    bool supportsPsFAutoSwitching() const;

    bool supports444SDI() const;
    bool get444SDIIsEnabled() const;
    void set444SDIIsEnabled(bool enabled);
    bool supportsFieldFlickerRemoval() const;
    bool getFieldFlickerRemovalIsEnabled() const;
    void setFieldFlickerRemovalIsEnabled(bool enabled);

    bool supportsDisablingCapturePassthrough() const;
    bool getCapturePassthroughIsDisabled() const;
    void setCapturePassthroughDisabled(bool disabled);

    bool supportsSDIDualLink() const;
    bool supportsSDIQuadLink() const;
    int64_t getSDILinkConfiguration() const;
    void setSDILinkConfiguration(int64_t configuration);

    bool supportsIdleOutput() const;
    int64_t getVideoOutputIdleOperation() const;
    void setVideoOutputIdleOperation(int64_t operation);

    bool supportsHDMI3DPackingFormat() const;
    int64_t getHDMI3DPackingFormat() const;
    void setHDMI3DPackingFormat(int64_t format);

    bool supportsReferenceInput() const;
    bool supportsFullFrameReferenceInput() const;
    int64_t getReferenceInputSamples() const;
    void setReferenceInputSamples(int64_t samples);
    bool isReferenceSignalLocked() const;
    // Mode and flags of the signal at the reference input.
    bool getGenlockDisplayMode(uint32_t& mode, uint32_t& flags) const;

    // Analog video input levels; connection is one of 8, 16, 32.
    void getAnalogVideoInputGainLevelRange(double& min, double& max) const;
    bool supportsAnalogVideoInputGain(uint32_t connection) const;
    double getAnalogVideoInputGainLevel(uint32_t connection) const;
    void setAnalogVideoInputGainLevel(uint32_t connection, double level);
    double getAnalogVideoInputChromaGainLevel(uint32_t connection) const;
    void setAnalogVideoInputChromaGainLevel(uint32_t connection, double level);
    double getAnalogVideoInputCbLevel(uint32_t connection) const;
    void setAnalogVideoInputCbLevel(uint32_t connection, double level);
    double getAnalogVideoInputCrLevel(uint32_t connection) const;
    void setAnalogVideoInputCrLevel(uint32_t connection, double level);
    int64_t getAnalogVideoInputFlags() const;
    void setAnalogVideoInputFlags(int64_t flags);

    // Analog video output levels; connections is a set of 8, 16, 32.
    void getAnalogVideoOutputGainLevelRange(double& min, double& max) const;
    bool supportsAnalogVideoOutputGain() const;
    bool canOnlyAdjustOverallVideoOutputGain() const;
    bool supportsAnalogVideoOutputGain(uint32_t connections) const;
    double getAnalogVideoOutputGainLevel(uint32_t connections) const;
    void setAnalogVideoOutputGainLevel(uint32_t connections, double level);
    double getAnalogVideoOutputChromaGainLevel(uint32_t connections) const;
    void setAnalogVideoOutputChromaGainLevel(uint32_t connections, double level);
    double getAnalogVideoOutputCbLevel(uint32_t connections) const;
    void setAnalogVideoOutputCbLevel(uint32_t connections, double level);
    double getAnalogVideoOutputCrLevel(uint32_t connections) const;
    void setAnalogVideoOutputCrLevel(uint32_t connections, double level);
    int64_t getAnalogVideoOutputFlags() const;
    void setAnalogVideoOutputFlags(int64_t flags);

    bool getLastVideoOutputPixelFormat(uint32_t& format) const;
    bool getVideoInputPixelFormat(uint32_t& format) const;
    bool getPCIExpressLinkSpeed(int64_t& speed) const;
    bool getPCIExpressLinkWidth(int64_t& width) const;

    // Audio.
    int64_t getAudioInputConnections() const;
    int64_t getAudioOutputConnections() const;
    int64_t getAudioInputConnection() const;
    void setAudioInputConnection(int64_t connection);
    int64_t getMaxAnalogAudioInputChannels() const;
    int64_t getMaxAnalogAudioOutputChannels() const;
    bool supportsAnalogAudioConsumerLevels() const;
    bool getUseAnalogAudioConsumerLevels() const;
    void setUseAnalogAudioConsumerLevels(bool use);
    bool supportsDigitalInputScale() const;
    double getDigitalInputScale() const;
    void setDigitalInputScale(double scale);
    bool supportsDigitalOutputScale() const;
    double getDigitalOutputScale() const;
    void setDigitalOutputScale(double scale);
    bool supportsSwitchableAnalogAudioOutputs() const;
    int64_t getAnalogAudioOutputSwitch() const;
    void setAnalogAudioOutputSwitch(int64_t outputs);
    // Channels 1 to 4.
    bool supportsAnalogAudioInputScaleChannel(int channel) const;
    double getAnalogAudioInputScaleChannel(int channel) const;
    // The range of the analog channel levels, where the card reports one
    // (attribute doubles 'aism'/'aisx' for inputs, 'aosm'/'aosx' for
    // outputs); false, and the range untouched, where it does not.
    bool getAnalogAudioScaleRange(bool input, double& min, double& max) const;
    void setAnalogAudioInputScaleChannel(int channel, double scale);
    bool supportsAnalogAudioOutputScaleChannel(int channel) const;
    double getAnalogAudioOutputScaleChannel(int channel) const;
    void setAnalogAudioOutputScaleChannel(int channel, double scale);
    bool supportsMicrophonePhantomPower() const;
    bool getMicrophonePhantomPower() const;
    void setMicrophonePhantomPower(bool on);
    bool supportsMicrophoneGainControl() const;
    double getMicrophoneInputGain() const;
    void setMicrophoneInputGain(double gain);
    bool supportsHeadphoneGainControl() const;
    double getHeadphoneInputGain() const;
    void setHeadphoneInputGain(double gain);

    // Conversions.
    int64_t getInputConversionMode() const;
    void setInputConversionMode(int64_t mode);
    bool supportsVideoInputConversion() const;
    int64_t getOutputConversionMode() const;
    void setOutputConversionMode(int64_t mode);
    bool supportsOutputConversionMode(uint32_t mode) const;
    // True when the card has no separate down-converted output setting
    // ('socn' unreadable), and when not initialised.
    bool hasDedicatedDownconvertedOutput() const;
    bool supportsDownConversionOnAllAnalogOutputs() const;
    bool getDownConversionOnAllAnalogOutputs() const;
    void setDownConversionOnAllAnalogOutputs(bool on);
    bool supportsSMPTELevelAOutput() const;
    bool getSMPTELevelAOutput() const;
    void setSMPTELevelAOutput(bool on);

    // Connectors and deck control.
    bool supportsDeckControlConnections() const;
    int64_t getDeckControlConnections() const;
    int64_t getDeckControlConnection() const;
    void setDeckControlConnection(int64_t connection);
    bool supportsDuplexModeConfiguration() const;
    int64_t getDuplexMode() const;
    void setDuplexMode(uint32_t mode);
    int64_t getDuplexStatus() const;
    bool getReceivedEDID(QByteArray& edid) const;

    // Identity of the hardware.
    bool supportsPersistentID() const;
    int64_t getPersistentId() const;
    bool supportsTopologicalID() const;
    int64_t getTopologicalID() const;
    int64_t getPairedDevicePersistentId() const;
    int64_t getSubDeviceIndex() const;
    // First and last connector of this channel: one, or the pair's two for the
    // sub-device that configures duplex.
    bool getConnectorIds(int& first, int& last) const;
    int64_t getSubDeviceCount() const;
    int64_t getConnectorCount() const;
    // True and *value filled when readable.
    bool getDeviceGroupId(int64_t* value) const;
    bool getParentPCIBridgeBusNumber(int64_t* value) const;
    // a: running firmware, b: its minor part; 0 for unreadable values.
    void getFirmwareVersion(int64_t& a, int64_t& b) const;

    // The user's notes stored on the card.
    QString getInformationLabel() const;
    void setInformationLabel(const QString& text);
    QString getInformationSerialNumber() const;
    void setInformationSerialNumber(const QString& text);
    QString getInformationCompany() const;
    void setInformationCompany(const QString& text);
    QString getInformationPhone() const;
    void setInformationPhone(const QString& text);
    QString getInformationEMail() const;
    void setInformationEMail(const QString& text);
    QString getInformationDate() const;
    void setInformationDate(const QString& text);

    // Composite queries.
    // "HIFI" for the RCA input of the models that label it so; name otherwise.
    QString getAudioInputConnectionTranslated(const QString& name) const;
    bool hasAnalogVideoOutputs() const;
    bool supportsSwitchableAnalogVideoOutputs() const;
    void getSwitchableAnalogVideoOutputs(QVector<uint32_t>& connections) const;
    bool supportsAudioLevelAdjustment() const;

    // Display modes, keyed by mode id; copies of the tables.
    QMap<uint32_t, DisplayMode> getVideoInputDisplayModes() const;
    QMap<uint32_t, DisplayMode> getVideoOutputDisplayModes() const;
    std::vector<DisplayMode> getVideoOutputDisplayModesInDisplayOrder() const;
    // The format at the input: the detected one when the card detects formats,
    // else the current one while a signal is present, else 'iunk'.
    // False when not initialised or when a value cannot be read.
    bool getVideoInputDisplayMode(uint32_t& mode, uint32_t& flags) const;
    // The format the outputs carry (the input's while a card plays through).
    bool getVideoOutputDisplayMode(uint32_t& mode, uint32_t& flags) const;

    // Save and Cancel of the settings window.
    // False when the card could not store (its configuration is kept).
    bool writeToPreferences();
    void readFromPreferences();

    // Sibling channels of the same card (this one included), built on first
    // request and owned by this device.
    const QVector<ZeltraCard*>& getSubDevices();
    bool hasSubDevices() const { return !m_subDevices.isEmpty(); }
    ZeltraCard* getSubDeviceByIndex(int64_t index);
    ZeltraCard* getSubDeviceByPersistentId(int64_t id);
    ZeltraCard* getSubDeviceByConnectorId(int id);

signals:
    void connectionChangedSignal(bool connected);
    void propertyChanged();
    void statusChanged();
    void resetAudioInputs();

protected:
    // After a successful initialisation, before connectionChangedSignal(true).
    virtual void onInitialised() {}
    // After the card stored its preferences.
    virtual void onPreferencesStored() {}
    // A model for a sibling channel (owns the reference).
    virtual ZeltraCard* createSibling(IZeltra* device);

private:
    bool initialise();
    void uninitialise();
    void clearSubDevices();
    ZeltraCard* findSubDevice(const std::function<bool(ZeltraCard&)>& matches);
    void loadDisplayModes(IZeltraDisplayModeIterator* iterator, QMap<uint32_t, DisplayMode>& table);
    bool queryConfiguration();
    void releaseCallback();

    ZeltraPtr<IZeltra> m_device;
    ZeltraPtr<IZeltraAttributes> m_attributes;
    ZeltraPtr<IZeltraNotification> m_notification;
    NotificationCallback* m_callback = nullptr;
    ZeltraPtr<IZeltraConfiguration> m_configuration;
    ZeltraPtr<IZeltraInput> m_input;
    ZeltraPtr<IZeltraOutput> m_output;
    ZeltraPtr<IZeltraStatus> m_status;
    QMap<uint32_t, DisplayMode> m_inputDisplayModes;
    QMap<uint32_t, DisplayMode> m_outputDisplayModes;
    bool m_initialised = false;
    QVector<ZeltraCard*> m_subDevices;
};
