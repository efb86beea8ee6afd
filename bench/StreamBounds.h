#pragma once

#include <omp.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include "host/threading/ThreadPool.h"

// STREAM-like bounds: the plainest loop over the same buffers, element types, streams and threads as a
// kernel (slices shared out statically over an OpenMP team when there are more than 8, which gives the
// kernels' contiguous blocks when the threads divide the slices, or rows of an image of fewer slices; one
// pool task per image for image sets), so that nothing but memory traffic limits them.
namespace bench {

template <class T>
void sumSlices(T* c, const T* a, const T* b, std::int64_t slices, std::int64_t sliceSize) {
#pragma omp parallel for schedule(static) if (slices > 8)
    for (std::int64_t slice = 0; slice < slices; ++slice) {
        for (std::int64_t i = slice * sliceSize; i < (slice + 1) * sliceSize; ++i) {
            c[i] = static_cast<T>(a[i] + b[i]);
        }
    }
}

template <class T>
void addConstantToSlices(T* c, const T* a, std::int64_t slices, std::int64_t sliceSize) {
#pragma omp parallel for schedule(static) if (slices > 8)
    for (std::int64_t slice = 0; slice < slices; ++slice) {
        for (std::int64_t i = slice * sliceSize; i < (slice + 1) * sliceSize; ++i) {
            c[i] = static_cast<T>(a[i] + T(3));
        }
    }
}

// The compute-bound counterpart for pow: one library pow per element, in double, as the kernel computes.
template <class T>
void powerOfSlices(T* c, const T* a, double exponent, std::int64_t slices, std::int64_t sliceSize) {
#pragma omp parallel for schedule(static) if (slices > 8)
    for (std::int64_t slice = 0; slice < slices; ++slice) {
        for (std::int64_t i = slice * sliceSize; i < (slice + 1) * sliceSize; ++i) {
            c[i] = static_cast<T>(std::pow(static_cast<double>(a[i]), exponent));
        }
    }
}

// c[k] = a[k] + b for each image k of a set, one pool task per image on a fresh pool of one thread per
// core, as the Set-level assignment runs them.
template <class T>
void sumImages(const std::vector<T*>& c, const std::vector<const T*>& a, const T* b, std::int64_t elements) {
    std::unique_ptr<Korvanta::Threading::ThreadPool> pool;
    for (std::size_t k = 0; k < c.size(); ++k) {
        Korvanta::ImageMath::internal::dispatchThread(
            [out = c[k], in = a[k], b, elements] {
                for (std::int64_t i = 0; i < elements; ++i) {
                    out[i] = static_cast<T>(in[i] + b[i]);
                }
            },
            pool);
    }
    pool->waitUntilFinished(std::chrono::milliseconds(0));
}

// c[k] = a[k] + constant for every image of a set, likewise.
template <class T>
void addConstantToImages(const std::vector<T*>& c, const std::vector<const T*>& a, std::int64_t elements) {
    std::unique_ptr<Korvanta::Threading::ThreadPool> pool;
    for (std::size_t k = 0; k < c.size(); ++k) {
        Korvanta::ImageMath::internal::dispatchThread(
            [out = c[k], in = a[k], elements] {
                for (std::int64_t i = 0; i < elements; ++i) {
                    out[i] = static_cast<T>(in[i] + T(3));
                }
            },
            pool);
    }
    pool->waitUntilFinished(std::chrono::milliseconds(0));
}

}  // namespace bench
