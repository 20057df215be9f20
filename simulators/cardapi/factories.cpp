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
        Simulator::shutdownCurrent(true);
    } catch (...) {
    }
}

} // namespace

CARDSIM_EXPORT IZeltraIterator *CreateZeltraIteratorInstance_0003()
{
    return guarded([]() -> IZeltraIterator * {
        auto simulator = Simulator::current();
        return simulator ? new ZeltraIteratorObject(simulator->presentDevices()) : nullptr;
    });
}

CARDSIM_EXPORT IZeltraAPIInformation *CreateZeltraAPIInformationInstance_0001()
{
    return guarded([]() -> IZeltraAPIInformation * {
        auto simulator = Simulator::current();
        return simulator ? new APIInformationObject(simulator->apiVersion()) : nullptr;
    });
}

CARDSIM_EXPORT IZeltraVideoConversion *CreateVideoConversionInstance_0001()
{
    return guarded([]() -> IZeltraVideoConversion * { return new VideoConversionObject; });
}

CARDSIM_EXPORT IZeltraDiscovery *CreateZeltraDiscoveryInstance_0002()
{
    return guarded([]() -> IZeltraDiscovery * {
        auto simulator = Simulator::current();
        return simulator ? new DiscoveryObject(std::move(simulator)) : nullptr;
    });
}

// For the simulator's own tests: forget every card and start again from the
// environment at the next factory call. Objects still held stay valid but
// detached, as if every card had been unplugged.
CARDSIM_EXPORT void ZeltraSimulatorRestart()
{
    try {
        Simulator::shutdownCurrent(false);
    } catch (...) {
    }
}
