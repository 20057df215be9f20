#include "zeltraapilibrary.h"

#include <cstdio>
#include <utility>

#include <dlfcn.h>
#include <pthread.h>

#include "sharedlibrary.h"

namespace {

void reportLoadError()
{
    const char* error = dlerror();
    std::fprintf(stderr, "%s\n", error ? error : "");
}

template <typename Func>
Func bind(const SharedLibrary& library, const char* name)
{
    void* address = library.symbol(name);
    if (!address)
        reportLoadError();
    return reinterpret_cast<Func>(address);
}

struct ApiFactories {
    CreateZeltraIteratorInstanceFunc iterator = nullptr;
    CreateZeltraAPIInformationInstanceFunc information = nullptr;
    CreateVideoConversionInstanceFunc conversion = nullptr;
    CreateZeltraDiscoveryInstanceFunc discovery = nullptr;
};

pthread_once_t s_apiOnce = PTHREAD_ONCE_INIT;
ApiFactories s_api;
// Never freed (see the header); kept here, so that the loaded library stays
// reachable to the end of the process and no leak check counts it.
const SharedLibrary* s_apiLibrary = nullptr;

void bindApiLibrary()
{
    SharedLibrary opened("libZeltraAPI.so");
    if (!opened.isLoaded()) {
        reportLoadError();
        return;
    }
    s_apiLibrary = new SharedLibrary(std::move(opened));
    const SharedLibrary* library = s_apiLibrary;
    s_api.iterator = bind<CreateZeltraIteratorInstanceFunc>(*library, "CreateZeltraIteratorInstance_0003");
    s_api.information = bind<CreateZeltraAPIInformationInstanceFunc>(*library, "CreateZeltraAPIInformationInstance_0001");
    s_api.conversion = bind<CreateVideoConversionInstanceFunc>(*library, "CreateVideoConversionInstance_0001");
    s_api.discovery = bind<CreateZeltraDiscoveryInstanceFunc>(*library, "CreateZeltraDiscoveryInstance_0002");
}

const ApiFactories& apiFactories()
{
    pthread_once(&s_apiOnce, bindApiLibrary);
    return s_api;
}

pthread_once_t s_previewOnce = PTHREAD_ONCE_INIT;
CreateOpenGLScreenPreviewHelperFunc s_previewFactory = nullptr;
const SharedLibrary* s_previewLibrary = nullptr; // never freed, as the API library

void bindPreviewLibrary()
{
    SharedLibrary opened("libZeltraPreviewAPI.so");
    if (!opened.isLoaded()) {
        reportLoadError();
        return;
    }
    s_previewLibrary = new SharedLibrary(std::move(opened));
    s_previewFactory = bind<CreateOpenGLScreenPreviewHelperFunc>(*s_previewLibrary, "CreateOpenGLScreenPreviewHelper_0001");
}

template <typename T, typename Func>
ZeltraPtr<T> create(Func factory)
{
    return factory ? ZeltraPtr<T>::adopt(factory()) : ZeltraPtr<T>();
}

} // namespace

namespace ZeltraApiLibrary {

ZeltraPtr<IZeltraIterator> createIterator()
{
    return create<IZeltraIterator>(apiFactories().iterator);
}

ZeltraPtr<IZeltraAPIInformation> createAPIInformation()
{
    return create<IZeltraAPIInformation>(apiFactories().information);
}

ZeltraPtr<IZeltraDiscovery> createDiscovery()
{
    return create<IZeltraDiscovery>(apiFactories().discovery);
}

ZeltraPtr<IZeltraVideoConversion> createVideoConversion()
{
    return create<IZeltraVideoConversion>(apiFactories().conversion);
}

ZeltraPtr<IZeltraScreenPreviewHelper> createScreenPreviewHelper()
{
    pthread_once(&s_previewOnce, bindPreviewLibrary);
    return create<IZeltraScreenPreviewHelper>(s_previewFactory);
}

} // namespace ZeltraApiLibrary
