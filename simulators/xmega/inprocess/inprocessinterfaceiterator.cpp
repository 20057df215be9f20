#include "inprocessinterfaceiterator.h"

#include "inprocessusbdevice.h"
#include "inprocessusbinterface.h"

using namespace MVN::USB;

namespace xmegasim {

InProcessInterfaceIterator::InProcessInterfaceIterator(InProcessUsbDevice* device,
                                                       const MVNUsb_FindInterfaceRequest* request)
    : m_device(UsbRef<InProcessUsbDevice>::retain(device))
    , m_request(request)
{
}

uint32_t InProcessInterfaceIterator::AddRef()
{
    return ++m_refs;
}

uint32_t InProcessInterfaceIterator::Release()
{
    const uint32_t left = --m_refs;
    if (left == 0)
        delete this;
    return left;
}

bool InProcessInterfaceIterator::Next(IUSBInterface** interface)
{
    if (!interface)
        return false;
    const std::vector<uint8_t>& config = m_device->configuration();
    auto matches = [](uint16_t want, uint8_t have) { return want == kMVNUsbDontCare || want == have; };
    if (m_offset == 0 && config.size() >= 2)
        m_offset = config[0];
    while (m_offset + 2 <= config.size()) {
        const size_t at = m_offset;
        const uint8_t length = config[at];
        if (length < 2)
            return false; // a broken descriptor ends the walk
        m_offset += length;
        if (config[at + 1] != 4 || length < 9 || at + 9 > config.size())
            continue;
        if (matches(m_request->interfaceClass, config[at + 5]) && matches(m_request->interfaceSubClass, config[at + 6])
            && matches(m_request->interfaceProtocol, config[at + 7])
            && matches(m_request->alternateSetting, config[at + 3])) {
            *interface = new InProcessUsbInterface(m_device.get(), at);
            return true;
        }
    }
    return false;
}

} // namespace xmegasim
