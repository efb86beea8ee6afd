// The loop versions of the kernels (AVX2 or baseline, with or without the integer and reciprocal
// shortcuts) against each other and against the reference, bit for bit, wherever a shortcut applies.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>

#include "imagemath/kernels/LoopChoice.h"
#include "imagemath/kernels/RoundHalfAwayFromZero.h"
#include "imagemath/kernels/ValueConversion.h"
#include "tests/kernels/KernelTestSupport.h"

namespace kernel_test {
namespace {

using kernels::LoopChoice;

class ScopedLoopChoice {
public:
    explicit ScopedLoopChoice(const LoopChoice& choice) { kernels::setLoopChoice(choice); }
    ~ScopedLoopChoice() { kernels::setLoopChoice(LoopChoice{}); }
};

template <class Op>
double referenceOp(double a, double b) {
    if constexpr (std::is_same_v<Op, ImgOps::add>) {
        return a + b;
    } else if constexpr (std::is_same_v<Op, ImgOps::minus>) {
        return a - b;
    } else if constexpr (std::is_same_v<Op, ImgOps::mult>) {
        return a * b;
    } else if constexpr (std::is_same_v<Op, ImgOps::divide>) {
        return a / b;
    } else {
        return b == 0.0 ? 0.0 : a / b;  // divideIfNotZero
    }
}

// Runs the kernel under every loop choice, out of place and in place (the destination's buffer then
// starts as a copy of the left operand and serves as it); each result must equal the reference.
template <class T, class U, class Kernel>
void expectEveryLoopGives(const std::vector<T>& expected, const std::vector<T>& left,
                          const std::vector<U>& right, const MappingCase& m, Kernel kernel) {
    const kernels::Extents extents = flatExtents(left.size());
    for (const LoopChoice choice : {LoopChoice{true, true}, LoopChoice{true, false}, LoopChoice{false, true},
                                    LoopChoice{false, false}}) {
        const ScopedLoopChoice scoped(choice);
        SCOPED_TRACE(::testing::Message() << "avx2 " << choice.avx2 << ", shortcuts " << choice.shortcuts);
        std::vector<T> separate(left.size(), T(99));
        kernel(targetOf(separate, extents, m.destination), sourceOf(left, m.left), sourceOf(right, m.right));
        EXPECT_TRUE(sameElements(separate, expected));
        std::vector<T> inPlace = left;
        kernel(targetOf(inPlace, extents, m.destination), sourceOf(inPlace, m.left),
               sourceOf(right, m.right));
        EXPECT_TRUE(sameElements(inPlace, expected)) << "in place";
    }
}

template <class Op, class T, class U>
void expectImageImageLoopsAgree(const std::vector<T>& left, const std::vector<U>& right,
                                const std::vector<MappingCase>& mappings) {
    for (const MappingCase& m : mappings) {
        std::vector<T> expected(left.size());
        for (std::size_t i = 0; i < left.size(); ++i) {
            expected[i] = referenceElement<T>(
                referenceOp<Op>(referenceRead(left[i], m.left), referenceRead(right[i], m.right)),
                m.destination);
        }
        expectEveryLoopGives(expected, left, right, m, kernels::imageImage<Op, T, U>);
    }
}

template <class... Ops, class T, class U>
void expectLoopsAgree(const std::vector<T>& left, const std::vector<U>& right,
                      const std::vector<MappingCase>& mappings) {
    (expectImageImageLoopsAgree<Ops, T, U>(left, right, mappings), ...);
}

// Mappings under which integer images are taken as their stored numbers: the integer shortcut's
// condition, with both zeros and with meaningless shifts and scales behind set flags.
const std::vector<MappingCase> kStoredNumbers{
    {{0.0, 1.0, false}, {0.0, 1.0, false}, {0.0, 1.0, false}},
    {{-0.0, 1.0, false}, {7.0, 0.0, true}, {-0.0, 1.0, false}},
    {{3.0, -2.0, true}, {-0.0, 1.0, false}, {5.0, 0.0, true}},
};

// Mappings whose scales all have exact reciprocals: the reciprocal shortcut's condition, with scales
// far from 1 (reciprocals near the ends of the double range) and negative ones.
const std::vector<MappingCase> kPowerOfTwoScales{
    {{100.0, 4.0, false}, {-3.0, 0.5, false}, {50.0, 2.0, false}},
    {{0.0, std::ldexp(1.0, -1000), false}, {0.0, std::ldexp(1.0, 1000), false}, {0.25, 0.125, false}},
    {{-0.0, -2.0, false}, {1.5, std::ldexp(1.0, 1023), false}, {0.0, std::ldexp(1.0, -1022), false}},
    {{0.5, 1.0, false}, {0.0, std::ldexp(1.0, -1023), false}, {0.0, 1.0, true}},
};

template <class T>
std::vector<T> randomElements(std::size_t count, std::uint64_t seed) {
    std::mt19937_64 random(seed);
    std::vector<T> values = sampleValues<T>();
    while (values.size() < count) {
        const std::uint64_t bits = random();
        T value;
        std::memcpy(&value, &bits, sizeof(T));  // every bit pattern: NaN payloads, subnormals, extremes
        values.push_back(value);
    }
    return values;
}

template <class Pair>
class EightBitPairs : public ::testing::Test {};
using EightBitTypePairs =
    ::testing::Types<TypePair<char, char>, TypePair<char, unsigned char>, TypePair<unsigned char, char>,
                     TypePair<unsigned char, unsigned char>>;
TYPED_TEST_SUITE(EightBitPairs, EightBitTypePairs);

TYPED_TEST(EightBitPairs, IntegerShortcutEqualsThePlainLoopForEveryPairOfElements) {
    using T = typename TypeParam::Destination;
    using U = typename TypeParam::Right;
    std::vector<T> left;
    std::vector<U> right;
    for (int l = 0; l < 256; ++l) {
        for (int r = 0; r < 256; ++r) {
            left.push_back(static_cast<T>(l));
            right.push_back(static_cast<U>(r));
        }
    }
    expectLoopsAgree<ImgOps::add, ImgOps::minus, ImgOps::mult>(left, right, kStoredNumbers);
}

template <class Pair>
class AllPairs : public ::testing::Test {};
TYPED_TEST_SUITE(AllPairs, ElementTypePairs);

// Random elements of every range and the extremes. Under the first mappings 8- and 16-bit pairs take the
// integer shortcut and the others the exact reciprocal of scale 1.
TYPED_TEST(AllPairs, ShortcutsEqualThePlainLoop) {
    using T = typename TypeParam::Destination;
    using U = typename TypeParam::Right;
    const std::vector<T> left = randomElements<T>(2003, 1);
    const std::vector<U> right = randomElements<U>(2003, 2);
    expectLoopsAgree<ImgOps::add, ImgOps::minus, ImgOps::mult>(left, right, kStoredNumbers);
    expectLoopsAgree<ImgOps::add, ImgOps::mult, ImgOps::divideIfNotZero>(left, right, kPowerOfTwoScales);
}

template <class T>
class EveryType : public ::testing::Test {};
TYPED_TEST_SUITE(EveryType, ElementTypes);

template <class Op, class T>
void expectScalarLoopsAgree(const std::vector<T>& left, float scalar) {
    for (const MappingCase& m : kPowerOfTwoScales) {
        std::vector<T> expected(left.size());
        for (std::size_t i = 0; i < left.size(); ++i) {
            expected[i] =
                referenceElement<T>(referenceOp<Op>(referenceRead(left[i], m.left), scalar), m.destination);
        }
        expectEveryLoopGives(expected, left, left, m,
                             [scalar](const auto& dst, const auto& lhs, const auto&) {
                                 kernels::imageScalar<Op, T>(dst, lhs, scalar);
                             });
    }
}

TYPED_TEST(EveryType, ScalarAndUnaryReciprocalReadsEqualDivisions) {
    const std::vector<TypeParam> left = randomElements<TypeParam>(2001, 5);
    for (float scalar : {1.7f, -0.0f, 3.0f, std::numeric_limits<float>::infinity()}) {
        SCOPED_TRACE(scalar);
        expectScalarLoopsAgree<ImgOps::minus, TypeParam>(left, scalar);
        expectScalarLoopsAgree<ImgOps::mult, TypeParam>(left, scalar);
        expectScalarLoopsAgree<ImgOps::divide, TypeParam>(left, scalar);
    }
    for (const MappingCase& m : kPowerOfTwoScales) {
        std::vector<TypeParam> expected(left.size());
        for (std::size_t i = 0; i < left.size(); ++i) {
            expected[i] = referenceElement<TypeParam>(-referenceRead(left[i], m.left), m.destination);
        }
        expectEveryLoopGives(expected, left, left, m, [](const auto& dst, const auto& src, const auto&) {
            kernels::unary<ImgOps::unaryMinus, TypeParam>(dst, src);
        });
    }
}

TEST(ExactReciprocal, OnlyPowersOfTwoWhoseReciprocalIsADouble) {
    using kernels::hasExactReciprocal;
    constexpr double kInf = std::numeric_limits<double>::infinity();
    for (double scale :
         {1.0, 2.0, 0.5, -4.0, std::ldexp(1.0, 1023), std::ldexp(1.0, -1022), std::ldexp(1.0, -1023)}) {
        EXPECT_TRUE(hasExactReciprocal(scale)) << scale;
    }
    for (double scale : {3.0, 0.1, -0.0, 0.0, kInf, -kInf, std::numeric_limits<double>::quiet_NaN(),
                         std::ldexp(1.0, -1024), std::numeric_limits<double>::denorm_min(), 1.0 + 0x1p-52}) {
        EXPECT_FALSE(hasExactReciprocal(scale)) << scale;
    }
    // Where it holds, the product equals the quotient for doubles of every kind.
    const std::vector<double> values = randomElements<double>(20000, 6);
    for (double scale : {4.0, -0.5, std::ldexp(1.0, 1023), std::ldexp(1.0, -1023)}) {
        const double reciprocal = 1.0 / scale;
        for (double value : values) {
            ASSERT_TRUE(sameElement(value * reciprocal, value / scale)) << show(value) << " / " << scale;
        }
    }
}

TEST(RoundedInt32, EqualsStdRoundOverTheSignedThirtyTwoBitRange) {
    std::vector<double> values{0.0,          -0.0,          0.49999999999999994, 0.5,           1.5,   2.5,
                               2147483647.0, -2147483648.0, 2147483646.5,        -2147483647.5, 1e-300};
    for (int exponent = -3; exponent < 31; ++exponent) {
        const double power = std::ldexp(1.0, exponent);
        for (double value : {power, power + 0.5, power - 0.5, power + 0.25}) {
            values.insert(values.end(), {value, std::nextafter(value, 0.0), std::nextafter(value, 4e9)});
        }
    }
    std::mt19937_64 random(31);
    std::uniform_int_distribution<std::int64_t> halves(-(std::int64_t{1} << 32), (std::int64_t{1} << 32) - 2);
    for (int i = 0; i < 20000; ++i) {
        const double half = static_cast<double>(halves(random)) / 2.0;
        values.insert(values.end(),
                      {half, std::nextafter(half, 0.0), std::nextafter(half, half < 0 ? -4e9 : 4e9)});
    }
    for (double value : values) {
        for (double signedValue : {value, -value}) {
            if (signedValue < -2147483648.0 || signedValue > 2147483647.0) {
                continue;
            }
            ASSERT_EQ(kernels::roundedInt32(signedValue), static_cast<std::int64_t>(std::round(signedValue)))
                << show(signedValue);
        }
    }
}

}  // namespace
}  // namespace kernel_test
