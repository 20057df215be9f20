#include "zeltradiscovery.h"

#include <algorithm>

#include "staticdata.h"
#include "visiblezeltra.h"
#include "zeltraapilibrary.h"
#include "zeltradiscoverycallback.h"

namespace {

// Channel order of a multi-channel card.
bool GroupedDeviceSorter(const VisibleZeltra* a, const VisibleZeltra* b)
{
    return a->getSubDeviceIndex() < b->getSubDeviceIndex();
}

// Key of a card's pending channels: the model in the low half, the model's
// high half merged with the group id in the high half, so that channels of
// two cards of the same model stay apart.
quint64 groupKey(int64_t modelId, int64_t groupId)
{
    const quint64 model = quint64(modelId);
    const quint64 group = quint64(groupId) & 0xFFFFFFFFu;
    return (model & 0xFFFFFFFFu) | ((model & 0xFFFFFFFF00000000u) | (group << 32));
}

// The group a channel belongs to, when it is one of several.
bool channelGroupKey(const VisibleZeltra& device, quint64& key)
{
    int64_t groupId = 0;
    const bool grouped = device.getDeviceGroupId(&groupId) || device.getParentPCIBridgeBusNumber(&groupId);
    if (!grouped || device.getSubDeviceCount() < 2)
        return false;
    key = groupKey(device.modelId(), groupId);
    return true;
}

} // namespace

ZeltraDiscovery::ZeltraDiscovery(QObject* parent)
    : QObject(parent)
{
    qRegisterMetaType<IZeltra*>("IZeltra*");
    // The callback emits these on the library's thread; the automatic
    // connection queues them to this object's thread.
    connect(this, &ZeltraDiscovery::zeltraDeviceArrived, this, &ZeltraDiscovery::onZeltraDeviceArrived);
    connect(this, &ZeltraDiscovery::zeltraDeviceRemoved, this, &ZeltraDiscovery::onZeltraDeviceRemoved);
}

ZeltraDiscovery::~ZeltraDiscovery()
{
    uninitialise();
    // No callback runs any more; the arrivals it queued die with this
    // object, their references must not.
    for (IZeltra* device : qAsConst(m_queuedArrivals))
        device->Release();
    m_queuedArrivals.clear();
    // Pending channels were never announced, so nobody else owns them.
    for (QVector<VisibleZeltra*>* group : qAsConst(m_pendingGroups)) {
        if (group) {
            qDeleteAll(*group);
            delete group;
        }
    }
    m_pendingGroups.clear();
    m_devices.clear();
}

void ZeltraDiscovery::initialise()
{
    // A second call would make the library announce every card again.
    if (m_discovery)
        return;
    forgetDevices();
    m_discovery = ZeltraApiLibrary::createDiscovery();
    if (!m_discovery)
        return;
    m_callback = new ZeltraDiscoveryCallback(*this);
    m_discovery->InstallDeviceNotifications(m_callback);
}

void ZeltraDiscovery::uninitialise()
{
    if (!m_discovery)
        return;
    if (m_callback) {
        // The library calls the callback no more once this returns.
        m_discovery->UninstallDeviceNotifications();
        delete m_callback;
        m_callback = nullptr;
    }
    m_discovery.reset();
}

void ZeltraDiscovery::forgetDevices()
{
    for (QVector<VisibleZeltra*>* group : qAsConst(m_pendingGroups)) {
        if (group) {
            qDeleteAll(*group);
            delete group;
        }
    }
    m_pendingGroups.clear();
    const QList<VisibleZeltra*> devices = m_devices;
    m_devices.clear();
    for (VisibleZeltra* device : devices) {
        device->onDisconnected();
        emit lost(device);
    }
}

void ZeltraDiscovery::noteQueuedArrival(IZeltra* device)
{
    if (!device)
        return;
    const QMutexLocker lock(&m_queuedMutex);
    m_queuedArrivals.append(device);
}

void ZeltraDiscovery::takeQueuedArrival(IZeltra* device)
{
    const QMutexLocker lock(&m_queuedMutex);
    m_queuedArrivals.removeOne(device);
}

bool ZeltraDiscovery::isSupportedDevice(const VisibleZeltra& device)
{
    return !kExcludedDevices.contains(quint64(device.modelId()));
}

void ZeltraDiscovery::onZeltraDeviceArrived(IZeltra* device)
{
    if (!device)
        return;
    takeQueuedArrival(device);
    // The device owns the reference the callback took.
    auto* zeltra = new VisibleZeltra(device);
    zeltra->onConnected();
    // A card that could not be read (gone again before its arrival was
    // handled, or refusing its interfaces) has no name and would keep no
    // library device to match its removal against: it is not shown.
    if (!zeltra->isInitialised() || !isSupportedDevice(*zeltra)) {
        delete zeltra;
        return;
    }

    quint64 key = 0;
    if (!channelGroupKey(*zeltra, key)) {
        announce(zeltra);
        return;
    }
    const int64_t channels = zeltra->getSubDeviceCount();
    QVector<VisibleZeltra*>*& pending = m_pendingGroups[key];
    if (!pending)
        pending = new QVector<VisibleZeltra*>;
    pending->append(zeltra);
    // Channels of the card that are already shown count too: a channel that
    // comes back on its own (a sub-device the card brings back after a
    // duplex change, or a channel plugged in again) joins its siblings.
    int64_t shown = 0;
    for (const VisibleZeltra* other : qAsConst(m_devices)) {
        quint64 deviceKey = 0;
        if (channelGroupKey(*other, deviceKey) && deviceKey == key)
            ++shown;
    }
    if (pending->size() + shown < channels)
        return;

    // The entry stays, empty, so that the key is known from now on.
    QVector<VisibleZeltra*>* complete = pending;
    pending = nullptr;
    std::stable_sort(complete->begin(), complete->end(), GroupedDeviceSorter);
    for (VisibleZeltra* channel : qAsConst(*complete))
        announce(channel);
    delete complete;
}

void ZeltraDiscovery::announce(VisibleZeltra* device)
{
    m_devices.append(device);
    emit found(device);
}

void ZeltraDiscovery::onZeltraDeviceRemoved(IZeltra* device)
{
    if (!device)
        return;
    // A channel still waiting for its siblings was never shown: it just
    // leaves its group.
    for (QVector<VisibleZeltra*>* group : qAsConst(m_pendingGroups)) {
        if (!group)
            continue;
        const auto waiting = std::find_if(group->begin(), group->end(),
            [device](const VisibleZeltra* zeltra) { return zeltra->zeltraDevice() == device; });
        if (waiting != group->end()) {
            delete *waiting;
            group->erase(waiting);
            return;
        }
    }
    const auto found = std::find_if(m_devices.begin(), m_devices.end(),
        [device](const VisibleZeltra* zeltra) { return zeltra->zeltraDevice() == device; });
    if (found == m_devices.end())
        return;
    VisibleZeltra* zeltra = *found;
    m_devices.erase(found);
    zeltra->onDisconnected();
    emit lost(zeltra);
}
