#include "cusbinterface.h"

#include "cusbdevice.h"

#include <libusb.h>

#include <climits>
#include <memory>
#include <new>

namespace MVN {
namespace USB {

namespace {

// What an asynchronous transfer needs to report back.
struct AsyncContext
{
    MVNUsb_AsyncCallback callback;
    void* context;
};

struct TransferDeleter
{
    void operator()(libusb_transfer* transfer) const { libusb_free_transfer(transfer); }
};
using TransferPtr = std::unique_ptr<libusb_transfer, TransferDeleter>;

void LIBUSB_CALL asyncDone(libusb_transfer* finished)
{
    const TransferPtr transfer(finished);
    const std::unique_ptr<AsyncContext> async(static_cast<AsyncContext*>(finished->user_data));
    async->callback(LibUsbTransferStatusToMVNUsbReturn(finished->status),
                    static_cast<uint32_t>(finished->actual_length), async->context);
}

} // namespace

CUSBInterface::CUSBInterface(CUSBDevice* device, int interfaceIndex, int alternateIndex)
    : m_device(device)
{
    const int index = device->configurationIndex();
    if (index >= 0)
        m_config = readConfigDescriptor(device->libusbDevice(), static_cast<uint8_t>(index));
    if (!m_config || interfaceIndex < 0 || interfaceIndex >= m_config->bNumInterfaces || alternateIndex < 0
        || alternateIndex >= m_config->interface[interfaceIndex].num_altsetting)
        throw MVNUsb_Exception();
    m_interface = &m_config->interface[interfaceIndex].altsetting[alternateIndex];
    m_device->AddRef();
}

CUSBInterface::~CUSBInterface()
{
    if (m_claimed.load()) {
        if (libusb_device_handle* handle = m_device->handle())
            libusb_release_interface(handle, m_interface->bInterfaceNumber);
    }
    m_device->Release();
}

uint32_t CUSBInterface::AddRef()
{
    return ++m_refCount;
}

uint32_t CUSBInterface::Release()
{
    const uint32_t count = --m_refCount;
    if (count == 0)
        delete this;
    return count;
}

#define MVN_INTERFACE_GETTER(name, field)                                                                             \
    MVNUsbReturn CUSBInterface::name(uint8_t* out)                                                                     \
    {                                                                                                                  \
        if (!out)                                                                                                      \
            return kMVNUsbInvalidArgument;                                                                             \
        *out = m_interface->field;                                                                                     \
        return kMVNUsbSuccess;                                                                                         \
    }

MVN_INTERFACE_GETTER(GetInterfaceClass, bInterfaceClass)
MVN_INTERFACE_GETTER(GetInterfaceNumber, bInterfaceNumber)
MVN_INTERFACE_GETTER(GetInterfaceProtocol, bInterfaceProtocol)
MVN_INTERFACE_GETTER(GetInterfaceSubClass, bInterfaceSubClass)
MVN_INTERFACE_GETTER(GetNumEndpoints, bNumEndpoints)

#undef MVN_INTERFACE_GETTER

const libusb_endpoint_descriptor* CUSBInterface::endpoint(uint8_t pipe) const
{
    // Pipe 0 would be the control endpoint, which has no descriptor here.
    if (pipe == 0 || pipe > m_interface->bNumEndpoints)
        return nullptr;
    return &m_interface->endpoint[pipe - 1];
}

MVNUsbReturn CUSBInterface::GetPipeProperties(uint8_t pipe, uint8_t* direction, uint8_t* transferType,
                                              uint16_t* maxPacketSize, uint8_t* interval)
{
    if (!direction || !transferType || !maxPacketSize || !interval)
        return kMVNUsbInvalidArgument;
    const libusb_endpoint_descriptor* ep = endpoint(pipe);
    if (!ep)
        return kMVNUsbPipeOutOfRange;
    *direction = (ep->bEndpointAddress & LIBUSB_ENDPOINT_IN) ? 1 : 0;
    *transferType = ep->bmAttributes & LIBUSB_TRANSFER_TYPE_MASK;
    *maxPacketSize = ep->wMaxPacketSize;
    *interval = ep->bInterval;
    return kMVNUsbSuccess;
}

MVNUsbReturn CUSBInterface::ClearPipeStallBothEnds(uint8_t pipe)
{
    const libusb_endpoint_descriptor* ep = endpoint(pipe);
    if (!ep)
        return kMVNUsbPipeOutOfRange;
    libusb_device_handle* handle = m_device->handle();
    if (!handle)
        return kMVNUsbNotOpen;
    return LibUsbReturnToMVNUsbReturn(libusb_clear_halt(handle, ep->bEndpointAddress));
}

MVNUsbReturn CUSBInterface::transfer(uint8_t pipe, unsigned char* buffer, uint32_t length, uint32_t* done,
                                     uint32_t timeout)
{
    *done = 0;
    const libusb_endpoint_descriptor* ep = endpoint(pipe);
    if (!ep)
        return kMVNUsbPipeOutOfRange;
    if (length > static_cast<uint32_t>(INT_MAX))
        return kMVNUsbInvalidArgument;
    libusb_device_handle* handle = m_device->handle();
    if (!handle)
        return kMVNUsbNotOpen;
    int transferred = 0;
    int result = 0;
    switch (ep->bmAttributes & LIBUSB_TRANSFER_TYPE_MASK) {
    case LIBUSB_TRANSFER_TYPE_BULK:
        result = libusb_bulk_transfer(handle, ep->bEndpointAddress, buffer, static_cast<int>(length), &transferred,
                                      timeout);
        break;
    case LIBUSB_TRANSFER_TYPE_INTERRUPT:
        result = libusb_interrupt_transfer(handle, ep->bEndpointAddress, buffer, static_cast<int>(length),
                                           &transferred, timeout);
        break;
    default:
        return kMVNUsbGeneralFailure;
    }
    *done = transferred > 0 ? static_cast<uint32_t>(transferred) : 0;
    return LibUsbReturnToMVNUsbReturn(result);
}

MVNUsbReturn CUSBInterface::ReadPipe(uint8_t pipe, void* buffer, uint32_t* length, uint32_t /*noDataTimeout*/,
                                     uint32_t completionTimeout)
{
    if (!length || (!buffer && *length > 0))
        return kMVNUsbInvalidArgument;
    uint32_t done = 0;
    const MVNUsbReturn result =
        transfer(pipe, static_cast<unsigned char*>(buffer), *length, &done, completionTimeout);
    if (result != kMVNUsbPipeOutOfRange && result != kMVNUsbInvalidArgument)
        *length = done;
    return result;
}

MVNUsbReturn CUSBInterface::WritePipe(uint8_t pipe, const void* buffer, uint32_t length, uint32_t /*noDataTimeout*/,
                                      uint32_t completionTimeout)
{
    if (!buffer && length > 0)
        return kMVNUsbInvalidArgument;
    uint32_t done = 0;
    // libusb only reads an OUT buffer.
    return transfer(pipe, static_cast<unsigned char*>(const_cast<void*>(buffer)), length, &done, completionTimeout);
}

MVNUsbReturn CUSBInterface::submit(uint8_t pipe, unsigned char* buffer, uint32_t length,
                                   MVNUsb_AsyncCallback callback, void* context)
{
    if (!callback || (!buffer && length > 0) || length > static_cast<uint32_t>(INT_MAX))
        return kMVNUsbInvalidArgument;
    const libusb_endpoint_descriptor* ep = endpoint(pipe);
    if (!ep)
        return kMVNUsbPipeOutOfRange;
    const int type = ep->bmAttributes & LIBUSB_TRANSFER_TYPE_MASK;
    if (type != LIBUSB_TRANSFER_TYPE_BULK && type != LIBUSB_TRANSFER_TYPE_INTERRUPT)
        return kMVNUsbGeneralFailure;
    libusb_device_handle* handle = m_device->handle();
    if (!handle)
        return kMVNUsbNotOpen;

    std::unique_ptr<AsyncContext> async(new (std::nothrow) AsyncContext{callback, context});
    TransferPtr transfer(libusb_alloc_transfer(0));
    if (!async || !transfer)
        return kMVNUsbGeneralFailure;
    if (type == LIBUSB_TRANSFER_TYPE_BULK)
        libusb_fill_bulk_transfer(transfer.get(), handle, ep->bEndpointAddress, buffer, static_cast<int>(length),
                                  asyncDone, async.get(), 0);
    else
        libusb_fill_interrupt_transfer(transfer.get(), handle, ep->bEndpointAddress, buffer,
                                       static_cast<int>(length), asyncDone, async.get(), 0);
    const int result = libusb_submit_transfer(transfer.get());
    if (result != LIBUSB_SUCCESS) {
        const MVNUsbReturn status = LibUsbReturnToMVNUsbReturn(result);
        return status == kMVNUsbSuccess ? kMVNUsbGeneralFailure : status;
    }
    // From here on asyncDone owns both.
    async.release();
    transfer.release();
    return kMVNUsbSuccess;
}

MVNUsbReturn CUSBInterface::ReadPipeAsync(uint8_t pipe, void* buffer, uint32_t length, MVNUsb_AsyncCallback callback,
                                          void* context)
{
    return submit(pipe, static_cast<unsigned char*>(buffer), length, callback, context);
}

MVNUsbReturn CUSBInterface::WritePipeAsync(uint8_t pipe, const void* buffer, uint32_t length,
                                           MVNUsb_AsyncCallback callback, void* context)
{
    return submit(pipe, static_cast<unsigned char*>(const_cast<void*>(buffer)), length, callback, context);
}

MVNUsbReturn CUSBInterface::USBInterfaceOpen()
{
    if (m_claimed.load())
        return kMVNUsbAccessDenied;
    libusb_device_handle* handle = m_device->handle();
    if (!handle)
        return kMVNUsbNotOpen;
    const int result = libusb_claim_interface(handle, m_interface->bInterfaceNumber);
    if (result != LIBUSB_SUCCESS)
        return LibUsbReturnToMVNUsbReturn(result);
    m_claimed = true;
    return kMVNUsbSuccess;
}

MVNUsbReturn CUSBInterface::USBInterfaceClose()
{
    if (!m_claimed.load())
        return kMVNUsbGeneralFailure;
    libusb_device_handle* handle = m_device->handle();
    // Closing the device already released every claim.
    const int result = handle ? libusb_release_interface(handle, m_interface->bInterfaceNumber) : LIBUSB_SUCCESS;
    if (result != LIBUSB_SUCCESS && result != LIBUSB_ERROR_NO_DEVICE)
        return LibUsbReturnToMVNUsbReturn(result);
    m_claimed = false;
    return kMVNUsbSuccess;
}

} // namespace USB
} // namespace MVN
