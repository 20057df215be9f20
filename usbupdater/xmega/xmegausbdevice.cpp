#include "xmegausbdevice.h"

#include "iusbdevice.h"
#include "iusbinterface.h"
#include "iusbinterfaceiterator.h"
#include "pagedaccess.h"
#include "usbref.h"

#include <algorithm>
#include <vector>

using namespace MVN::USB;

namespace {

// Vendor request codes.
enum : uint8_t {
    kGetBootloaderId = 0x00,
    kProgramIdentity = 0x01,
    kProgramUUID = 0x02,
    kFlashInfo = 0x03,
    kFlashErase = 0x04,
    kFlashWrite = 0x05,
    kFlashRead = 0x06,
    kBootloaderOrUUID = 0x10,
    kChecksumStatus = 0x11,
    kReboot = 0x12,
    kSetBcdDevice = 0x21,
    kStatus = 0x30,
    kBeginSession = 0x31,
    kEndSession = 0x32,
    kEepromCount = 0x33,
    kSelectEeprom = 0x34,
    kEepromInfo = 0x35,
    kFullErase = 0x36,
    kEraseSectors = 0x37,
    kEraseProgress = 0x38,
    kStartWrite = 0x39,
    kStartRead = 0x3A,
    kFinishRead = 0x3B,
    kSelectRegisterPage = 0x50,
    kWriteRegisters = 0x52,
    kReadRegisters = 0x53,
};

constexpr uint8_t kTypeOut = 0x41;
constexpr uint8_t kTypeIn = 0xC1;
constexpr uint8_t kTypeDeviceIn = 0xC0;

// The tag that guards the identity requests of the bootloader.
constexpr char kIdentityTag[10] = {'O', 'N', 'D', 'A', 'V', 'I', 'A', '-', 'I', 'D'};

// Register transfers stay below the 16-bit length of a control request.
constexpr uint32_t kMaxRegisterRequest = 32768;

// Request data is little-endian on the wire.
void put16(uint8_t* p, uint16_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}

void put32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(v >> (8 * i));
}

uint16_t get16(const uint8_t* p)
{
    return uint16_t(p[0] | p[1] << 8);
}

uint32_t get32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

uint64_t get64(const uint8_t* p)
{
    return uint64_t(get32(p)) | uint64_t(get32(p + 4)) << 32;
}

} // namespace

XmegaUSBDevice::XmegaUSBDevice(IUSBDevice* device)
    : m_device(device)
{
    if (m_device)
        m_device->AddRef();
}

XmegaUSBDevice::~XmegaUSBDevice()
{
    teardown();
}

void XmegaUSBDevice::addRef()
{
    ++m_refs;
}

void XmegaUSBDevice::release()
{
    if (--m_refs == 0)
        delete this;
}

void XmegaUSBDevice::teardown()
{
    if (m_interface) {
        m_interface->USBInterfaceClose();
        m_interface->Release();
        m_interface = nullptr;
    }
    if (m_device) {
        m_device->USBDeviceClose();
        m_device->Release();
        m_device = nullptr;
    }
}

MakeDevRequest XmegaUSBDevice::usbOutRequest(uint8_t code) const
{
    return MakeDevRequest(kTypeOut, code, m_interfaceNumber);
}

MakeDevRequest XmegaUSBDevice::usbInRequest(uint8_t code) const
{
    return MakeDevRequest(kTypeIn, code, m_interfaceNumber);
}

MakeDevRequest XmegaUSBDevice::usbDeviceInRequest(uint8_t code) const
{
    return MakeDevRequest(kTypeDeviceIn, code, m_interfaceNumber);
}

// ---- identity ------------------------------------------------------------

bool XmegaUSBDevice::getVendorId(uint16_t* id) const
{
    return m_device && id && m_device->GetDeviceVendor(id) == kMVNUsbSuccess;
}

bool XmegaUSBDevice::getProductId(uint16_t* id) const
{
    return m_device && id && m_device->GetDeviceProduct(id) == kMVNUsbSuccess;
}

bool XmegaUSBDevice::getReleaseId(uint16_t* id) const
{
    return m_device && id && m_device->GetDeviceReleaseNumber(id) == kMVNUsbSuccess;
}

// ---- setup ---------------------------------------------------------------

bool XmegaUSBDevice::doDeviceSetup()
{
    if (configureDevice() && openUsbInterface()) {
        // The bootloader needs no pipes; the application's EEPROM service does.
        bool bootloader = false;
        if (isInBootloader(&bootloader) && (bootloader || (m_bulkInPipe && m_bulkOutPipe)))
            return true;
    }
    teardown();
    return false;
}

bool XmegaUSBDevice::configureDevice()
{
    if (!m_device || m_device->USBDeviceOpen() != kMVNUsbSuccess)
        return false;
    uint8_t count = 0;
    if (m_device->GetNumberOfConfigurations(&count) != kMVNUsbSuccess || count < 1)
        return false;
    return m_device->SetConfigurationByIndex(0) == kMVNUsbSuccess;
}

bool XmegaUSBDevice::openUsbInterface()
{
    if (!m_device)
        return false;
    MVNUsb_FindInterfaceRequest find;
    find.interfaceClass = 0xFF;
    find.interfaceSubClass = 0xFF;
    find.interfaceProtocol = 0xFF;
    find.alternateSetting = kMVNUsbDontCare;
    UsbRef<IUSBInterfaceIterator> iterator;
    if (m_device->CreateInterfaceIterator(&find, iterator.out()) != kMVNUsbSuccess || !iterator)
        return false;
    UsbRef<IUSBInterface> interface;
    if (!iterator->Next(interface.out()) || !interface)
        return false;
    if (interface->USBInterfaceOpen() != kMVNUsbSuccess)
        return false;
    m_interface = interface.release();
    uint8_t endpoints = 0;
    if (m_interface->GetInterfaceNumber(&m_interfaceNumber) != kMVNUsbSuccess
        || m_interface->GetNumEndpoints(&endpoints) != kMVNUsbSuccess)
        return false;
    for (uint8_t pipe = 1; pipe <= endpoints; ++pipe) {
        uint8_t direction = 0;
        uint8_t type = 0;
        uint16_t maxPacket = 0;
        uint8_t interval = 0;
        if (m_interface->GetPipeProperties(pipe, &direction, &type, &maxPacket, &interval) != kMVNUsbSuccess)
            return false;
        if (type != 2)
            continue; // only the bulk pipes matter
        if (m_interface->ClearPipeStallBothEnds(pipe) != kMVNUsbSuccess)
            return false;
        if (direction == 1 && !m_bulkInPipe) {
            m_bulkInPipe = pipe;
            m_bulkInMaxPacket = maxPacket;
        } else if (direction == 0 && !m_bulkOutPipe) {
            m_bulkOutPipe = pipe;
            m_bulkOutMaxPacket = maxPacket;
        }
    }
    return true;
}

// ---- simple requests -----------------------------------------------------

bool XmegaUSBDevice::getBootloaderId(uint16_t* first, uint16_t* second)
{
    uint8_t answer[4] = {};
    if (!first || !second || !usbInRequest(kGetBootloaderId).data(sizeof answer, answer).sendOK(m_device))
        return false;
    *first = get16(answer);
    *second = get16(answer + 2);
    return true;
}

bool XmegaUSBDevice::programDeviceIdentity(uint16_t first, uint16_t second)
{
    uint8_t data[14];
    put16(data, first);
    put16(data + 2, second);
    std::memcpy(data + 4, kIdentityTag, sizeof kIdentityTag);
    return usbOutRequest(kProgramIdentity).data(sizeof data, data).sendOK(m_device);
}

bool XmegaUSBDevice::programDeviceUUID(const UUID& uuid)
{
    uint8_t data[26];
    std::memcpy(data, uuid.bytes, 16);
    std::memcpy(data + 16, kIdentityTag, sizeof kIdentityTag);
    return usbOutRequest(kProgramUUID).data(sizeof data, data).sendOK(m_device);
}

bool XmegaUSBDevice::getDeviceFlashInfo(uint16_t* pageSize, uint16_t* second)
{
    uint8_t answer[4] = {};
    if (!pageSize || !usbInRequest(kFlashInfo).data(sizeof answer, answer).sendOK(m_device))
        return false;
    *pageSize = get16(answer);
    if (second)
        *second = get16(answer + 2);
    return true;
}

bool XmegaUSBDevice::eraseFlashApp()
{
    return usbOutRequest(kFlashErase).sendOK(m_device);
}

bool XmegaUSBDevice::writeFlashApp(uint16_t page, uint16_t length, const uint8_t* data)
{
    if (length && !data)
        return false;
    return usbOutRequest(kFlashWrite).value(page).data(length, const_cast<uint8_t*>(data)).sendOK(m_device);
}

bool XmegaUSBDevice::finaliseFlashApp()
{
    return usbOutRequest(kFlashWrite).value(0).sendOK(m_device);
}

bool XmegaUSBDevice::readFlashApp(uint16_t page, uint16_t length, uint8_t* buffer)
{
    if (length && !buffer)
        return false;
    // A short answer would leave older bytes in the buffer: the read-back
    // would then compare those instead of the flash.
    return usbInRequest(kFlashRead).value(page).data(length, buffer).sendAll(m_device);
}

bool XmegaUSBDevice::isInBootloader(bool* inBootloader)
{
    uint8_t answer = 0;
    if (!inBootloader || !usbInRequest(kBootloaderOrUUID).data(1, &answer).sendOK(m_device))
        return false;
    *inBootloader = answer != 0;
    return true;
}

bool XmegaUSBDevice::getDeviceUUID(UUID* uuid)
{
    UUID answer;
    if (!uuid || !usbDeviceInRequest(kBootloaderOrUUID).data(16, answer.bytes).sendOK(m_device))
        return false;
    *uuid = answer;
    return true;
}

bool XmegaUSBDevice::getChecksumStatus(uint32_t* first, uint32_t* version)
{
    uint8_t answer[8] = {};
    if (!usbInRequest(kChecksumStatus).data(sizeof answer, answer).sendOK(m_device))
        return false;
    if (first)
        *first = get32(answer);
    if (version)
        *version = get32(answer + 4);
    return true;
}

bool XmegaUSBDevice::sendReboot(uint16_t value)
{
    if (!usbOutRequest(kReboot).value(value).sendOK(m_device))
        return false;
    // The unit is about to leave the bus; a handle already closed is fine.
    const MVNUsbReturn closed = m_device->USBDeviceClose();
    return closed == kMVNUsbSuccess || closed == kMVNUsbNotOpen;
}

bool XmegaUSBDevice::rebootToBootloader()
{
    return sendReboot(1);
}

bool XmegaUSBDevice::reboot()
{
    return sendReboot(0);
}

bool XmegaUSBDevice::setUsbBcdDevice(uint16_t bcd)
{
    return usbOutRequest(kSetBcdDevice).value(bcd).sendOK(m_device);
}

// ---- EEPROM service: control requests -------------------------------------

bool XmegaUSBDevice::getStatus(Status* status)
{
    uint8_t answer[6] = {};
    if (!status || !usbInRequest(kStatus).data(sizeof answer, answer).sendOK(m_device))
        return false;
    status->sessionOpen = answer[0] != 0;
    status->writeInProgress = answer[1] != 0 || answer[2] != 0;
    status->readInProgress = answer[3] != 0;
    status->selectedEeprom = get16(answer + 4);
    return true;
}

bool XmegaUSBDevice::isInEepromSession(bool* open)
{
    Status s;
    if (!open || !getStatus(&s))
        return false;
    *open = s.sessionOpen;
    return true;
}

bool XmegaUSBDevice::eepromWriteInProgress(bool* busy)
{
    Status s;
    if (!busy || !getStatus(&s))
        return false;
    *busy = s.writeInProgress;
    return true;
}

bool XmegaUSBDevice::eepromReadInProgress(bool* busy)
{
    Status s;
    if (!busy || !getStatus(&s))
        return false;
    *busy = s.readInProgress;
    return true;
}

bool XmegaUSBDevice::getSelectedEeprom(uint16_t* eeprom)
{
    Status s;
    if (!eeprom || !getStatus(&s))
        return false;
    *eeprom = s.selectedEeprom;
    return true;
}

bool XmegaUSBDevice::beginEepromSession()
{
    bool open = false;
    if (!isInEepromSession(&open))
        return false;
    if (open) {
        // Left open by an earlier host: close it and wait until the unit agrees.
        if (!endEepromSession())
            return false;
        do {
            if (!isInEepromSession(&open))
                return false;
        } while (open);
    }
    return usbOutRequest(kBeginSession).sendOK(m_device);
}

bool XmegaUSBDevice::endEepromSession()
{
    return usbOutRequest(kEndSession).sendOK(m_device);
}

bool XmegaUSBDevice::getNumberOfEeproms(uint16_t* count)
{
    uint8_t answer[2] = {};
    if (!count || !usbInRequest(kEepromCount).data(sizeof answer, answer).sendOK(m_device))
        return false;
    *count = get16(answer);
    return true;
}

bool XmegaUSBDevice::setSelectedEeprom(uint16_t eeprom)
{
    return usbOutRequest(kSelectEeprom).value(eeprom).sendOK(m_device);
}

bool XmegaUSBDevice::getEepromInfo(EepromInfo* info)
{
    uint8_t answer[16] = {};
    if (!info || !usbInRequest(kEepromInfo).data(sizeof answer, answer).sendOK(m_device))
        return false;
    info->size = get64(answer);
    info->sectorSize = get32(answer + 8);
    info->pageSize = get32(answer + 12);
    return true;
}

bool XmegaUSBDevice::fullEraseEeprom()
{
    return usbOutRequest(kFullErase).sendOK(m_device);
}

bool XmegaUSBDevice::eraseEepromSectors(uint32_t first, uint32_t count)
{
    uint8_t data[8];
    put32(data, first);
    put32(data + 4, count);
    return usbOutRequest(kEraseSectors).data(sizeof data, data).sendOK(m_device);
}

bool XmegaUSBDevice::getEepromEraseProgress(EraseProgress* progress)
{
    uint8_t answer[15] = {};
    if (!progress || !usbInRequest(kEraseProgress).data(sizeof answer, answer).sendOK(m_device))
        return false;
    progress->first = get32(answer);
    progress->end = get32(answer + 4);
    progress->current = get32(answer + 8);
    progress->busy = get16(answer + 12) != 0;
    progress->valid = answer[14] != 0;
    return true;
}

// ---- EEPROM service: bulk data -------------------------------------------

bool XmegaUSBDevice::chunkSize(uint32_t pageSize, uint16_t maxPacket, uint32_t* chunk)
{
    if (!chunk || pageSize == 0 || maxPacket == 0 || pageSize > kMaxChunk)
        return false;
    // A chunk must end on a page boundary and on a packet boundary.
    const uint32_t unit = (pageSize + maxPacket - 1) / maxPacket * maxPacket;
    if (unit % pageSize != 0 || unit > kMaxChunk)
        return false;
    *chunk = kMaxChunk - kMaxChunk % unit;
    return true;
}

bool XmegaUSBDevice::getTransferSize(uint16_t maxPacket, uint32_t* pageSize, uint32_t* remainder, uint32_t* chunk)
{
    EepromInfo info;
    uint32_t k = 0;
    if (!getEepromInfo(&info) || !chunkSize(info.pageSize, maxPacket, &k))
        return false;
    if (pageSize)
        *pageSize = info.pageSize;
    if (remainder)
        *remainder = kMaxChunk - k;
    if (chunk)
        *chunk = k;
    return true;
}

bool XmegaUSBDevice::transferEeprom(bool write, uint32_t length, uint8_t* buffer, ProgressCallback* progress)
{
    IUSBInterface* const pipe = m_interface;
    const uint8_t pipeNumber = write ? m_bulkOutPipe : m_bulkInPipe;
    const uint16_t maxPacket = write ? m_bulkOutMaxPacket : m_bulkInMaxPacket;
    if (!pipe || !pipeNumber || (length && !buffer))
        return false;
    uint32_t pageSize = 0;
    uint32_t chunk = 0;
    if (!getTransferSize(maxPacket, &pageSize, nullptr, &chunk))
        return false;
    const uint32_t count = uint32_t((uint64_t(length) + chunk - 1) / chunk);
    uint32_t index = 0;
    for (PagedAccess step(0, length, chunk); step; ++step, ++index) {
        if (progress)
            progress->progress(index, count);
        uint8_t* const at = buffer + step.bytesDone();
        const uint32_t bytes = uint32_t(step.pageBytes());
        if (write) {
            if (pipe->WritePipe(pipeNumber, at, bytes, kBulkTimeoutMs, kBulkTimeoutMs) != kMVNUsbSuccess)
                return false;
            // A chunk that ends on a packet boundary but inside a page needs a
            // zero-length packet, or the unit would wait for the rest.
            if (bytes % pageSize != 0 && bytes % maxPacket == 0
                && pipe->WritePipe(pipeNumber, nullptr, 0, kBulkTimeoutMs, kBulkTimeoutMs) != kMVNUsbSuccess)
                return false;
        } else {
            uint32_t got = bytes;
            if (pipe->ReadPipe(pipeNumber, at, &got, kBulkTimeoutMs, kBulkTimeoutMs) != kMVNUsbSuccess
                || got != bytes)
                return false;
        }
    }
    if (progress)
        progress->progress(count, count);
    return true;
}

bool XmegaUSBDevice::writeEeprom(uint32_t firstPage, uint32_t length, const uint8_t* data,
                                 ProgressCallback* progress)
{
    uint8_t page[4];
    put32(page, firstPage);
    if (!usbOutRequest(kStartWrite).data(sizeof page, page).sendOK(m_device))
        return false;
    return writeEepromData(length, data, progress);
}

bool XmegaUSBDevice::writeEepromData(uint32_t length, const uint8_t* data, ProgressCallback* progress)
{
    if (!transferEeprom(true, length, const_cast<uint8_t*>(data), progress))
        return false;
    return finishEepromWrite();
}

bool XmegaUSBDevice::finishEepromWrite()
{
    if (!m_interface || !m_bulkOutPipe)
        return false;
    return m_interface->WritePipe(m_bulkOutPipe, nullptr, 0, kBulkTimeoutMs, kBulkTimeoutMs) == kMVNUsbSuccess;
}

bool XmegaUSBDevice::readEeprom(uint32_t firstPage, uint32_t length, uint8_t* buffer, ProgressCallback* progress)
{
    uint8_t page[4];
    put32(page, firstPage);
    if (!usbOutRequest(kStartRead).data(sizeof page, page).sendOK(m_device))
        return false;
    if (!readEepromData(length, buffer, progress))
        return false;
    return finishEepromRead();
}

bool XmegaUSBDevice::readEepromData(uint32_t length, uint8_t* buffer, ProgressCallback* progress)
{
    return transferEeprom(false, length, buffer, progress);
}

bool XmegaUSBDevice::finishEepromRead()
{
    return usbOutRequest(kFinishRead).sendOK(m_device);
}

// ---- application flash ---------------------------------------------------

bool XmegaUSBDevice::programAppBinary(uint32_t length, const uint8_t* image)
{
    uint16_t pageSize = 0;
    if (!image || length == 0 || !getDeviceFlashInfo(&pageSize, nullptr))
        return false;
    if (pageSize < 1 || pageSize > kFlashChunk || (uint64_t(length) + pageSize - 1) / pageSize > 65536)
        return false;
    const uint32_t pagesPerChunk = kFlashChunk / pageSize;
    const uint32_t chunk = pagesPerChunk * pageSize;
    if (!eraseFlashApp())
        return false;
    uint32_t page = 0;
    for (PagedAccess step(0, length, chunk); step; ++step, page += pagesPerChunk) {
        if (!writeFlashApp(uint16_t(page), uint16_t(step.pageBytes()), image + step.bytesDone()))
            return false;
    }
    // Read everything back before the image is declared good.
    std::vector<uint8_t> readBack(kFlashChunk);
    page = 0;
    for (PagedAccess step(0, length, chunk); step; ++step, page += pagesPerChunk) {
        const uint16_t bytes = uint16_t(step.pageBytes());
        if (!readFlashApp(uint16_t(page), bytes, readBack.data())
            || std::memcmp(readBack.data(), image + step.bytesDone(), bytes) != 0)
            return false;
    }
    return finaliseFlashApp();
}

bool XmegaUSBDevice::readAppBinary(uint32_t length, uint8_t* buffer)
{
    uint16_t pageSize = 0;
    if (!buffer || !getDeviceFlashInfo(&pageSize, nullptr))
        return false;
    if (pageSize < 1 || pageSize > kFlashChunk || (uint64_t(length) + pageSize - 1) / pageSize > 65536)
        return false;
    const uint32_t pagesPerChunk = kFlashChunk / pageSize;
    uint32_t page = 0;
    for (PagedAccess step(0, length, uint64_t(pagesPerChunk) * pageSize); step; ++step, page += pagesPerChunk) {
        if (!readFlashApp(uint16_t(page), uint16_t(step.pageBytes()), buffer + step.bytesDone()))
            return false;
    }
    return true;
}

// ---- registers -----------------------------------------------------------

bool XmegaUSBDevice::readRegisters(uint32_t address, uint32_t length, uint8_t* buffer)
{
    return pagedRegisterAccess(false, address, length, buffer);
}

bool XmegaUSBDevice::writeRegisters(uint32_t address, uint32_t length, const uint8_t* data)
{
    return pagedRegisterAccess(true, address, length, const_cast<uint8_t*>(data));
}

bool XmegaUSBDevice::pagedRegisterAccess(bool write, uint32_t address, uint32_t length, uint8_t* buffer)
{
    if (length && !buffer)
        return false;
    for (PagedAccess step(address, length, kRegisterPage); step; ++step) {
        const uint64_t page = step.pageNumber();
        if (page > 0xFFFF)
            return false;
        if (int32_t(page) != m_registerPage) {
            if (!usbOutRequest(kSelectRegisterPage).value(uint16_t(page)).sendOK(m_device))
                return false;
            m_registerPage = int32_t(page);
        }
        // A whole page does not fit one request's 16-bit length.
        for (PagedAccess piece(step.pageOffset(), step.pageBytes(), kMaxRegisterRequest); piece; ++piece) {
            const uint32_t offset = uint32_t(step.pageOffset() + piece.bytesDone());
            uint8_t* at = buffer + step.bytesDone() + piece.bytesDone();
            MakeDevRequest r = write ? usbOutRequest(kWriteRegisters) : usbInRequest(kReadRegisters);
            if (!r.value(uint16_t(offset)).data(uint16_t(piece.pageBytes()), at).sendOK(m_device))
                return false;
        }
    }
    return true;
}
