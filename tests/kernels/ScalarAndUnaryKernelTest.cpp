// The scalar and unary kernels over the eight element types, bit for bit against the reference.
#include <cmath>
#include <limits>

#include "tests/kernels/KernelTestSupport.h"

namespace kernel_test {
namespace {

template <class T>
class ScalarAndUnaryKernel : public ::testing::Test {};
TYPED_TEST_SUITE(ScalarAndUnaryKernel, ElementTypes);

std::vector<float> scalarSamples() {
    using L = std::numeric_limits<float>;
    return {1.0f,          0.0f,           -0.0f,          0.5f,           -1.0f, 0.1f,
            2.5f,          2.0f,           1.0f / 3.0f,    1e6f,           -3e9f, 4294967808.0f,
            L::infinity(), -L::infinity(), L::quiet_NaN(), L::denorm_min()};
}

// Runs one kernel over every sample of T for every mapping case, out of place and in place.
template <class T, class Kernel, class Reference>
void expectMatchesReference(Kernel kernel, Reference reference) {
    const std::vector<T> samples = sampleValues<T>();
    const kernels::Extents extents = flatExtents(samples.size());
    for (const MappingCase& m : mappingCases()) {
        std::vector<T> expected(samples.size());
        for (std::size_t i = 0; i < samples.size(); ++i) {
            expected[i] = referenceElement<T>(reference(referenceRead(samples[i], m.left)), m.destination);
        }
        std::vector<T> separate(samples.size(), T(99));
        kernel(targetOf(separate, extents, m.destination), sourceOf(samples, m.left));
        EXPECT_TRUE(sameElements(separate, expected));

        std::vector<T> inPlace = samples;
        kernel(targetOf(inPlace, extents, m.destination), sourceOf(inPlace, m.left));
        EXPECT_TRUE(sameElements(inPlace, expected)) << "in place";
    }
}

template <class Op, class T, class Reference>
void expectScalarMatchesReference(Reference reference) {
    for (float s : scalarSamples()) {
        SCOPED_TRACE("scalar " + show(s));
        expectMatchesReference<T>(
            [s](const kernels::Target<T>& dst, const kernels::Source<T>& lhs) {
                kernels::imageScalar<Op, T>(dst, lhs, s);
            },
            [s, reference](double a) { return reference(a, static_cast<double>(s)); });
    }
}

TYPED_TEST(ScalarAndUnaryKernel, AddScalar) {
    expectScalarMatchesReference<ImgOps::add, TypeParam>([](double a, double b) { return a + b; });
}

TYPED_TEST(ScalarAndUnaryKernel, MinusScalar) {
    expectScalarMatchesReference<ImgOps::minus, TypeParam>([](double a, double b) { return a - b; });
}

TYPED_TEST(ScalarAndUnaryKernel, MultScalar) {
    expectScalarMatchesReference<ImgOps::mult, TypeParam>([](double a, double b) { return a * b; });
}

TYPED_TEST(ScalarAndUnaryKernel, DivideScalar) {
    expectScalarMatchesReference<ImgOps::divide, TypeParam>([](double a, double b) { return a / b; });
}

TYPED_TEST(ScalarAndUnaryKernel, PowScalar) {
    expectScalarMatchesReference<ImgOps::pow, TypeParam>([](double a, double b) { return std::pow(a, b); });
}

TYPED_TEST(ScalarAndUnaryKernel, UnaryMinus) {
    expectMatchesReference<TypeParam>(kernels::unary<ImgOps::unaryMinus, TypeParam>,
                                      [](double a) { return -a; });
}

TYPED_TEST(ScalarAndUnaryKernel, Abs) {
    expectMatchesReference<TypeParam>(kernels::unary<ImgOps::abs, TypeParam>, [](double a) {
        const bool negative = std::signbit(a) && !std::isnan(a) && a != 0.0;
        return negative ? -a : a;
    });
}

}  // namespace
}  // namespace kernel_test
