#pragma once

#include "iusbinterfaceiterator.h"
#include "libusbholders.h"

#include <atomic>

namespace MVN {
namespace USB {

class CUSBDevice;

// Walks every alternate setting of every interface of the device's chosen
// configuration and returns those matching the request.
class CUSBInterfaceIterator final : public IUSBInterfaceIterator
{
public:
    // Takes a reference on the device; request must outlive the iterator.
    CUSBInterfaceIterator(CUSBDevice* device, const MVNUsb_FindInterfaceRequest* request);
    ~CUSBInterfaceIterator() override;
    CUSBInterfaceIterator(const CUSBInterfaceIterator&) = delete;
    CUSBInterfaceIterator& operator=(const CUSBInterfaceIterator&) = delete;

    uint32_t AddRef() override;
    uint32_t Release() override;
    bool Next(IUSBInterface** interface) override;

private:
    std::atomic<uint32_t> m_refCount{1};
    CUSBDevice* m_device = nullptr;
    const MVNUsb_FindInterfaceRequest* m_request = nullptr;
    ConfigDescriptorPtr m_config; // null when it could not be read
    int m_interfaceIndex = 0;
    int m_alternateIndex = 0;
};

} // namespace USB
} // namespace MVN
