#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "host/core/Properties.h"

namespace Korvanta {
namespace {

template <class T>
struct Samples;
template <>
struct Samples<int> {
    static std::vector<int> values() {
        return {0, -7, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()};
    }
};
template <>
struct Samples<bool> {
    static std::vector<bool> values() { return {false, true}; }
};
template <>
struct Samples<float> {
    static std::vector<float> values() {
        return {0.0f, -0.0f, 1.5f, std::numeric_limits<float>::denorm_min()};
    }
};
template <>
struct Samples<double> {
    static std::vector<double> values() { return {0.1, -1e300, std::numeric_limits<double>::infinity()}; }
};
template <>
struct Samples<std::string> {
    static std::vector<std::string> values() { return {"", "text with ; and \0 inside", "x"}; }
};
template <>
struct Samples<std::vector<unsigned long>> {
    static std::vector<std::vector<unsigned long>> values() { return {{}, {0, 1, 2, 3}, {~0ul}}; }
};

template <class T>
class PropertiesRoundTrip : public ::testing::Test {};
using ValueTypes = ::testing::Types<int, bool, float, double, std::string, std::vector<unsigned long>>;
TYPED_TEST_SUITE(PropertiesRoundTrip, ValueTypes);

TYPED_TEST(PropertiesRoundTrip, ValueAndDefaultComeBackUnchanged) {
    for (const TypeParam& value : Samples<TypeParam>::values()) {
        Properties p;
        const TypeParam other = Samples<TypeParam>::values().back();
        p.setParam("key", value, other);
        TypeParam read{}, readDefault{};
        ASSERT_TRUE(p.param("key", read));
        ASSERT_TRUE(p.paramDefault("key", readDefault));
        EXPECT_EQ(read, value);
        EXPECT_EQ(readDefault, other);
    }
}

TYPED_TEST(PropertiesRoundTrip, OtherTypesAndMissingKeysAreNotRead) {
    Properties p;
    p.setParam<TypeParam>("key", Samples<TypeParam>::values().front());
    TypeParam untouched = Samples<TypeParam>::values().back();
    EXPECT_FALSE(p.param("missing", untouched));
    EXPECT_EQ(untouched, Samples<TypeParam>::values().back());
    EXPECT_FALSE(p.paramDefault("key", untouched));
}

TEST(Properties, ReadsOnlyTheExactType) {
    Properties p;
    p.setParam("mode", 3);
    float asFloat = 0;
    EXPECT_FALSE(p.param("mode", asFloat));
    int asInt = 0;
    EXPECT_TRUE(p.param("mode", asInt));
    EXPECT_EQ(asInt, 3);
}

TEST(Properties, TwoArgumentFormKeepsTheDefaultAndStringLiteralsAreText) {
    Properties p;
    p.setParam("a", 1, 2);
    p.setParam("a", 5);
    int value = 0, defaultValue = 0;
    ASSERT_TRUE(p.param("a", value));
    ASSERT_TRUE(p.paramDefault("a", defaultValue));
    EXPECT_EQ(value, 5);
    EXPECT_EQ(defaultValue, 2);
    p.setParam("s", "literal");
    std::string text;
    ASSERT_TRUE(p.param("s", text));
    EXPECT_EQ(text, "literal");
}

TEST(Properties, TypeAttributesAndKeyOrder) {
    Properties p;
    p.setParam("b", true);
    p.setParam("a", 1.0);
    p.setParamType("a", PropertiesDetail::EnumerationParamType);
    p.setParamAttributes("b", {{"hidden", "true"}, {"values", "x, y"}});
    EXPECT_EQ(p.paramType("a"), 8);
    EXPECT_EQ(p.paramType("b"), 0);
    EXPECT_EQ(p.paramAttributes("b"),
              (std::vector<PropertiesDetail::Attribute>{{"hidden", "true"}, {"values", "x, y"}}));
    EXPECT_TRUE(p.paramAttributes("a").empty());
    EXPECT_EQ(p.keys(), (std::vector<std::string>{"b", "a"}));
    p.removeParam("b");
    EXPECT_FALSE(p.hasParam("b"));
    EXPECT_EQ(p.keys(), std::vector<std::string>{"a"});
}

}  // namespace
}  // namespace Korvanta
