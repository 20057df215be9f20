#include "inprocessusbdevice.h"

#include "inprocessinterfaceiterator.h"

using namespace MVN::USB;

namespace xmegasim {

InProcessUsbDevice::InProcessUsbDevice(std::shared_ptr<UsbUnit> unit)
    : m_unit(std::move(unit))
{
    m_connection = m_unit->connection();
    m_descriptor = m_unit->deviceDescriptor();
    m_configuration = m_unit->configurationDescriptor();
    m_descriptor.resize(18, 0);
}

uint32_t InProcessUsbDevice::AddRef()
{
    return ++m_refs;
}

uint32_t InProcessUsbDevice::Release()
{
    const uint32_t left = --m_refs;
    if (left == 0)
        delete this;
    return left;
}

bool InProcessUsbDevice::stillThere() const
{
    return m_unit->present() && m_unit->connection() == m_connection;
}

MVNUsbReturn InProcessUsbDevice::toReturn(TransferStatus status)
{
    switch (status) {
    case TransferStatus::Ok:
        return kMVNUsbSuccess;
    case TransferStatus::Stall:
        return kMVNUsbStall;
    case TransferStatus::Timeout:
        return kMVNUsbTimeout;
    case TransferStatus::NoDevice:
        return kMVNUsbNoDevice;
    }
    return kMVNUsbGeneralFailure;
}

MVNUsbReturn InProcessUsbDevice::DeviceRequest(MVNUsb_DevRequest* request)
{
    if (!request || (request->length && !request->data))
        return kMVNUsbInvalidArgument;
    if (!m_open)
        return kMVNUsbGeneralFailure;
    if (!stillThere())
        return kMVNUsbNoDevice;
    const TransferResult r = m_unit->control(request->requestType, request->request, request->value,
                                             request->index, static_cast<uint8_t*>(request->data),
                                             request->length, request->completionTimeout);
    if (r.status == TransferStatus::Ok)
        request->lengthDone = r.length;
    return toReturn(r.status);
}

MVNUsbReturn InProcessUsbDevice::GetConfigurationIndex(uint8_t* index)
{
    if (!index)
        return kMVNUsbInvalidArgument;
    const int i = m_configIndex;
    if (i < 0)
        return kMVNUsbGeneralFailure;
    *index = uint8_t(i);
    return kMVNUsbSuccess;
}

uint16_t InProcessUsbDevice::descriptorWord(size_t offset) const
{
    return uint16_t(m_descriptor[offset] | m_descriptor[offset + 1] << 8);
}

#define INPROCESS_FIELD(out, expr)           \
    do {                                     \
        if (!(out))                          \
            return kMVNUsbInvalidArgument;   \
        *(out) = (expr);                     \
        return kMVNUsbSuccess;               \
    } while (0)

MVNUsbReturn InProcessUsbDevice::GetDeviceClass(uint8_t* v) { INPROCESS_FIELD(v, m_descriptor[4]); }
MVNUsbReturn InProcessUsbDevice::GetDeviceSubClass(uint8_t* v) { INPROCESS_FIELD(v, m_descriptor[5]); }
MVNUsbReturn InProcessUsbDevice::GetDeviceProtocol(uint8_t* v) { INPROCESS_FIELD(v, m_descriptor[6]); }
MVNUsbReturn InProcessUsbDevice::GetDeviceVendor(uint16_t* v) { INPROCESS_FIELD(v, descriptorWord(8)); }
MVNUsbReturn InProcessUsbDevice::GetDeviceProduct(uint16_t* v) { INPROCESS_FIELD(v, descriptorWord(10)); }
MVNUsbReturn InProcessUsbDevice::GetDeviceReleaseNumber(uint16_t* v) { INPROCESS_FIELD(v, descriptorWord(12)); }
MVNUsbReturn InProcessUsbDevice::GetNumberOfConfigurations(uint8_t* v) { INPROCESS_FIELD(v, m_descriptor[17]); }
MVNUsbReturn InProcessUsbDevice::GetDeviceSpeed(uint8_t* v) { INPROCESS_FIELD(v, uint8_t(1)); }

#undef INPROCESS_FIELD

MVNUsbReturn InProcessUsbDevice::GetLocationID(uint32_t* locationId)
{
    if (!locationId)
        return kMVNUsbInvalidArgument;
    return kMVNUsbGeneralFailure;
}

MVNUsbReturn InProcessUsbDevice::SetConfigurationByIndex(uint8_t index)
{
    if (!m_open)
        return kMVNUsbSuccess;
    if (index >= m_descriptor[17])
        return kMVNUsbConfigurationOutOfRange;
    if (!stillThere())
        return kMVNUsbNoDevice;
    const uint8_t value = m_configuration.size() > 5 ? m_configuration[5] : 1;
    const TransferResult r = m_unit->control(0x00, 9, value, 0, nullptr, 0, 1000);
    if (r.status != TransferStatus::Ok)
        return toReturn(r.status);
    m_configIndex = index;
    return kMVNUsbSuccess;
}

MVNUsbReturn InProcessUsbDevice::USBDeviceOpen()
{
    if (m_open)
        return kMVNUsbAccessDenied;
    if (!stillThere())
        return kMVNUsbNoDevice;
    m_open = true;
    return kMVNUsbSuccess;
}

MVNUsbReturn InProcessUsbDevice::USBDeviceClose()
{
    if (!m_open.exchange(false))
        return kMVNUsbNotOpen;
    return kMVNUsbSuccess;
}

MVNUsbReturn InProcessUsbDevice::USBDeviceReset()
{
    if (!m_open)
        return kMVNUsbNotOpen;
    return stillThere() ? kMVNUsbSuccess : kMVNUsbNoDevice;
}

MVNUsbReturn InProcessUsbDevice::CreateInterfaceIterator(MVNUsb_FindInterfaceRequest* request,
                                                         IUSBInterfaceIterator** iterator)
{
    if (!request || !iterator)
        return kMVNUsbInvalidArgument;
    if (m_configIndex < 0)
        return kMVNUsbGeneralFailure;
    *iterator = new InProcessInterfaceIterator(this, request);
    return kMVNUsbSuccess;
}

} // namespace xmegasim
