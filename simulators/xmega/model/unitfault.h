#pragma once

#include <cstdint>

namespace xmegasim {

// What a fault does to the transfer it hits.
enum class FaultKind {
    Stall,   // the unit answers with a stall handshake
    Timeout, // the unit never answers; the transfer blocks for its time-out
    Unplug,  // the unit leaves the bus at this point and stays away
    Short,   // an IN control request is answered with only the first half
             // of its data (none of a single byte); the rest of the
             // caller's buffer is left as it was
};

// One injected fault: hits the (pass + 1)-th transfer that matches and then
// the next times − 1 ones (times < 0: every later one).
struct UnitFault
{
    FaultKind kind = FaultKind::Stall;
    bool bulk = false;     // false: a control request, true: a bulk transfer
    int request = -1;      // control request code, −1 = any
    int requestType = -1;  // control request type, −1 = any
    int endpoint = -1;     // bulk endpoint address, −1 = any
    // Every vendor control request and every bulk transfer counts, whatever
    // the fields above say: a fault at the n-th transfer of an exchange.
    bool anyTransfer = false;
    int pass = 0;
    int times = 1;

    static UnitFault control(uint8_t request, FaultKind kind)
    {
        UnitFault f;
        f.kind = kind;
        f.request = request;
        return f;
    }
    static UnitFault onBulk(uint8_t endpoint, FaultKind kind)
    {
        UnitFault f;
        f.kind = kind;
        f.bulk = true;
        f.endpoint = endpoint;
        return f;
    }
    // At the (index + 1)-th vendor control request or bulk transfer.
    static UnitFault atTransfer(int index, FaultKind kind)
    {
        UnitFault f;
        f.kind = kind;
        f.anyTransfer = true;
        f.pass = index;
        return f;
    }
    UnitFault& ofType(uint8_t type) { requestType = type; return *this; }
    UnitFault& after(int count) { pass = count; return *this; }
    UnitFault& repeat(int count) { times = count; return *this; }
};

} // namespace xmegasim
