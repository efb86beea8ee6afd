// Particular vectors: exact rounding order, safe division and pow special values, the slice loop and
// its extents.
#include <cmath>
#include <limits>
#include <numeric>
#include <stdexcept>

#include "tests/kernels/KernelTestSupport.h"

namespace kernel_test {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
const Mapping kStored{0.0, 1.0, true};

// left op right on doubles, with the given mappings, one element per pair.
template <class Op>
std::vector<double> computeDoubles(const std::vector<double>& left, const std::vector<double>& right,
                                   const Mapping& l = kStored, const Mapping& r = kStored,
                                   const Mapping& d = kStored) {
    std::vector<double> out(left.size());
    kernels::imageImage<Op, double, double>(targetOf(out, flatExtents(out.size()), d), sourceOf(left, l),
                                            sourceOf(right, r));
    return out;
}

TEST(KernelVectors, ReadDividesByTheScaleInsteadOfMultiplyingByItsReciprocal) {
    // 7 / 3 * 3 is 7 again; 7 * (1/3) * 3 is not. Stored 3 with scale 10 reads 0.3 and comes back 3.
    const Mapping scale3{0.0, 3.0, false};
    const Mapping scale10{0.0, 10.0, false};
    EXPECT_EQ(computeDoubles<ImgOps::add>({7.0}, {0.0}, scale3, Mapping{}, scale3)[0], 7.0);
    EXPECT_EQ(computeDoubles<ImgOps::add>({3.0}, {0.0}, scale10, Mapping{}, scale10)[0], 3.0);
}

TEST(KernelVectors, ProductAndDestinationShiftAreNotFused) {
    // (1 + 2^-30)^2 rounds to 1 + 2^-29 before the shift -1 is added: exactly 2^-29, where a fused
    // multiply-add would keep the 2^-60 term.
    const double a = 1.0 + std::ldexp(1.0, -30);
    const Mapping shiftMinusOne{-1.0, 1.0, false};
    EXPECT_EQ(computeDoubles<ImgOps::mult>({a}, {a}, kStored, kStored, shiftMinusOne)[0],
              std::ldexp(1.0, -29));
}

TEST(KernelVectors, DivideIfNotZeroTestsTheDivisorAlone) {
    const std::vector<double> dividends{5.0, 5.0, 10.0, 10.0, kInf, kNaN, -kInf, 5.0};
    const std::vector<double> divisors{-0.0, 0.0, kInf, -kInf, 0.0, -0.0, 0.0, kNaN};
    const std::vector<double> expected{0.0, 0.0, 0.0, -0.0, 0.0, 0.0, 0.0, kNaN};
    EXPECT_TRUE(sameElements(computeDoubles<ImgOps::divideIfNotZero>(dividends, divisors), expected));
}

TEST(KernelVectors, PowGivesTheIeeeSpecialValues) {
    struct Case {
        double base, exponent, power;
    };
    const std::vector<Case> cases{
        {kNaN, 0.0, 1.0},    {kNaN, -0.0, 1.0},     {1.0, kNaN, 1.0},      {-1.0, kInf, 1.0},
        {-1.0, -kInf, 1.0},  {-2.0, 0.5, kNaN},     {2.0, kNaN, kNaN},     {kNaN, 2.0, kNaN},
        {0.0, -1.0, kInf},   {-0.0, -1.0, -kInf},   {-0.0, -2.0, kInf},    {-0.0, 3.0, -0.0},
        {-0.0, 0.5, 0.0},    {-kInf, 0.5, kInf},    {-kInf, 3.0, -kInf},   {-kInf, -3.0, -0.0},
        {kInf, -1.0, 0.0},   {2.0, kInf, kInf},     {0.5, kInf, 0.0},      {2.0, -kInf, 0.0},
        {-2.0, 7.0, -128.0}, {1000.0, 127.0, kInf}, {-10.0, 309.0, -kInf}, {0.1, 400.0, 0.0},
    };
    std::vector<double> bases, exponents, expected;
    for (const Case& c : cases) {
        bases.push_back(c.base);
        exponents.push_back(c.exponent);
        expected.push_back(c.power);
    }
    EXPECT_TRUE(sameElements(computeDoubles<ImgOps::pow>(bases, exponents), expected));
}

TEST(KernelVectors, UnsignedShortNegationOfStoredValuesFollowsTheStoreRule) {
    const std::vector<unsigned short> values{5, 0, 65535};
    std::vector<unsigned short> out(3);
    kernels::unary<ImgOps::unaryMinus, unsigned short>(targetOf(out, flatExtents(3), kStored),
                                                       sourceOf(values, kStored));
    EXPECT_EQ(out, (std::vector<unsigned short>{65531, 0, 1}));
}

// 9 slices go to a team, 8 stay on the calling thread: the first 8 slices come out the same.
TEST(KernelVectors, SlicesGiveTheSameResultsInATeamAndAlone) {
    const kernels::Extents nine{5, 3, 9, 2}, eight{5, 3, 8, 2};
    std::vector<unsigned short> left(5 * 3 * 9 * 2), right(left.size());
    std::iota(left.begin(), left.end(), 60000);
    std::iota(right.begin(), right.end(), 7);
    const Mapping l{-0.5, 3.0, false}, r{1.25, 0.5, false}, d{2.0, 0.7, false};
    std::vector<unsigned short> team(left.size()), alone(5 * 3 * 8 * 2);
    const auto multiply = kernels::imageImage<ImgOps::mult, unsigned short, unsigned short>;
    multiply(targetOf(team, nine, d), sourceOf(left, l), sourceOf(right, r));
    multiply(targetOf(alone, eight, d), sourceOf(left, l), sourceOf(right, r));
    EXPECT_TRUE(sameElements(alone, std::vector<unsigned short>(team.begin(), team.begin() + alone.size())));
}

TEST(KernelVectors, AnExtentBelowOneWritesNothing) {
    const std::vector<kernels::Extents> empty{{0, 2, 2, 1},  {2, 0, 2, 1},   {2, 2, 0, 1},  {2, 2, 2, 0},
                                              {2, 2, -3, 1}, {-2, -3, 1, 1}, {2, -1, 1, -4}};
    const std::vector<float> values(64, 1.0f);
    for (const kernels::Extents& extents : empty) {
        std::vector<float> out(64, 7.0f);
        kernels::imageImage<ImgOps::add, float, float>(
            targetOf(out, extents, Mapping{}), sourceOf(values, Mapping{}), sourceOf(values, Mapping{}));
        kernels::imageScalar<ImgOps::pow, float>(targetOf(out, extents, Mapping{}),
                                                 sourceOf(values, Mapping{}), 2.0f);
        kernels::unary<ImgOps::abs, float>(targetOf(out, extents, Mapping{}), sourceOf(values, Mapping{}));
        EXPECT_EQ(out, std::vector<float>(64, 7.0f));
    }
}

TEST(KernelVectors, ExtentsBeyondTheElementIndexAreRefused) {
    std::vector<char> out(1, 7);
    const kernels::Extents huge{std::int64_t{1} << 31, std::int64_t{1} << 31, 4, std::int64_t{1} << 2};
    const auto absolute = kernels::unary<ImgOps::abs, char>;
    EXPECT_THROW(absolute(targetOf(out, huge, Mapping{}), sourceOf(out, Mapping{})), std::invalid_argument);
    EXPECT_EQ(out[0], 7);
}

}  // namespace
}  // namespace kernel_test
