#pragma once

#include "unitconfig.h"
#include "xmegaunit.h"

#include <memory>
#include <mutex>
#include <vector>

class OndaviaXmegaUSBDevice;

namespace MVN {
namespace USB {
class IUSBDevice;
}
} // namespace MVN

namespace xmegasim {
class InProcessBus;
}

// One emulated unit on the in-process bus, with the arrival handling the
// application does: every arrival gets a set-up device object, and a unit
// that comes back to a Device the device manager holds is handed to it.
class UnitRig
{
public:
    explicit UnitRig(const xmegasim::UnitConfig& config = xmegasim::UnitConfig());
    ~UnitRig();

    xmegasim::XmegaUnit& unit() { return *m_unit; }
    // The object of the latest arrival (the rig keeps a reference); null
    // while the unit is away or when its setup failed.
    OndaviaXmegaUSBDevice* device();
    bool waitForDevice(int timeoutMs);
    unsigned arrivals() const;

private:
    void onAdded(MVN::USB::IUSBDevice* device);
    void onRemoved(MVN::USB::IUSBDevice* device);

    std::shared_ptr<xmegasim::XmegaUnit> m_unit;
    mutable std::mutex m_mutex;
    OndaviaXmegaUSBDevice* m_device = nullptr;
    unsigned m_arrivals = 0;
    std::unique_ptr<xmegasim::InProcessBus> m_bus;
};

// Firmware images and packages for the emulated model.
namespace TestImages {

// An FPGA image: version header (0, version, completion marker) and a body.
std::vector<uint8_t> fpga(uint8_t version, size_t size, uint8_t seed = 0);

struct Part
{
    int resourceId = 0;
    uint32_t version = 0;
    std::vector<uint8_t> data;
    uint8_t target = 0;
    uint32_t address = 0;
    bool compress = false;
};

// Writes one package for the model's USB id; false on failure.
bool writePackage(const std::string& path, const std::vector<Part>& parts,
                  uint16_t productId = xmegasim::kUnitProductId);

} // namespace TestImages
