#pragma once

#include <cstdint>

#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QString>
#include <QVector>

#include "visibledevice.h"
#include "zeltracard.h"

struct ModelPicturePaths;
class QWidget;

// One card, or one channel of a multi-channel card: the card family's device.
// The card model with what the setup utility's views add to it: the model
// pictures and the summary widget below the card in the gallery. Sibling
// channels are VisibleZeltra devices too.
class VisibleZeltra : public ZeltraCard, public VisibleDevice
{
    Q_OBJECT

public:
    // Takes over the caller's reference to the library device (may be null).
    explicit VisibleZeltra(IZeltra* device, QObject* parent = nullptr);
    ~VisibleZeltra() override;

    // Identity and presentation.
    QString familyName() const override;
    QString deviceName() const override { return ZeltraCard::deviceName(); }
    QString modelName() const override { return ZeltraCard::modelName(); }
    QPixmap modelImage() const override;
    QPixmap modelThumb() const override;
    virtual QPixmap modelListThumb() const;
    DeviceFirmwareUpdater* getFirmwareUpdater() override;
    QWidget* summaryWidget() const override;
    QString ipAddress() const override;
    QPixmap launcherConnectionIcon() const override;
    QPixmap cardConnectionIcon() const override;
    bool firmwareUpdateOnly() const override;
    QString currentFirmwareString() const override;
    bool firmwareUpdateAvailable() const override;
    QString availableFirmwareString() const override;
    bool isTestMode() const override { return ZeltraCard::isTestMode(); }

    // Sibling channels of the same card (this one included), built on first
    // request and owned by this device.
    QVector<VisibleZeltra*> getSubDevices();
    VisibleZeltra* getSubDeviceByIndex(int64_t index);
    VisibleZeltra* getSubDeviceByPersistentId(int64_t id);
    VisibleZeltra* getSubDeviceByConnectorId(int id);

signals:
    void displayInfoChanged(VisibleDevice* device);

protected:
    void onInitialised() override;
    void onPreferencesStored() override;
    ZeltraCard* createSibling(IZeltra* device) override;

private:
    // The picture of this model at path, decoded into picture on first use.
    QPixmap modelPicture(QPixmap& picture, const char* const ModelPicturePaths::*path) const;

    mutable QPixmap m_modelImage;
    mutable QPixmap m_modelThumb;
    mutable QPixmap m_modelListThumb;
    // Placed into the gallery's layout; the gallery may delete it first.
    mutable QPointer<QWidget> m_summaryWidget;
};
