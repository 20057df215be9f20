#pragma once

#include "mvnusbtypes.h"

namespace MVN {
namespace USB {

class IUSBInterface;

// Walks the alternate settings of a configuration that match a
// MVNUsb_FindInterfaceRequest. Reference counted like IUSBDevice.
class IUSBInterfaceIterator
{
public:
    virtual uint32_t AddRef() = 0;
    virtual uint32_t Release() = 0;
    // The next match, with one reference for the caller; false at the end.
    virtual bool Next(IUSBInterface** interface) = 0;

    virtual ~IUSBInterfaceIterator() = default;
};

} // namespace USB
} // namespace MVN
