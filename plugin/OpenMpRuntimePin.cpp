#include "plugin/OpenMpRuntimePin.h"

#include <dlfcn.h>
#include <omp.h>

namespace Korvanta {

void keepOpenMpRuntimeLoaded() noexcept {
    // The file that holds a runtime entry point is the runtime, wherever the loader found it. When the
    // runtime is linked into this library or the host, that file is one that stays loaded anyway.
    Dl_info runtime{};
    if (dladdr(reinterpret_cast<void*>(&omp_get_max_threads), &runtime) == 0 || !runtime.dli_fname)
        return;
    // Marks the loaded runtime as never to be unloaded; the extra reference this takes is returned at once.
    if (void* handle = dlopen(runtime.dli_fname, RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE))
        dlclose(handle);
}

}  // namespace Korvanta
