// The loop versions of the kernels (AVX2 or baseline, with or without the integer, reciprocal and square
// shortcuts) against each other and against the reference, bit for bit, wherever a shortcut applies.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>

#include "imagemath/kernels/ExactSquare.h"
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
    } else if constexpr (std::is_same_v<Op, ImgOps::pow>) {
        const volatile double exponent = b;  // a constant 2 would let the compiler square a instead
        return std::pow(a, exponent);
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

// Integer elements of every range, floats and doubles of every kind: exact and inexact squares side by
// side, through reads by reciprocal.
TYPED_TEST(EveryType, SquaresEqualPow) {
    expectScalarLoopsAgree<ImgOps::pow, TypeParam>(randomElements<TypeParam>(2001, 7), 2.0f);
}

// Bases whose square the library's pow rounds differently from the product (it is not correctly
// rounded there): the square shortcut must leave them to pow.
constexpr double kPowRoundsOtherwise[] = {0x1.5db3f9e39fa3ap+0, 0x1.68fab20318433p+0, 0x1.5a55c27833f7dp+0,
                                          0x1.7784f85b750dep+0, 0x1.24ec1255a74c6p+0};

// Bases at the edges of the square shortcut: zeros, subnormals, squares near the smallest products it
// takes (2^-968) and near the largest double, every power of two whose square is finite and its next
// double up (whose square's error is a single bit 2^-104 below it), odd significands around 2^26.5 (the
// largest whose square has 53 bits), infinities and NaN; then random doubles of every kind and of [1, 2).
std::vector<double> squareBases() {
    using L = std::numeric_limits<double>;
    std::vector<double> bases{0.0,
                              L::denorm_min(),
                              L::min(),
                              std::nextafter(L::min(), 0.0),
                              L::max(),
                              L::infinity(),
                              L::quiet_NaN(),
                              0x1p-484,
                              std::nextafter(0x1p-484, 0.0),
                              0x1.8p-485,
                              0x1p-537,
                              0x1p-538,
                              0x3p-540,
                              0x1.fffffffffffffp511,
                              0x1.8p511,
                              0x1.6a09e667f3bccp511,
                              0x1.6a09e667f3bcdp511,
                              94906265.0,
                              94906267.0,
                              94906265.0 * 0x1p-530,
                              94906265.0 * 0x1p400,
                              67108865.0,
                              134217729.0};
    for (int exponent = -540; exponent < 512; ++exponent) {
        const double power = std::ldexp(1.0, exponent);
        bases.insert(bases.end(), {power, power + power * 0x1p-52});  // 2^e and its square's last bit
    }
    bases.insert(bases.end(), std::begin(kPowRoundsOtherwise), std::end(kPowRoundsOtherwise));
    const std::size_t special = bases.size();
    for (std::size_t i = 0; i < special; ++i) {
        bases.push_back(-bases[i]);
    }
    const std::vector<double> random = randomElements<double>(6000, 8);
    bases.insert(bases.end(), random.begin(), random.end());
    std::mt19937_64 generator(9);
    std::uniform_real_distribution<double> oneToTwo(1.0, 2.0);
    for (int i = 0; i < 6000; ++i) {
        bases.push_back(oneToTwo(generator));
    }
    return bases;
}

// Whether a's square is a double, by integer arithmetic: a = m 2^e with m odd, a^2 = m^2 2^(2e), and
// that is a double when m^2 has at most 53 bits, 2e is at least -1074 and the value stays finite.
bool squareIsADouble(double a) {
    if (a == 0.0) {
        return true;
    }
    if (!std::isfinite(a)) {
        return false;
    }
    int exponent = 0;
    std::uint64_t m = static_cast<std::uint64_t>(std::ldexp(std::frexp(std::fabs(a), &exponent), 53));
    exponent -= 53;
    while (m % 2 == 0) {
        m /= 2;
        ++exponent;
    }
    if (m >= (std::uint64_t{1} << 27)) {
        return false;
    }
    const std::uint64_t square = m * m;
    int bits = 0;
    while ((square >> bits) != 0) {
        ++bits;
    }
    return bits <= 53 && 2 * exponent >= -1074 && bits + 2 * exponent <= 1024;
}

TEST(ExactSquare, TakesTheProductOnlyWhereTheSquareIsExact) {
    for (double a : squareBases()) {
        const double product = a * a;
        const bool taken = kernels::inexactSquareBits(a, product) == 0;
        if (taken) {
            ASSERT_TRUE(squareIsADouble(a)) << show(a);
        }
        // Exact squares within the range where the test is safe are all found.
        if (squareIsADouble(a) && (a == 0.0 || (product >= 0x1p-968 && product <= 0x1p1000))) {
            ASSERT_TRUE(taken) << show(a);
        }
    }
}

// Bases whose square pow rounds otherwise, each alone in a run of exact squares (at a run's first, second,
// middle, last but one and last element), then the edge and random bases; out of place and in place,
// with division and reciprocal reads.
TEST(ExactSquare, EveryLoopGivesPowOfTwo) {
    constexpr std::size_t kRun = 512;
    std::vector<double> bases(5 * kRun);
    for (std::size_t i = 0; i < bases.size(); ++i) {
        bases[i] = static_cast<double>(i % 1000) - 500.0;
    }
    const std::size_t offsets[] = {0, 1, kRun / 2, kRun - 2, kRun - 1};
    for (std::size_t run = 0; run < 5; ++run) {
        bases[run * kRun + offsets[run]] = kPowRoundsOtherwise[run];
    }
    const std::vector<double> edges = squareBases();
    bases.insert(bases.end(), edges.begin(), edges.end());
    for (const MappingCase& m :
         {MappingCase{}, MappingCase{{0.0, 3.0, false}, {}, {-0.0, 1.0, false}}, kPowerOfTwoScales[0]}) {
        std::vector<double> expected(bases.size());
        for (std::size_t i = 0; i < bases.size(); ++i) {
            expected[i] = referenceElement<double>(
                referenceOp<ImgOps::pow>(referenceRead(bases[i], m.left), 2.0), m.destination);
        }
        expectEveryLoopGives(expected, bases, bases, m, [](const auto& dst, const auto& lhs, const auto&) {
            kernels::imageScalar<ImgOps::pow, double>(dst, lhs, 2.0f);
        });
    }
}

// Float bit pattern number `index` of a sample: the special floats of both signs, then random ones.
float sampledFloat(std::size_t index, std::mt19937& generator) {
    static const std::vector<float> special = sampleValues<float>();
    if (index < 2 * special.size()) {
        return index < special.size() ? special[index] : -special[index - special.size()];
    }
    const std::uint32_t bits = generator();
    float value = 0.0f;
    std::memcpy(&value, &bits, sizeof(value));
    return value;
}

// The squares of widened floats are all exact (24 significant bits at most, far from the limits), so
// the shortcut takes every finite float: each must equal pow. A random sample of floats and the special
// ones; with IMAGEMATH_EVERY_FLOAT set, every float bit pattern (about half a minute on 8 cores).
TEST(ExactSquare, SquaresOfFloatsEqualPow) {
    const bool everyFloat = std::getenv("IMAGEMATH_EVERY_FLOAT") != nullptr;
    const std::size_t batch = std::size_t{1} << (everyFloat ? 24 : 18);
    const std::uint64_t batches = everyFloat ? (std::uint64_t{1} << 32) / batch : 1;
    std::mt19937 generator(10);
    std::vector<double> bases(batch), expected(batch), squares(batch);
    for (std::uint64_t first = 0; first < batches * batch; first += batch) {
        if (everyFloat) {
#pragma omp parallel for schedule(static)
            for (std::size_t i = 0; i < batch; ++i) {
                const std::uint32_t bits = static_cast<std::uint32_t>(first + i);
                float value = 0.0f;
                std::memcpy(&value, &bits, sizeof(value));
                bases[i] = value;
            }
        } else {
            for (std::size_t i = 0; i < batch; ++i) {
                bases[i] = sampledFloat(i, generator);
            }
        }
#pragma omp parallel for schedule(static)
        for (std::size_t i = 0; i < batch; ++i) {
            expected[i] = referenceOp<ImgOps::pow>(bases[i], 2.0);
        }
        for (const LoopChoice choice : {LoopChoice{true, true}, LoopChoice{false, true}}) {
            const ScopedLoopChoice scoped(choice);
            kernels::imageScalar<ImgOps::pow, double>(targetOf(squares, flatExtents(batch), Mapping{}),
                                                      sourceOf(bases, Mapping{}), 2.0f);
            ASSERT_TRUE(sameElements(squares, expected)) << "avx2 " << choice.avx2 << ", from " << first;
        }
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
