#pragma once

#include <QList>
#include <QMap>
#include <QMutex>
#include <QObject>
#include <QVector>

#include "zeltraapi.h"
#include "zeltraptr.h"

class ZeltraCard;
class ZeltraDiscoveryCallback;

Q_DECLARE_METATYPE(IZeltra*)

// Turns the cards the driver library reports into card models: drops
// unsupported models, holds back the channels of a multi-channel card until
// all of them have arrived and then announces them in channel order. Lives on
// the thread that runs its event loop; the library's calls reach it queued.
// The setup utility's discovery makes its cards visible devices through
// createCard(); the command line takes the plain card models.
class ZeltraCardDiscovery : public QObject
{
    Q_OBJECT

public:
    explicit ZeltraCardDiscovery(QObject* parent = nullptr);
    ~ZeltraCardDiscovery() override;

    // Asks the library for arrivals and removals. Without the library nothing
    // is reported and no device will come. While listening already it does
    // nothing; after uninitialise() the devices of the earlier run are lost
    // first, since the library announces every card again.
    void initialise();
    void uninitialise();

    // Announced devices, in announcement order. Owned by the family, which
    // deletes each one after it was lost.
    const QList<ZeltraCard*>& devices() const { return m_devices; }

    // Library devices whose arrival was handled so far (shown, waiting for
    // their siblings, or left out).
    int handledArrivals() const { return m_handledArrivals; }

    // True unless the model is one the utility does not show.
    static bool isSupportedDevice(const ZeltraCard& device);

signals:
    void cardFound(ZeltraCard* card);
    // Emitted after the card let go of its library device.
    void cardLost(ZeltraCard* card);
    void arrivalHandled();
    // Emitted by the callback on the library's thread; the device carries
    // one reference for the receiver.
    void zeltraDeviceArrived(IZeltra* device);
    void zeltraDeviceRemoved(IZeltra* device);

public:
    // The callback, on the library's thread, before it emits an arrival:
    // the reference the arrival carries is released here should this
    // object go before the queued arrival reaches its slot.
    void noteQueuedArrival(IZeltra* device);

public slots:
    void onZeltraDeviceArrived(IZeltra* device);
    void onZeltraDeviceRemoved(IZeltra* device);

protected:
    // A new card model for a library device (the model owns the reference).
    virtual ZeltraCard* createCard(IZeltra* device);

private:
    void announce(ZeltraCard* device);
    void forgetDevices();
    void takeQueuedArrival(IZeltra* device);

    ZeltraPtr<IZeltraDiscovery> m_discovery;
    ZeltraDiscoveryCallback* m_callback = nullptr;
    QList<ZeltraCard*> m_devices;
    QMap<quint64, QVector<ZeltraCard*>*> m_pendingGroups;
    QMutex m_queuedMutex;
    QList<IZeltra*> m_queuedArrivals; // each holds one reference
    int m_handledArrivals = 0;
};
