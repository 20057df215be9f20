#pragma once

#include "iusbinterfaceiterator.h"
#include "usbref.h"

#include <atomic>
#include <cstddef>

namespace xmegasim {

class InProcessUsbDevice;

// Walks the alternate settings of the in-process device's configuration
// descriptor that match a find request (0xFFFF matches anything).
class InProcessInterfaceIterator final : public MVN::USB::IUSBInterfaceIterator
{
public:
    // Takes a reference on the device; the request must outlive the iterator.
    InProcessInterfaceIterator(InProcessUsbDevice* device, const MVN::USB::MVNUsb_FindInterfaceRequest* request);

    uint32_t AddRef() override;
    uint32_t Release() override;
    bool Next(MVN::USB::IUSBInterface** interface) override;

private:
    ~InProcessInterfaceIterator() override = default;

    std::atomic<uint32_t> m_refs{1};
    MVN::USB::UsbRef<InProcessUsbDevice> m_device;
    const MVN::USB::MVNUsb_FindInterfaceRequest* m_request;
    size_t m_offset = 0; // where the next interface descriptor search starts
};

} // namespace xmegasim
