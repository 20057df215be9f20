#pragma once

#include "usbunit.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

typedef struct _UMockdevIoctlBase UMockdevIoctlBase;
typedef struct _UMockdevIoctlClient UMockdevIoctlClient;
typedef struct _UMockdevIoctlData UMockdevIoctlData;

namespace xmegasim {

// One appearance of a unit on the emulated bus, at one device address: the
// usbdevfs ioctl handler behind its /dev/bus/usb node. It serves the
// requests libusb makes (URB submit/reap/discard, claims, configuration,
// halts, reset, capabilities, connection info) and runs the unit's
// transfers on one thread per endpoint, so a slow or hanging transfer never
// blocks the test bed's ioctl thread. Once the unit leaves, everything
// answers ENODEV; completed URBs can still be reaped first.
class UsbDevfsDevice
{
public:
    UsbDevfsDevice(UsbUnit& unit, uint8_t busNumber, uint8_t address, unsigned speedMbits);
    ~UsbDevfsDevice();
    UsbDevfsDevice(const UsbDevfsDevice&) = delete;
    UsbDevfsDevice& operator=(const UsbDevfsDevice&) = delete;

    UMockdevIoctlBase* handler() const { return m_handler; }
    uint8_t address() const { return m_address; }
    // The unit left the bus: fail what is queued and refuse new work.
    void markGone();
    bool gone() const;

private:
    struct Urb;
    struct Reaper;
    struct Endpoint;

    static int onIoctlThunk(UMockdevIoctlBase* handler, UMockdevIoctlClient* client, void* self);
    static void onClientVanishedThunk(UMockdevIoctlBase* handler, UMockdevIoctlClient* client, void* self);
    bool onIoctl(UMockdevIoctlClient* client);
    void onClientVanished(UMockdevIoctlClient* client);

    void submit(UMockdevIoctlClient* client, UMockdevIoctlData* arg);
    void reap(UMockdevIoctlClient* client, UMockdevIoctlData* arg, bool wait);
    void discard(UMockdevIoctlClient* client, UMockdevIoctlData* arg);
    bool uintArgument(UMockdevIoctlData* arg, unsigned* value);

    void runEndpoint(Endpoint* endpoint);
    void execute(Urb& urb);
    void finishLocked(const std::shared_ptr<Urb>& urb, int status);
    void runReapers();
    // Completes a reaper with a finished URB of its client, if there is one.
    bool serveLocked(Reaper& reaper);
    bool stillConnected() const;

    UsbUnit& m_unit;
    const uint8_t m_busNumber;
    const uint8_t m_address;
    const unsigned m_speedMbits;
    const uint32_t m_connection;
    UMockdevIoctlBase* m_handler = nullptr;

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_gone = false;
    bool m_stop = false;
    std::map<uint8_t, std::unique_ptr<Endpoint>> m_endpoints;
    std::vector<std::shared_ptr<Urb>> m_inFlight;  // queued, running or held by a hanging transfer
    std::deque<std::shared_ptr<Urb>> m_completed;  // waiting to be reaped
    std::deque<std::unique_ptr<Reaper>> m_reapers; // reap requests not answered yet
    std::map<UMockdevIoctlClient*, std::set<unsigned>> m_claims;
    std::thread m_reaperThread;
};

} // namespace xmegasim
