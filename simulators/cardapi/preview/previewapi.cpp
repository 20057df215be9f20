// Preview library: the setup utility binds its factory but never calls it.

#include "simobject.h"

#include <new>

namespace {

class ScreenPreviewHelper final : public cardsim::SimObject<IZeltraScreenPreviewHelper>
{
};

} // namespace

extern "C" __attribute__((visibility("default"))) IZeltraScreenPreviewHelper *CreateOpenGLScreenPreviewHelper_0001()
{
    return new (std::nothrow) ScreenPreviewHelper;
}
