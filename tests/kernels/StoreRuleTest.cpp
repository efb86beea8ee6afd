// The store rules of the eight destination types and the exact rounding behind them.
#include <cmath>
#include <limits>
#include <random>

#include "imagemath/kernels/RoundHalfAwayFromZero.h"
#include "tests/kernels/KernelTestSupport.h"

namespace kernel_test {
namespace {

// Destination values stored through a kernel: 1 times the value with every flag set is the value itself.
template <class T>
std::vector<T> stored(const std::vector<double>& values) {
    const std::vector<T> ones(values.size(), T(1));
    std::vector<T> out(values.size(), T(99));
    const Mapping asStored{0.0, 1.0, true};
    kernels::imageImage<ImgOps::mult, T, double>(targetOf(out, flatExtents(values.size()), asStored),
                                                 sourceOf(ones, asStored), sourceOf(values, asStored));
    return out;
}

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct IntegerRow {
    double value;
    long long charValue, ucharValue, shortValue, ushortValue, intValue, uintValue;
};

// The 16-bit results beyond the signed 32-bit range follow the limit-then-low-bits rule everywhere.
const std::vector<IntegerRow> kIntegerTable{
    {0.4, 0, 0, 0, 0, 0, 0},
    {0.49999999999999994, 0, 0, 0, 0, 0, 0},
    {0.5, 1, 1, 1, 1, 1, 1},
    {2.5, 3, 3, 3, 3, 3, 3},
    {-0.0, 0, 0, 0, 0, 0, 0},
    {-0.4, 0, 0, 0, 0, 0, 0},
    {-0.5, -1, 255, -1, 65535, -1, 0},
    {-2.5, -3, 253, -3, 65533, -3, 0},
    {127.5, -128, 128, 128, 128, 128, 128},
    {200, -56, 200, 200, 200, 200, 200},
    {255.5, 0, 0, 256, 256, 256, 256},
    {300, 44, 44, 300, 300, 300, 300},
    {-129, 127, 127, -129, 65407, -129, 0},
    {32767.5, 0, 0, -32768, 32768, 32768, 32768},
    {40000, 64, 64, -25536, 40000, 40000, 40000},
    {-40000, -64, 192, 25536, 25536, -40000, 0},
    {65535.5, 0, 0, 0, 0, 65536, 65536},
    {70000, 112, 112, 4464, 4464, 70000, 70000},
    {2147483647.4, -1, 255, -1, 65535, 2147483647, 2147483647},
    {2147483647.5, -1, 255, -1, 65535, 2147483647, 2147483648},
    {-2147483648.4, 0, 0, 0, 0, -2147483648LL, 0},
    {-2147483648.5, 0, 0, 0, 0, -2147483648LL, 0},
    {3e9, -1, 255, -1, 65535, 2147483647, 3000000000},
    {-3e9, 0, 0, 0, 0, -2147483648LL, 0},
    {4294967295.5, -1, 255, -1, 65535, 2147483647, 4294967295},
    {1e19, -1, 255, -1, 65535, 2147483647, 4294967295},
    {-1e19, 0, 0, 0, 0, -2147483648LL, 0},
    {kInf, -1, 255, -1, 65535, 2147483647, 4294967295},
    {-kInf, 0, 0, 0, 0, -2147483648LL, 0},
    {kNaN, 0, 0, 0, 0, 0, 0},
};

template <class T>
void expectColumn(long long IntegerRow::*column) {
    std::vector<double> values;
    for (const IntegerRow& row : kIntegerTable) {
        values.push_back(row.value);
    }
    const std::vector<T> out = stored<T>(values);
    for (std::size_t i = 0; i < values.size(); ++i) {
        EXPECT_EQ(static_cast<long long>(referenceWiden(out[i])), kIntegerTable[i].*column)
            << "destination value " << show(values[i]);
    }
}

TEST(StoreRule, IntegerTable) {
    expectColumn<char>(&IntegerRow::charValue);
    expectColumn<unsigned char>(&IntegerRow::ucharValue);
    expectColumn<short>(&IntegerRow::shortValue);
    expectColumn<unsigned short>(&IntegerRow::ushortValue);
    expectColumn<int>(&IntegerRow::intValue);
    expectColumn<unsigned int>(&IntegerRow::uintValue);
}

TEST(StoreRule, FloatIsNearestTiesToEvenWithOverflowToInfinity) {
    const double overflow = 0x1.ffffffp127;  // largest float plus half its last place
    const std::vector<double> values{0.1,    16777217.0, 16777219.0, 2.5,
                                     -0.0,   1e39,       -1e39,      1e-50,
                                     -1e-50, overflow,   -overflow,  std::nextafter(overflow, 0.0),
                                     kNaN};
    const std::vector<float> expected{0.1f,
                                      16777216.0f,
                                      16777220.0f,
                                      2.5f,
                                      -0.0f,
                                      std::numeric_limits<float>::infinity(),
                                      -std::numeric_limits<float>::infinity(),
                                      0.0f,
                                      -0.0f,
                                      std::numeric_limits<float>::infinity(),
                                      -std::numeric_limits<float>::infinity(),
                                      std::numeric_limits<float>::max(),
                                      std::numeric_limits<float>::quiet_NaN()};
    EXPECT_TRUE(sameElements(stored<float>(values), expected));
}

TEST(StoreRule, DoubleIsUnchanged) {
    const std::vector<double> values{-0.0,  kNaN,  kInf,
                                     -kInf, 1e300, std::numeric_limits<double>::denorm_min()};
    EXPECT_TRUE(sameElements(stored<double>(values), values));
}

// Random bit patterns cover the whole double range (every exponent, NaN payloads, subnormals); random
// halves and near-halves cover the rounding boundaries of every integer range.
std::vector<double> randomDestinationValues() {
    std::mt19937_64 random(20261206);
    std::vector<double> values;
    for (int i = 0; i < 20000; ++i) {
        const std::uint64_t bits = random();
        double value;
        std::memcpy(&value, &bits, sizeof(value));
        values.push_back(value);
    }
    std::uniform_int_distribution<std::int64_t> halves(-(std::int64_t{1} << 34), std::int64_t{1} << 34);
    for (int i = 0; i < 20000; ++i) {
        const double half = static_cast<double>(halves(random)) / 2.0;
        values.push_back(half);
        values.push_back(std::nextafter(half, 0.0));
        values.push_back(std::nextafter(half, half < 0 ? -kInf : kInf));
    }
    return values;
}

template <class T>
class StoreRuleRandom : public ::testing::Test {};
TYPED_TEST_SUITE(StoreRuleRandom, ElementTypes);

TYPED_TEST(StoreRuleRandom, MatchesReferenceOnEveryKindOfDouble) {
    const std::vector<double> values = randomDestinationValues();
    std::vector<TypeParam> expected;
    for (double value : values) {
        expected.push_back(referenceStore<TypeParam>(value));
    }
    EXPECT_TRUE(sameElements(stored<TypeParam>(values), expected));
}

TEST(RoundHalfAwayFromZero, EqualsStdRoundBelowTwoPow52) {
    using Korvanta::ImageMath::kernels::roundHalfAwayFromZero;
    std::vector<double> values{0.0,
                               -0.0,
                               0.49999999999999994,
                               0.5,
                               1.5,
                               2.5,
                               4503599627370495.5,
                               4503599627370495.0,
                               2251799813685247.5,
                               2251799813685248.5,
                               1e-300};
    for (int exponent = -3; exponent < 52; ++exponent) {
        const double power = std::ldexp(1.0, exponent);
        for (double value : {power, power + 0.5, power - 0.5, power + 0.25}) {
            values.push_back(value);
            values.push_back(std::nextafter(value, 0.0));
            values.push_back(std::nextafter(value, kInf));
        }
    }
    std::mt19937_64 random(52);
    std::uniform_real_distribution<double> anywhere(0.0, 4503599627370495.0);
    for (int i = 0; i < 10000; ++i) {
        values.push_back(anywhere(random));
    }
    for (double value : values) {
        for (double signedValue : {value, -value}) {
            const double rounded = roundHalfAwayFromZero(signedValue);
            EXPECT_TRUE(sameElement(rounded, std::round(signedValue))) << show(signedValue);
        }
    }
}

}  // namespace
}  // namespace kernel_test
