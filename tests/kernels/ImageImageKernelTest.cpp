// Every image-image operator over all 64 (destination, right-hand) element type pairs, bit for bit
// against the reference, out of place and in place.
#include <cmath>

#include "tests/kernels/KernelTestSupport.h"

namespace kernel_test {
namespace {

template <class Pair>
class ImageImageKernel : public ::testing::Test {};
TYPED_TEST_SUITE(ImageImageKernel, ElementTypePairs);

// Every left sample meets every right sample: element (l, r) of a row-per-left-value image.
template <class Op, class T, class U, class Reference>
void expectMatchesReference(Reference reference) {
    const std::vector<T> leftSamples = sampleValues<T>();
    const std::vector<U> rightSamples = sampleValues<U>();
    std::vector<T> left;
    std::vector<U> right;
    for (T l : leftSamples) {
        for (U r : rightSamples) {
            left.push_back(l);
            right.push_back(r);
        }
    }
    const kernels::Extents extents{static_cast<std::int64_t>(rightSamples.size()),
                                   static_cast<std::int64_t>(leftSamples.size()), 1, 1};
    int caseIndex = 0;
    for (const MappingCase& m : mappingCases()) {
        SCOPED_TRACE("mapping case " + std::to_string(caseIndex++));
        std::vector<T> expected(left.size());
        for (std::size_t i = 0; i < left.size(); ++i) {
            const double real = reference(referenceRead(left[i], m.left), referenceRead(right[i], m.right));
            expected[i] = referenceElement<T>(real, m.destination);
        }
        std::vector<T> separate(left.size(), T(99));
        kernels::imageImage<Op, T, U>(targetOf(separate, extents, m.destination), sourceOf(left, m.left),
                                      sourceOf(right, m.right));
        EXPECT_TRUE(sameElements(separate, expected));

        std::vector<T> inPlace = left;
        kernels::imageImage<Op, T, U>(targetOf(inPlace, extents, m.destination), sourceOf(inPlace, m.left),
                                      sourceOf(right, m.right));
        EXPECT_TRUE(sameElements(inPlace, expected)) << "in place";
    }
}

TYPED_TEST(ImageImageKernel, Add) {
    expectMatchesReference<ImgOps::add, typename TypeParam::Destination, typename TypeParam::Right>(
        [](double a, double b) { return a + b; });
}

TYPED_TEST(ImageImageKernel, Minus) {
    expectMatchesReference<ImgOps::minus, typename TypeParam::Destination, typename TypeParam::Right>(
        [](double a, double b) { return a - b; });
}

TYPED_TEST(ImageImageKernel, Mult) {
    expectMatchesReference<ImgOps::mult, typename TypeParam::Destination, typename TypeParam::Right>(
        [](double a, double b) { return a * b; });
}

TYPED_TEST(ImageImageKernel, DivideIfNotZero) {
    expectMatchesReference<ImgOps::divideIfNotZero, typename TypeParam::Destination,
                           typename TypeParam::Right>([](double a, double b) {
        if (b == 0.0) {
            return 0.0;
        }
        return a / b;
    });
}

TYPED_TEST(ImageImageKernel, Pow) {
    expectMatchesReference<ImgOps::pow, typename TypeParam::Destination, typename TypeParam::Right>(
        [](double a, double b) { return std::pow(a, b); });
}

}  // namespace
}  // namespace kernel_test
