// Cases over one image, through the image-level driver (GPU declined, CPU kernel on the calling thread,
// whose OpenMP team shares out the image in one contiguous block per thread).
#include <omp.h>

#include "bench/BenchImages.h"
#include "bench/Measurement.h"
#include "bench/StreamBounds.h"

namespace bench {
namespace {

const Volume kVolume{512, 512, 256};
const Volume kPlane{4096, 4096, 1};

using ImageLeaf = ImageMath::Array<SharedImage, void, false>;
template <class T>
using TypedImageLeaf = ImageMath::Array<SharedImage, T, false>;

// Runs `run` with a team of one thread.
template <class Run>
auto onOneThread(const Run& run) {
    return [&run] {
        const int allThreads = omp_get_max_threads();
        omp_set_num_threads(1);
        run();
        omp_set_num_threads(allThreads);
    };
}

enum class Threads { one, all };

// destination = left + right for images of element type T (shift 0, scale 1), against c = a + b. For an
// image of 8 or fewer slices, the bound for all threads shares out rows.
template <class T>
void sumOfTwoImages(benchmark::State& state, PixelType type, const Volume& v,
                    Threads threads = Threads::all) {
    auto left = filledImage(type, v, 1);
    auto right = filledImage(type, v, 2);
    auto result = filledImage(type, v, 3);
    ImageLeaf destination = leafOf<void>(*result);
    const auto bound = [&] {
        const bool byRows = threads == Threads::all && v.slices <= 8;
        sumSlices(elementsOf<T>(*result), elementsOf<T>(*left), elementsOf<T>(*right),
                  byRows ? std::int64_t{v.height} * v.slices : v.slices, byRows ? v.width : v.sliceSize());
    };
    const auto kernel = [&] {
        destination =
            BinaryOpTpl<ImgOps::add, ImageLeaf, TypedImageLeaf<T>>(leafOf<void>(*left), leafOf<T>(*right));
    };
    if (threads == Threads::one) {
        measureAgainstBound(state, v.elements(), onOneThread(bound), onOneThread(kernel));
    } else {
        measureAgainstBound(state, v.elements(), bound, kernel);
    }
}

void u8PlusU8Volume(benchmark::State& state) {
    sumOfTwoImages<unsigned char>(state, PixelType::UByte, kVolume);
}

void floatPlusFloatVolume(benchmark::State& state) {
    sumOfTwoImages<float>(state, PixelType::Float, kVolume);
}

void u8PlusU8PlaneOneThread(benchmark::State& state) {
    sumOfTwoImages<unsigned char>(state, PixelType::UByte, kPlane, Threads::one);
}

void u8PlusU8Plane(benchmark::State& state) {
    sumOfTwoImages<unsigned char>(state, PixelType::UByte, kPlane);
}

// Stored u16 with shift 100 and scale 4, times 1.7, into u16 with shift 50 and scale 2; against c = a + k.
void u16TimesScalarVolume(benchmark::State& state) {
    auto left = filledImage(PixelType::UShort, kVolume, 1, 100.0, 4.0);
    auto result = filledImage(PixelType::UShort, kVolume, 3, 50.0, 2.0);
    ImageLeaf destination = leafOf<void>(*result);
    measureAgainstBound(
        state, kVolume.elements(),
        [&] {
            addConstantToSlices(elementsOf<unsigned short>(*result), elementsOf<unsigned short>(*left),
                                kVolume.slices, kVolume.sliceSize());
        },
        [&] {
            destination = BinaryOpTpl<ImgOps::mult, ImageLeaf, ImageMath::Scalar<float>>(
                leafOf<void>(*left), ImageMath::Scalar<float>(1.7f));
        });
}

// float to the power 2.5, one thread and all threads: pow is compute-bound, so the measure is scaling,
// against the scaling of a plain loop of pow.
void floatPowVolume(benchmark::State& state) {
    auto base = filledImage(PixelType::Float, kVolume, 1);
    auto result = filledImage(PixelType::Float, kVolume, 3);
    ImageLeaf destination = leafOf<void>(*result);
    const auto kernel = [&] {
        destination = BinaryOpTpl<ImgOps::pow, ImageLeaf, ImageMath::Scalar<float>>(
            leafOf<void>(*base), ImageMath::Scalar<float>(2.5f));
    };
    const auto bound = [&] {
        powerOfSlices(elementsOf<float>(*result), elementsOf<float>(*base), 2.5, kVolume.slices,
                      kVolume.sliceSize());
    };
    measureScaling(state, kVolume.elements(), onOneThread(bound), onOneThread(kernel), bound, kernel);
}

// float squared (pow with exponent 2), all threads, against c = a + k over the same streams.
void floatSquareVolume(benchmark::State& state) {
    auto base = filledImage(PixelType::Float, kVolume, 1);
    auto result = filledImage(PixelType::Float, kVolume, 3);
    ImageLeaf destination = leafOf<void>(*result);
    measureAgainstBound(
        state, kVolume.elements(),
        [&] {
            addConstantToSlices(elementsOf<float>(*result), elementsOf<float>(*base), kVolume.slices,
                                kVolume.sliceSize());
        },
        [&] {
            destination = BinaryOpTpl<ImgOps::pow, ImageLeaf, ImageMath::Scalar<float>>(
                leafOf<void>(*base), ImageMath::Scalar<float>(2.0f));
        });
}

}  // namespace
}  // namespace bench

BENCHMARK(bench::u8PlusU8Volume)->Name("u8_add_volume")->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(bench::floatPlusFloatVolume)
    ->Name("float_add_volume")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(bench::u16TimesScalarVolume)
    ->Name("u16_scaled_mult_volume")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(bench::u8PlusU8PlaneOneThread)
    ->Name("u8_add_plane_one_thread")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(bench::floatPowVolume)
    ->Name("float_pow_volume_speedup")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(bench::u8PlusU8Plane)->Name("u8_add_plane")->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(bench::floatSquareVolume)
    ->Name("float_square_volume")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
