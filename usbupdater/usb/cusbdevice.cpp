#include "cusbdevice.h"

#include "cusbinterfaceiterator.h"
#include "libusbholders.h"

#include <dirent.h>

#include <cstdio>
#include <limits>
#include <memory>
#include <string>

namespace MVN {
namespace USB {

namespace {

constexpr const char* kSysfsUsbDevices = "/sys/bus/usb/devices";

bool readUnsigned(const std::string& path, const char* format, unsigned* value)
{
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "r"), &std::fclose);
    return file && std::fscanf(file.get(), format, value) == 1;
}

// Link speed in Mbit/s from the sysfs entry whose busnum/devnum match.
bool sysfsSpeed(unsigned bus, unsigned address, int* mbits)
{
    std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(kSysfsUsbDevices), &closedir);
    if (!dir)
        return false;
    while (const dirent* entry = readdir(dir.get())) {
        if (entry->d_name[0] == '.')
            continue;
        const std::string base = std::string(kSysfsUsbDevices) + "/" + entry->d_name + "/";
        unsigned entryBus = 0;
        unsigned entryAddress = 0;
        if (!readUnsigned(base + "busnum", "%u", &entryBus) || !readUnsigned(base + "devnum", "%u", &entryAddress))
            continue;
        if (entryBus != bus || entryAddress != address)
            continue;
        unsigned speed = 0;
        // The file may say "1.5" for low speed; the integer part is enough.
        if (!readUnsigned(base + "speed", "%u", &speed))
            return false;
        *mbits = static_cast<int>(speed);
        return true;
    }
    return false;
}

} // namespace

CUSBDevice::CUSBDevice(libusb_device* device)
    : m_device(libusb_ref_device(device))
{
    if (libusb_get_device_descriptor(m_device, &m_descriptor) != LIBUSB_SUCCESS)
        m_descriptor = libusb_device_descriptor{};
}

CUSBDevice::~CUSBDevice()
{
    if (libusb_device_handle* handle = m_handle.exchange(nullptr))
        libusb_close(handle);
    libusb_unref_device(m_device);
}

uint32_t CUSBDevice::AddRef()
{
    return ++m_refCount;
}

uint32_t CUSBDevice::Release()
{
    const uint32_t count = --m_refCount;
    if (count == 0)
        delete this;
    return count;
}

uint16_t CUSBDevice::locationKey() const
{
    return static_cast<uint16_t>(libusb_get_bus_number(m_device) << 8 | libusb_get_device_address(m_device));
}

MVNUsbReturn CUSBDevice::DeviceRequest(MVNUsb_DevRequest* request)
{
    if (!request || (request->length > 0 && !request->data))
        return kMVNUsbInvalidArgument;
    libusb_device_handle* handle = m_handle.load();
    if (!handle)
        return kMVNUsbNotOpen;
    const int result = libusb_control_transfer(handle, request->requestType, request->request, request->value,
                                               request->index, static_cast<unsigned char*>(request->data),
                                               request->length, request->completionTimeout);
    if (result < 0)
        return LibUsbReturnToMVNUsbReturn(result);
    request->lengthDone = static_cast<uint32_t>(result);
    return kMVNUsbSuccess;
}

MVNUsbReturn CUSBDevice::GetConfigurationIndex(uint8_t* index)
{
    if (!index)
        return kMVNUsbInvalidArgument;
    const int current = m_configurationIndex.load();
    if (current < 0)
        return kMVNUsbGeneralFailure;
    *index = static_cast<uint8_t>(current);
    return kMVNUsbSuccess;
}

#define MVN_DESCRIPTOR_GETTER(name, type, field)                                                                      \
    MVNUsbReturn CUSBDevice::name(type* out)                                                                           \
    {                                                                                                                  \
        if (!out)                                                                                                      \
            return kMVNUsbInvalidArgument;                                                                             \
        *out = m_descriptor.field;                                                                                     \
        return kMVNUsbSuccess;                                                                                         \
    }

MVN_DESCRIPTOR_GETTER(GetDeviceClass, uint8_t, bDeviceClass)
MVN_DESCRIPTOR_GETTER(GetDeviceProduct, uint16_t, idProduct)
MVN_DESCRIPTOR_GETTER(GetDeviceProtocol, uint8_t, bDeviceProtocol)
MVN_DESCRIPTOR_GETTER(GetDeviceReleaseNumber, uint16_t, bcdDevice)
MVN_DESCRIPTOR_GETTER(GetDeviceSubClass, uint8_t, bDeviceSubClass)
MVN_DESCRIPTOR_GETTER(GetDeviceVendor, uint16_t, idVendor)
MVN_DESCRIPTOR_GETTER(GetNumberOfConfigurations, uint8_t, bNumConfigurations)

#undef MVN_DESCRIPTOR_GETTER

MVNUsbReturn CUSBDevice::GetDeviceSpeed(uint8_t* speed)
{
    if (!speed)
        return kMVNUsbInvalidArgument;
    int mbits = 0;
    if (!sysfsSpeed(libusb_get_bus_number(m_device), libusb_get_device_address(m_device), &mbits)) {
        *speed = 1; // full speed is the safe guess
        return kMVNUsbGeneralFailure;
    }
    *speed = mbits <= 11 ? 0 : mbits < 480 ? 1 : 2;
    return kMVNUsbSuccess;
}

MVNUsbReturn CUSBDevice::GetLocationID(uint32_t* locationId)
{
    if (!locationId)
        return kMVNUsbInvalidArgument;
    return kMVNUsbGeneralFailure;
}

MVNUsbReturn CUSBDevice::SetConfigurationByIndex(uint8_t index)
{
    libusb_device_handle* handle = m_handle.load();
    if (!handle)
        return kMVNUsbSuccess;
    if (index >= m_descriptor.bNumConfigurations)
        return kMVNUsbConfigurationOutOfRange;

    int value = 0;
    {
        libusb_config_descriptor* config = nullptr;
        const int result = libusb_get_config_descriptor(m_device, index, &config);
        if (result != LIBUSB_SUCCESS)
            return LibUsbReturnToMVNUsbReturn(result);
        value = ConfigDescriptorPtr(config)->bConfigurationValue;
    }

    const int result = libusb_set_configuration(handle, value);
    MVNUsbReturn status = LibUsbReturnToMVNUsbReturn(result);
    if (status == kMVNUsbGeneralFailure) {
        // Busy (an interface is claimed) is fine when it is already active.
        int active = 0;
        if (libusb_get_configuration(handle, &active) == LIBUSB_SUCCESS && active == value)
            status = kMVNUsbSuccess;
    }
    if (status == kMVNUsbSuccess)
        m_configurationIndex = index;
    return status;
}

MVNUsbReturn CUSBDevice::USBDeviceOpen()
{
    if (m_handle.load())
        return kMVNUsbAccessDenied;
    libusb_device_handle* handle = nullptr;
    const int result = libusb_open(m_device, &handle);
    if (result != LIBUSB_SUCCESS)
        return LibUsbReturnToMVNUsbReturn(result);
    libusb_device_handle* expected = nullptr;
    if (!m_handle.compare_exchange_strong(expected, handle)) {
        libusb_close(handle); // another thread won the race
        return kMVNUsbAccessDenied;
    }
    return kMVNUsbSuccess;
}

MVNUsbReturn CUSBDevice::USBDeviceClose()
{
    libusb_device_handle* handle = m_handle.exchange(nullptr);
    if (!handle)
        return kMVNUsbNotOpen;
    libusb_close(handle);
    return kMVNUsbSuccess;
}

MVNUsbReturn CUSBDevice::USBDeviceReset()
{
    libusb_device_handle* handle = m_handle.load();
    if (!handle)
        return kMVNUsbNotOpen;
    return LibUsbReturnToMVNUsbReturn(libusb_reset_device(handle));
}

MVNUsbReturn CUSBDevice::CreateInterfaceIterator(MVNUsb_FindInterfaceRequest* request,
                                                 IUSBInterfaceIterator** iterator)
{
    if (!request || !iterator)
        return kMVNUsbInvalidArgument;
    if (m_configurationIndex.load() < 0)
        return kMVNUsbGeneralFailure;
    *iterator = new CUSBInterfaceIterator(this, request);
    return kMVNUsbSuccess;
}

} // namespace USB
} // namespace MVN
