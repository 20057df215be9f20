#include "cusbinterfaceiterator.h"

#include "cusbdevice.h"
#include "cusbinterface.h"

#include <libusb.h>

namespace MVN {
namespace USB {

namespace {

bool matches(uint16_t wanted, uint8_t actual)
{
    return wanted == kMVNUsbDontCare || wanted == actual;
}

} // namespace

CUSBInterfaceIterator::CUSBInterfaceIterator(CUSBDevice* device, const MVNUsb_FindInterfaceRequest* request)
    : m_device(device)
    , m_request(request)
{
    m_device->AddRef();
    if (m_device->configurationIndex() >= 0)
        m_config = readConfigDescriptor(m_device->libusbDevice(), static_cast<uint8_t>(m_device->configurationIndex()));
}

CUSBInterfaceIterator::~CUSBInterfaceIterator()
{
    m_device->Release();
}

uint32_t CUSBInterfaceIterator::AddRef()
{
    return ++m_refCount;
}

uint32_t CUSBInterfaceIterator::Release()
{
    const uint32_t count = --m_refCount;
    if (count == 0)
        delete this;
    return count;
}

bool CUSBInterfaceIterator::Next(IUSBInterface** interface)
{
    if (!interface || !m_config)
        return false;
    while (m_interfaceIndex < m_config->bNumInterfaces) {
        const libusb_interface& entry = m_config->interface[m_interfaceIndex];
        while (m_alternateIndex < entry.num_altsetting) {
            const libusb_interface_descriptor& alt = entry.altsetting[m_alternateIndex];
            const int alternateIndex = m_alternateIndex++;
            if (!matches(m_request->interfaceClass, alt.bInterfaceClass)
                || !matches(m_request->interfaceSubClass, alt.bInterfaceSubClass)
                || !matches(m_request->interfaceProtocol, alt.bInterfaceProtocol)
                || !matches(m_request->alternateSetting, alt.bAlternateSetting))
                continue;
            try {
                *interface = new CUSBInterface(m_device, m_interfaceIndex, alternateIndex);
            } catch (const MVNUsb_Exception&) {
                return false;
            }
            return true;
        }
        ++m_interfaceIndex;
        m_alternateIndex = 0;
    }
    return false;
}

} // namespace USB
} // namespace MVN
