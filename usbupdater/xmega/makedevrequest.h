#pragma once

#include "mvnusbtypes.h"

#include <cstdint>

namespace MVN {
namespace USB {
class IUSBDevice;
}
} // namespace MVN

// Builds and sends one control request of the XMEGA vendor protocol:
// value 0, no data stage and a 1000 ms time-out unless set otherwise.
class MakeDevRequest
{
public:
    static constexpr uint32_t kTimeoutMs = 1000;

    MakeDevRequest(uint8_t requestType, uint8_t request, uint16_t index);

    MakeDevRequest& value(uint16_t value);
    MakeDevRequest& index(uint16_t index);
    MakeDevRequest& data(uint16_t length, void* buffer);

    // The transferred byte count is not compared with the length asked for:
    // success of the request is what counts.
    bool sendOK(MVN::USB::IUSBDevice* device);
    // Success and every byte of the data stage moved: for answers that are
    // compared or used whole, where a short one must not pass for complete.
    bool sendAll(MVN::USB::IUSBDevice* device);
    MVN::USB::MVNUsbReturn doRequest(MVN::USB::IUSBDevice* device);

    const MVN::USB::MVNUsb_DevRequest& request() const { return m_request; }

private:
    MVN::USB::MVNUsb_DevRequest m_request;
};
