#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "host/core/Configurable.h"
#include "host/core/LogCapture.h"
#include "host/core/Parameter.h"

namespace Korvanta {
namespace {

enum class Shade : int { Light = 0, Dark = 1 };

template <class T>
int emissionsWhenConfigured(Parameter<T>& parameter, const Properties& record) {
    int count = 0;
    parameter.signalValueChanged.connect([&] { ++count; });
    parameter.configure(&record);
    return count;
}

TEST(Parameter, EmitsOnlyWhenTheConfiguredValueDiffers) {
    struct Case {
        std::vector<unsigned long> configured;
        int emissions;
    };
    for (const Case& c : std::vector<Case>{{{0, 1, 2, 3}, 0}, {{2, 1, 0}, 1}, {{0, 1, 3, 2}, 1}, {{}, 1}}) {
        Parameter<std::vector<unsigned long>> indices("channelIndices", {0, 1, 2, 3});
        Properties record;
        record.setParam("channelIndices", c.configured);
        EXPECT_EQ(emissionsWhenConfigured(indices, record), c.emissions) << c.configured.size();
        EXPECT_EQ(indices.value(), c.configured);
    }
}

TEST(Parameter, FloatChangesAreBitwise) {
    struct Case {
        float held, configured;
        int emissions;
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (const Case& c :
         std::vector<Case>{{1.0f, 1.0f, 0}, {1.0f, 2.0f, 1}, {nan, nan, 0}, {0.0f, -0.0f, 1}}) {
        Parameter<float> p("rightHandSide", c.held);
        Properties record;
        record.setParam("rightHandSide", c.configured);
        EXPECT_EQ(emissionsWhenConfigured(p, record), c.emissions) << c.held << " -> " << c.configured;
    }
}

TEST(Parameter, EnumerationIsReadAndWrittenAsInt) {
    Parameter<Shade> shade("shade", Shade::Light);
    Properties record;
    record.setParam("shade", 1);
    EXPECT_EQ(emissionsWhenConfigured(shade, record), 1);
    EXPECT_EQ(shade.value(), Shade::Dark);
    Properties written;
    shade.configuration(&written);
    int value = -1, defaultValue = -1;
    EXPECT_TRUE(written.param("shade", value));
    EXPECT_TRUE(written.paramDefault("shade", defaultValue));
    EXPECT_EQ(value, 1);
    EXPECT_EQ(defaultValue, 0);
}

TEST(Parameter, MissingKeyAndWrongTypeChangeNothing) {
    Parameter<int> p("count", 4);
    Properties record;
    record.setParam("count", 4.5);
    record.setParam("other", 9);
    EXPECT_EQ(emissionsWhenConfigured(p, record), 0);
    EXPECT_EQ(p.value(), 4);
    p.configure(nullptr);
    EXPECT_EQ(p.value(), 4);
}

TEST(Parameter, DeprecatedNameIsReadAndLoggedOnce) {
    LogCapture log(Log::Warning);
    Parameter<int> mode("mode", 0);
    mode.addDeprecatedName("oldestMode");
    mode.addDeprecatedName("oldMode");
    Properties record;
    record.setParam("oldMode", 5);
    record.setParam("oldestMode", 6);
    EXPECT_EQ(emissionsWhenConfigured(mode, record), 1);
    EXPECT_EQ(mode.value(), 6);
    ASSERT_EQ(log.records().size(), 1u);
    EXPECT_EQ(log.records()[0].text,
              "Using deprecated parameter name 'oldestMode'. Please use: 'mode' instead.");
    EXPECT_EQ(log.records()[0].category, "Core.Parameter");
    EXPECT_EQ(log.records()[0].level, Log::Warning);
    EXPECT_EQ(log.records()[0].line, -1);
    EXPECT_EQ(log.records()[0].file, "");
}

TEST(Parameter, CurrentNameWinsOverDeprecatedAndNothingIsLogged) {
    LogCapture log;
    Parameter<int> mode("mode", 0);
    mode.addDeprecatedName("oldMode");
    Properties record;
    record.setParam("oldMode", 5);
    record.setParam("mode", 2);
    mode.configure(&record);
    EXPECT_EQ(mode.value(), 2);
    EXPECT_TRUE(log.records().empty());
}

TEST(Parameter, DeprecationMessageRespectsLevelAndCategory) {
    Parameter<int> mode("mode", 0);
    mode.addDeprecatedName("oldMode");
    Properties record;
    record.setParam("oldMode", 5);
    {
        LogCapture log(Log::Error);
        mode.configure(&record);
        EXPECT_TRUE(log.records().empty());
    }
    LogCapture log(Log::Trace);
    auto previous =
        Log::setCategoryFilter([](Log::Level, const std::string& c) { return c != "Core.Parameter"; });
    mode.configure(&record);
    Log::setCategoryFilter(previous);
    EXPECT_TRUE(log.records().empty());
    EXPECT_EQ(mode.value(), 5);
}

TEST(Parameter, ConfigurationWritesValueDefaultTypeAndSortedAttributes) {
    Parameter<std::string> text("evalString", "");
    text.setValue("abc");
    text.setAttribute("read-only", "true");
    text.setAttribute("hidden", "false");
    Parameter<bool> flag("inPlace", false);
    flag.setDefaultValue(std::nullopt);
    flag.setTypeCode(PropertiesDetail::EnumerationParamType);
    Properties record;
    text.configuration(&record);
    flag.configuration(&record);
    std::string value, defaultValue;
    EXPECT_TRUE(record.param("evalString", value));
    EXPECT_TRUE(record.paramDefault("evalString", defaultValue));
    EXPECT_EQ(value, "abc");
    EXPECT_EQ(defaultValue, "");
    EXPECT_EQ(record.paramType("evalString"), 0);
    EXPECT_EQ(record.paramAttributes("evalString"),
              (std::vector<PropertiesDetail::Attribute>{{"hidden", "false"}, {"read-only", "true"}}));
    bool flagDefault = true;
    EXPECT_FALSE(record.paramDefault("inPlace", flagDefault));
    EXPECT_TRUE(record.hasParam("inPlace"));
    EXPECT_EQ(record.paramType("inPlace"), 8);
}

struct Owner : Configurable {
    Parameter<int> a{"a", 1};
    Parameter<float> b{"b", 2.0f};
    Owner() {
        registerParameter(&a);
        registerParameter(&b);
        registerParameter(&a);
    }
};

TEST(Configurable, ConfiguresEveryRegisteredParameterAndRestoresDefaults) {
    Owner owner;
    ASSERT_EQ(owner.parameters().size(), 2u);
    EXPECT_EQ(owner.a.owner(), &owner);
    Properties record;
    record.setParam("a", 10);
    record.setParam("b", 20.0f);
    owner.configure(&record);
    EXPECT_EQ(owner.a.value(), 10);
    EXPECT_EQ(owner.b.value(), 20.0f);
    Properties written;
    owner.configuration(&written);
    EXPECT_EQ(written.keys(), (std::vector<std::string>{"a", "b"}));
    owner.configureDefaults();
    EXPECT_EQ(owner.a.value(), 1);
    EXPECT_EQ(owner.b.value(), 2.0f);
}

TEST(Configurable, ParameterUnregistersWhenDestroyedAndOwnerReleasesSurvivors) {
    Configurable owner;
    {
        Parameter<int> shortLived("x", 0);
        owner.registerParameter(&shortLived);
        EXPECT_EQ(owner.parameter("x"), &shortLived);
    }
    EXPECT_TRUE(owner.parameters().empty());
    Parameter<int> survivor("y", 0);
    {
        Configurable temporary;
        temporary.registerParameter(&survivor);
    }
    EXPECT_EQ(survivor.owner(), nullptr);
}

}  // namespace
}  // namespace Korvanta
