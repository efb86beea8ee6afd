#pragma once

// The plug-in library is built with hidden visibility; only what the host reaches is marked with this.
#define IMAGEMATH_EXPORT __attribute__((visibility("default")))
// Members of an exported class that only the library itself calls.
#define IMAGEMATH_INTERNAL __attribute__((visibility("hidden")))
