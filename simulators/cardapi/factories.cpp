// The library's exported entry points. Nothing may escape them: a failure
// becomes a null result, never an exception into the host.

#include "libraryobjects.h"
#include "simulator.h"

#define CARDSIM_EXPORT extern "C" __attribute__((visibility("default")))

using namespace cardsim;

namespace {

template <typename Make>
auto guarded(Make make) noexcept -> decltype(make())
{
    try {
        return make();
    } catch (...) {
        return nullptr;
    }
}

// Stops the library's thread and removes the control socket when the host
// unloads the library or exits.
__attribute__((destructor)) void unloadSimulator()
{
    try {
        Simulator::shutdownCurrent();
    } catch (...) {
    }
}

} // namespace

CARDSIM_EXPORT IZeltraIterator *CreateZeltraIteratorInstance_0003()
{
    return guarded([]() -> IZeltraIterator * {
        return new ZeltraIteratorObject(Simulator::current()->presentDevices());
    });
}

CARDSIM_EXPORT IZeltraAPIInformation *CreateZeltraAPIInformationInstance_0001()
{
    return guarded([]() -> IZeltraAPIInformation * {
        return new APIInformationObject(Simulator::current()->apiVersion());
    });
}

CARDSIM_EXPORT IZeltraVideoConversion *CreateVideoConversionInstance_0001()
{
    return guarded([]() -> IZeltraVideoConversion * { return new VideoConversionObject; });
}

CARDSIM_EXPORT IZeltraDiscovery *CreateZeltraDiscoveryInstance_0002()
{
    return guarded([]() -> IZeltraDiscovery * { return new DiscoveryObject(Simulator::current()); });
}

// For the simulator's own tests: forget every card and start again from the
// environment at the next factory call. Objects still held stay valid but
// detached, as if every card had been unplugged.
CARDSIM_EXPORT void ZeltraSimulatorRestart()
{
    try {
        Simulator::shutdownCurrent();
    } catch (...) {
    }
}
