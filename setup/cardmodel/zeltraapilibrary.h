#pragma once

#include "zeltraapi.h"
#include "zeltraptr.h"

// Run-time binding of the card driver API library, libZeltraAPI.so.
//
// The library is loaded once per process, at the first factory call from any
// thread; a load or lookup failure is written to standard error once, and
// every factory of a library that could not be bound answers null. The
// library then stays loaded until the process ends: it runs threads of its
// own that must not lose their code while static objects are destroyed.
namespace ZeltraApiLibrary {

ZeltraPtr<IZeltraIterator> createIterator();
ZeltraPtr<IZeltraAPIInformation> createAPIInformation();
ZeltraPtr<IZeltraDiscovery> createDiscovery();
// Bound with the others but not used by the utility.
ZeltraPtr<IZeltraVideoConversion> createVideoConversion();

// The preview library, libZeltraPreviewAPI.so, is bound the same way at the
// first call of its factory; the utility never calls it.
ZeltraPtr<IZeltraScreenPreviewHelper> createScreenPreviewHelper();

} // namespace ZeltraApiLibrary
