// Cases over image sets, through the Set-level driver, one pool task per image on the host's pool
// (whose tasks and OpenMP teams share the cores).
#include <vector>

#include "bench/BenchImages.h"
#include "bench/Measurement.h"
#include "bench/StreamBounds.h"

namespace bench {
namespace {

using SetLeaf = ImageMath::Array<SharedImageSet, void, false>;
template <class T>
using TypedSetLeaf = ImageMath::Array<SharedImageSet, T, false>;

template <class T>
std::vector<T*> elementsOfEach(SharedImageSet& set) {
    std::vector<T*> pointers;
    for (int k = 0; k < set.size(); ++k) {
        pointers.push_back(elementsOf<T>(*set.get(k)));
    }
    return pointers;
}

template <class T>
std::vector<const T*> constElementsOfEach(SharedImageSet& set) {
    const std::vector<T*> pointers = elementsOfEach<T>(set);
    return std::vector<const T*>(pointers.begin(), pointers.end());
}

// 16 float images of 1024x1024, each plus the one image of a second set, into a third set.
void floatSetPlusOneImage(benchmark::State& state) {
    const Volume plane{1024, 1024, 1};
    auto left = filledSet(PixelType::Float, plane, 16, 1);
    auto right = filledSet(PixelType::Float, plane, 1, 50);
    auto result = filledSet(PixelType::Float, plane, 16, 100);
    SetLeaf destination = leafOf<void>(*result);
    measureAgainstBound(
        state, plane.elements() * 16,
        [&] {
            sumImages(elementsOfEach<float>(*result), constElementsOfEach<float>(*left),
                      elementsOf<float>(*right->get(0)), plane.elements());
        },
        [&] {
            destination = BinaryOpTpl<ImgOps::add, SetLeaf, TypedSetLeaf<float>>(leafOf<void>(*left),
                                                                                 leafOf<float>(*right));
        });
}

// 8 uint16 volumes of 256x256x64 times a scalar, into a second set: 8 pool tasks whose kernels, with
// 64 slices each, may form OpenMP teams, so tasks and teams share the cores.
void u16SetTimesScalar(benchmark::State& state) {
    const Volume volume{256, 256, 64};
    auto left = filledSet(PixelType::UShort, volume, 8, 1);
    auto result = filledSet(PixelType::UShort, volume, 8, 100);
    SetLeaf destination = leafOf<void>(*result);
    measureAgainstBound(
        state, volume.elements() * 8,
        [&] {
            addConstantToImages(elementsOfEach<unsigned short>(*result),
                                constElementsOfEach<unsigned short>(*left), volume.elements());
        },
        [&] {
            destination = BinaryOpTpl<ImgOps::mult, SetLeaf, ImageMath::Scalar<float>>(
                leafOf<void>(*left), ImageMath::Scalar<float>(1.7f));
        });
}

}  // namespace
}  // namespace bench

BENCHMARK(bench::floatSetPlusOneImage)
    ->Name("float_set_add_one_image")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(bench::u16SetTimesScalar)
    ->Name("u16_set_scaled_mult")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
