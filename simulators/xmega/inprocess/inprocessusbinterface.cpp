#include "inprocessusbinterface.h"

#include "inprocessusbdevice.h"

using namespace MVN::USB;

namespace xmegasim {

InProcessUsbInterface::InProcessUsbInterface(InProcessUsbDevice* device, size_t offset)
    : m_device(UsbRef<InProcessUsbDevice>::retain(device))
{
    const std::vector<uint8_t>& config = device->configuration();
    m_number = config[offset + 2];
    m_class = config[offset + 5];
    m_subClass = config[offset + 6];
    m_protocol = config[offset + 7];
    const uint8_t count = config[offset + 4];
    // The endpoint descriptors follow until the next interface descriptor.
    size_t at = offset + config[offset];
    while (at + 2 <= config.size() && m_endpoints.size() < count) {
        const uint8_t length = config[at];
        if (length < 2)
            break;
        if (config[at + 1] == 4)
            break;
        if (config[at + 1] == 5 && length >= 7 && at + 7 <= config.size()) {
            Endpoint e;
            e.address = config[at + 2];
            e.attributes = config[at + 3];
            e.maxPacket = uint16_t(config[at + 4] | config[at + 5] << 8);
            e.interval = config[at + 6];
            m_endpoints.push_back(e);
        }
        at += length;
    }
}

uint32_t InProcessUsbInterface::AddRef()
{
    return ++m_refs;
}

uint32_t InProcessUsbInterface::Release()
{
    const uint32_t left = --m_refs;
    if (left == 0)
        delete this;
    return left;
}

MVNUsbReturn InProcessUsbInterface::GetInterfaceClass(uint8_t* v)
{
    if (!v)
        return kMVNUsbInvalidArgument;
    *v = m_class;
    return kMVNUsbSuccess;
}

MVNUsbReturn InProcessUsbInterface::GetInterfaceNumber(uint8_t* v)
{
    if (!v)
        return kMVNUsbInvalidArgument;
    *v = m_number;
    return kMVNUsbSuccess;
}

MVNUsbReturn InProcessUsbInterface::GetInterfaceProtocol(uint8_t* v)
{
    if (!v)
        return kMVNUsbInvalidArgument;
    *v = m_protocol;
    return kMVNUsbSuccess;
}

MVNUsbReturn InProcessUsbInterface::GetInterfaceSubClass(uint8_t* v)
{
    if (!v)
        return kMVNUsbInvalidArgument;
    *v = m_subClass;
    return kMVNUsbSuccess;
}

MVNUsbReturn InProcessUsbInterface::GetNumEndpoints(uint8_t* v)
{
    if (!v)
        return kMVNUsbInvalidArgument;
    *v = uint8_t(m_endpoints.size());
    return kMVNUsbSuccess;
}

const InProcessUsbInterface::Endpoint* InProcessUsbInterface::pipeEndpoint(uint8_t pipe) const
{
    if (pipe < 1 || pipe > m_endpoints.size())
        return nullptr;
    return &m_endpoints[pipe - 1];
}

MVNUsbReturn InProcessUsbInterface::GetPipeProperties(uint8_t pipe, uint8_t* direction, uint8_t* transferType,
                                                      uint16_t* maxPacketSize, uint8_t* interval)
{
    const Endpoint* e = pipeEndpoint(pipe);
    if (!e)
        return kMVNUsbPipeOutOfRange;
    if (!direction || !transferType || !maxPacketSize || !interval)
        return kMVNUsbInvalidArgument;
    *direction = (e->address & 0x80) ? 1 : 0;
    *transferType = e->attributes & 0x03;
    *maxPacketSize = e->maxPacket;
    *interval = e->interval;
    return kMVNUsbSuccess;
}

MVNUsbReturn InProcessUsbInterface::ClearPipeStallBothEnds(uint8_t pipe)
{
    const Endpoint* e = pipeEndpoint(pipe);
    if (!e)
        return kMVNUsbPipeOutOfRange;
    if (!m_device->isOpen())
        return kMVNUsbGeneralFailure;
    if (!m_device->stillThere())
        return kMVNUsbNoDevice;
    // CLEAR_FEATURE(ENDPOINT_HALT) to the endpoint.
    const TransferResult r = m_device->unit().control(0x02, 1, 0, e->address, nullptr, 0, 1000);
    return InProcessUsbDevice::toReturn(r.status);
}

MVNUsbReturn InProcessUsbInterface::transfer(uint8_t pipe, bool in, uint8_t* buffer, uint32_t* length,
                                             uint32_t timeout)
{
    const Endpoint* e = pipeEndpoint(pipe);
    if (!e)
        return kMVNUsbPipeOutOfRange;
    const uint8_t type = e->attributes & 0x03;
    if (type != 2 && type != 3)
        return kMVNUsbGeneralFailure;
    if (bool(e->address & 0x80) != in || (*length && !buffer))
        return kMVNUsbInvalidArgument;
    if (!m_device->isOpen())
        return kMVNUsbGeneralFailure;
    if (!m_device->stillThere())
        return kMVNUsbNoDevice;
    const TransferResult r = m_device->unit().bulk(e->address, buffer, *length, timeout);
    // A transfer may have moved bytes before it failed; only success reports them.
    *length = r.status == TransferStatus::Ok ? r.length : 0;
    return InProcessUsbDevice::toReturn(r.status);
}

MVNUsbReturn InProcessUsbInterface::ReadPipe(uint8_t pipe, void* buffer, uint32_t* length, uint32_t,
                                             uint32_t completionTimeout)
{
    if (!length)
        return kMVNUsbInvalidArgument;
    return transfer(pipe, true, static_cast<uint8_t*>(buffer), length, completionTimeout);
}

MVNUsbReturn InProcessUsbInterface::WritePipe(uint8_t pipe, const void* buffer, uint32_t length, uint32_t,
                                              uint32_t completionTimeout)
{
    // The unit only reads from the buffer of an OUT transfer.
    return transfer(pipe, false, static_cast<uint8_t*>(const_cast<void*>(buffer)), &length, completionTimeout);
}

MVNUsbReturn InProcessUsbInterface::ReadPipeAsync(uint8_t pipe, void* buffer, uint32_t length,
                                                  MVNUsb_AsyncCallback callback, void* context)
{
    if (!callback)
        return kMVNUsbInvalidArgument;
    const MVNUsbReturn r = transfer(pipe, true, static_cast<uint8_t*>(buffer), &length, 0);
    if (r == kMVNUsbPipeOutOfRange || r == kMVNUsbInvalidArgument)
        return r;
    callback(r, length, context);
    return kMVNUsbSuccess;
}

MVNUsbReturn InProcessUsbInterface::WritePipeAsync(uint8_t pipe, const void* buffer, uint32_t length,
                                                   MVNUsb_AsyncCallback callback, void* context)
{
    if (!callback)
        return kMVNUsbInvalidArgument;
    const MVNUsbReturn r =
        transfer(pipe, false, static_cast<uint8_t*>(const_cast<void*>(buffer)), &length, 0);
    if (r == kMVNUsbPipeOutOfRange || r == kMVNUsbInvalidArgument)
        return r;
    callback(r, length, context);
    return kMVNUsbSuccess;
}

MVNUsbReturn InProcessUsbInterface::USBInterfaceOpen()
{
    if (m_claimed.exchange(true))
        return kMVNUsbAccessDenied;
    return kMVNUsbSuccess;
}

MVNUsbReturn InProcessUsbInterface::USBInterfaceClose()
{
    if (!m_claimed.exchange(false))
        return kMVNUsbGeneralFailure;
    return kMVNUsbSuccess;
}

} // namespace xmegasim
