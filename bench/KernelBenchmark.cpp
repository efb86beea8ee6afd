// Throughput of the typed kernels on a 512x512x256 volume next to a STREAM-like bound with the same
// buffers, element types, access streams and OpenMP slice loop, measured in the same run.
//
// Each kernel row reports items_per_second (elements per second) and fraction_of_bound, its rate over
// the median rate of its bound kernel.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "imagemath/kernels/Kernels.h"

namespace {

namespace kernels = Korvanta::ImageMath::kernels;
namespace ImgOps = Korvanta::ImageMath::ImgOps;

constexpr std::int64_t kWidth = 512;
constexpr std::int64_t kHeight = 512;
constexpr std::int64_t kSlices = 256;
constexpr std::int64_t kSliceSize = kWidth * kHeight;
constexpr std::int64_t kElements = kSliceSize * kSlices;
const kernels::Extents kVolume{kWidth, kHeight, kSlices, 1};

// Buffers filled in parallel, slice by slice, so that pages land where the slice loop later runs.
template <class T>
std::vector<T> volume(int seed) {
    std::vector<T> buffer(static_cast<std::size_t>(kElements));
#pragma omp parallel for schedule(static)
    for (std::int64_t slice = 0; slice < kSlices; ++slice) {
        for (std::int64_t i = slice * kSliceSize; i < (slice + 1) * kSliceSize; ++i) {
            buffer[i] = static_cast<T>((i * 7 + seed) % 101);
        }
    }
    return buffer;
}

template <class T>
struct Buffers {
    std::vector<T> a = volume<T>(1);
    std::vector<T> b = volume<T>(2);
    std::vector<T> c = volume<T>(3);
};

template <class T>
Buffers<T>& buffers() {
    static Buffers<T> shared;
    return shared;
}

// The bounds: c = a + b, or c = a + a constant for one input stream, over slices like the kernels.
template <class T>
void streamAdd(T* c, const T* a, const T* b) {
#pragma omp parallel for schedule(static)
    for (std::int64_t slice = 0; slice < kSlices; ++slice) {
        for (std::int64_t i = slice * kSliceSize; i < (slice + 1) * kSliceSize; ++i) {
            c[i] = static_cast<T>(a[i] + b[i]);
        }
    }
}

template <class T>
void streamAddConstant(T* c, const T* a) {
#pragma omp parallel for schedule(static)
    for (std::int64_t slice = 0; slice < kSlices; ++slice) {
        for (std::int64_t i = slice * kSliceSize; i < (slice + 1) * kSliceSize; ++i) {
            c[i] = static_cast<T>(a[i] + T(3));
        }
    }
}

template <class Run>
double secondsOf(const Run& run) {
    const auto start = std::chrono::steady_clock::now();
    run();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Elements per second of a bound, the median of five runs, measured once per case and process.
template <class Run>
double boundRate(const std::string& name, const Run& run) {
    static std::map<std::string, double> rates;
    auto known = rates.find(name);
    if (known != rates.end()) {
        return known->second;
    }
    std::vector<double> seconds;
    for (int repetition = 0; repetition < 5; ++repetition) {
        seconds.push_back(secondsOf(run));
    }
    std::nth_element(seconds.begin(), seconds.begin() + 2, seconds.end());
    return rates[name] = static_cast<double>(kElements) / seconds[2];
}

// Times run per iteration and reports elements per second and, given a bound rate, the fraction of it.
template <class Run>
void measure(benchmark::State& state, const Run& run, double bound) {
    double total = 0.0;
    for (auto _ : state) {
        total += secondsOf(run);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kElements);
    if (bound > 0.0) {
        state.counters["fraction_of_bound"] =
            static_cast<double>(state.iterations() * kElements) / total / bound;
    }
}

void boundU8Add(benchmark::State& state) {
    auto& v = buffers<std::uint8_t>();
    measure(
        state, [&] { streamAdd(v.c.data(), v.a.data(), v.b.data()); }, 0.0);
}

void boundFloatAdd(benchmark::State& state) {
    auto& v = buffers<float>();
    measure(
        state, [&] { streamAdd(v.c.data(), v.a.data(), v.b.data()); }, 0.0);
}

void boundU16AddConstant(benchmark::State& state) {
    auto& v = buffers<std::uint16_t>();
    measure(
        state, [&] { streamAddConstant(v.c.data(), v.a.data()); }, 0.0);
}

void kernelU8PlusU8(benchmark::State& state) {
    auto& v = buffers<std::uint8_t>();
    const double bound = boundRate("u8 add", [&] { streamAdd(v.c.data(), v.a.data(), v.b.data()); });
    const kernels::Target<unsigned char> dst{v.c.data(), kVolume, 0.0, 1.0, false};
    const kernels::Source<unsigned char> lhs{v.a.data(), 0.0, 1.0, false};
    const kernels::Source<unsigned char> rhs{v.b.data(), 0.0, 1.0, false};
    measure(
        state, [&] { kernels::imageImage<ImgOps::add, unsigned char, unsigned char>(dst, lhs, rhs); }, bound);
}

void kernelFloatPlusFloat(benchmark::State& state) {
    auto& v = buffers<float>();
    const double bound = boundRate("float add", [&] { streamAdd(v.c.data(), v.a.data(), v.b.data()); });
    const kernels::Target<float> dst{v.c.data(), kVolume, 0.0, 1.0, false};
    const kernels::Source<float> lhs{v.a.data(), 0.0, 1.0, false};
    const kernels::Source<float> rhs{v.b.data(), 0.0, 1.0, false};
    measure(
        state, [&] { kernels::imageImage<ImgOps::add, float, float>(dst, lhs, rhs); }, bound);
}

void kernelU16TimesScalar(benchmark::State& state) {
    auto& v = buffers<std::uint16_t>();
    const double bound = boundRate("u16 add constant", [&] { streamAddConstant(v.c.data(), v.a.data()); });
    const kernels::Target<unsigned short> dst{v.c.data(), kVolume, 50.0, 2.0, false};
    const kernels::Source<unsigned short> lhs{v.a.data(), 100.0, 4.0, false};
    measure(
        state, [&] { kernels::imageScalar<ImgOps::mult, unsigned short>(dst, lhs, 1.7f); }, bound);
}

}  // namespace

BENCHMARK(boundU8Add)->Name("bound/u8 c=a+b")->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(kernelU8PlusU8)->Name("kernel/u8+u8->u8")->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(boundFloatAdd)->Name("bound/float c=a+b")->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(kernelFloatPlusFloat)
    ->Name("kernel/float+float->float")
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(boundU16AddConstant)->Name("bound/u16 c=a+k")->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(kernelU16TimesScalar)
    ->Name("kernel/u16*1.7 (shift 100 scale 4 -> shift 50 scale 2)")
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
