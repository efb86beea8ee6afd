#pragma once

namespace Korvanta {

// Keeps the OpenMP runtime that the kernels use loaded until the process ends, whatever the host does
// with this library. Its worker threads outlive every parallel region, idle inside the runtime's own
// code: unloading the runtime with the plug-in would pull that code from under them. The plug-in itself
// stays free to unload, since no idle worker runs any of its code. Safe to call any number of times.
void keepOpenMpRuntimeLoaded() noexcept;

}  // namespace Korvanta
