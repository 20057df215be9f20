// The PCIe updater's status answer under libFuzzer.
#include <cstdint>

#include <QByteArray>

#include "checkversionpcitool.h"
#include "device.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Device device;
    CheckVersionPCITool::parseStatus(QByteArray(reinterpret_cast<const char*>(data), int(size)), device);
    return 0;
}
