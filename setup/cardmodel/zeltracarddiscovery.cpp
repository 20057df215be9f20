#include "zeltracarddiscovery.h"

#include <algorithm>

#include "staticdata.h"
#include "zeltracard.h"
#include "zeltraapilibrary.h"
#include "zeltradiscoverycallback.h"

namespace {

// Channel order of a multi-channel card.
bool GroupedDeviceSorter(const ZeltraCard* a, const ZeltraCard* b)
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
bool channelGroupKey(const ZeltraCard& device, quint64& key)
{
    int64_t groupId = 0;
    const bool grouped = device.getDeviceGroupId(&groupId) || device.getParentPCIBridgeBusNumber(&groupId);
    if (!grouped || device.getSubDeviceCount() < 2)
        return false;
    key = groupKey(device.modelId(), groupId);
    return true;
}

} // namespace

ZeltraCardDiscovery::ZeltraCardDiscovery(QObject* parent)
    : QObject(parent)
{
    qRegisterMetaType<IZeltra*>("IZeltra*");
    // The callback emits these on the library's thread; the automatic
    // connection queues them to this object's thread.
    connect(this, &ZeltraCardDiscovery::zeltraDeviceArrived, this, &ZeltraCardDiscovery::onZeltraDeviceArrived);
    connect(this, &ZeltraCardDiscovery::zeltraDeviceRemoved, this, &ZeltraCardDiscovery::onZeltraDeviceRemoved);
}

ZeltraCardDiscovery::~ZeltraCardDiscovery()
{
    uninitialise();
    // No callback runs any more; the arrivals it queued die with this
    // object, their references must not.
    for (IZeltra* device : qAsConst(m_queuedArrivals))
        device->Release();
    m_queuedArrivals.clear();
    // Pending channels were never announced, so nobody else owns them.
    for (QVector<ZeltraCard*>* group : qAsConst(m_pendingGroups)) {
        if (group) {
            qDeleteAll(*group);
            delete group;
        }
    }
    m_pendingGroups.clear();
    m_devices.clear();
}

void ZeltraCardDiscovery::initialise()
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

void ZeltraCardDiscovery::uninitialise()
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

void ZeltraCardDiscovery::forgetDevices()
{
    for (QVector<ZeltraCard*>* group : qAsConst(m_pendingGroups)) {
        if (group) {
            qDeleteAll(*group);
            delete group;
        }
    }
    m_pendingGroups.clear();
    const QList<ZeltraCard*> devices = m_devices;
    m_devices.clear();
    for (ZeltraCard* device : devices) {
        device->onDisconnected();
        emit cardLost(device);
    }
}

void ZeltraCardDiscovery::noteQueuedArrival(IZeltra* device)
{
    if (!device)
        return;
    const QMutexLocker lock(&m_queuedMutex);
    m_queuedArrivals.append(device);
}

void ZeltraCardDiscovery::takeQueuedArrival(IZeltra* device)
{
    const QMutexLocker lock(&m_queuedMutex);
    m_queuedArrivals.removeOne(device);
}

bool ZeltraCardDiscovery::isSupportedDevice(const ZeltraCard& device)
{
    return !kExcludedDevices.contains(quint64(device.modelId()));
}

void ZeltraCardDiscovery::onZeltraDeviceArrived(IZeltra* device)
{
    if (!device)
        return;
    takeQueuedArrival(device);
    ++m_handledArrivals;
    // Emitted once this arrival's work is done, whichever way it ends.
    struct Handled {
        ZeltraCardDiscovery* discovery;
        ~Handled() { emit discovery->arrivalHandled(); }
    } handled{ this };
    // The device owns the reference the callback took.
    ZeltraCard* zeltra = createCard(device);
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
    QVector<ZeltraCard*>*& pending = m_pendingGroups[key];
    if (!pending)
        pending = new QVector<ZeltraCard*>;
    pending->append(zeltra);
    // Channels of the card that are already shown count too: a channel that
    // comes back on its own (a sub-device the card brings back after a
    // duplex change, or a channel plugged in again) joins its siblings.
    int64_t shown = 0;
    for (const ZeltraCard* other : qAsConst(m_devices)) {
        quint64 deviceKey = 0;
        if (channelGroupKey(*other, deviceKey) && deviceKey == key)
            ++shown;
    }
    if (pending->size() + shown < channels)
        return;

    // The entry stays, empty, so that the key is known from now on.
    QVector<ZeltraCard*>* complete = pending;
    pending = nullptr;
    std::stable_sort(complete->begin(), complete->end(), GroupedDeviceSorter);
    for (ZeltraCard* channel : qAsConst(*complete))
        announce(channel);
    delete complete;
}

ZeltraCard* ZeltraCardDiscovery::createCard(IZeltra* device)
{
    return new ZeltraCard(device);
}

void ZeltraCardDiscovery::announce(ZeltraCard* device)
{
    m_devices.append(device);
    emit cardFound(device);
}

void ZeltraCardDiscovery::onZeltraDeviceRemoved(IZeltra* device)
{
    if (!device)
        return;
    // A channel still waiting for its siblings was never shown: it just
    // leaves its group.
    for (QVector<ZeltraCard*>* group : qAsConst(m_pendingGroups)) {
        if (!group)
            continue;
        const auto waiting = std::find_if(group->begin(), group->end(),
            [device](const ZeltraCard* zeltra) { return zeltra->zeltraDevice() == device; });
        if (waiting != group->end()) {
            delete *waiting;
            group->erase(waiting);
            return;
        }
    }
    const auto found = std::find_if(m_devices.begin(), m_devices.end(),
        [device](const ZeltraCard* zeltra) { return zeltra->zeltraDevice() == device; });
    if (found == m_devices.end())
        return;
    ZeltraCard* zeltra = *found;
    m_devices.erase(found);
    zeltra->onDisconnected();
    emit cardLost(zeltra);
}
