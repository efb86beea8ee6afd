#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plugin/SharedImageArithmeticAlgorithm.h"
#include "tests/plugin/TestImages.h"

namespace Korvanta {
namespace {

using Mode = SharedImageArithmeticAlgorithm::Mode;

std::string attribute(const Properties& record, const std::string& key, const std::string& name) {
    for (const auto& a : record.paramAttributes(key))
        if (a.name == name)
            return a.value;
    return "<unset>";
}

// What the host sees of the algorithm: "evalString" and the visibility of the two operand parameters.
struct Shown {
    std::string evalString;
    std::string rightHandSideHidden;
    std::string channelIndicesHidden;
    bool operator==(const Shown& o) const {
        return evalString == o.evalString && rightHandSideHidden == o.rightHandSideHidden &&
               channelIndicesHidden == o.channelIndicesHidden;
    }
};

std::ostream& operator<<(std::ostream& out, const Shown& s) {
    return out << "{\"" << s.evalString << "\", " << s.rightHandSideHidden << ", " << s.channelIndicesHidden
               << "}";
}

Shown shown(const SharedImageArithmeticAlgorithm& algorithm) {
    Properties record;
    algorithm.configuration(&record);
    Shown s;
    record.param("evalString", s.evalString);
    s.rightHandSideHidden = attribute(record, "rightHandSide", "hidden");
    s.channelIndicesHidden = attribute(record, "channelIndices", "hidden");
    return s;
}

template <class T>
void configure(SharedImageArithmeticAlgorithm& algorithm, const std::string& key, const T& value) {
    Properties record;
    record.setParam(key, value);
    algorithm.configure(&record);
}

class AlgorithmParameters : public ::testing::Test {
protected:
    std::unique_ptr<SharedImageSet> first = test::makeSet(test::descriptor(PixelType::Float, 4, 4, 1, 3), 2);
    std::unique_ptr<SharedImageSet> second = test::makeSet(test::descriptor(PixelType::Float, 4, 4, 1, 3), 2);
};

TEST_F(AlgorithmParameters, FreshConfigurationHoldsDefaultsTypeCodeAndAttributes) {
    SharedImageArithmeticAlgorithm algorithm(*first, nullptr);
    Properties record;
    algorithm.configuration(&record);
    EXPECT_EQ(record.keys(),
              (std::vector<std::string>{"evalString", "inPlace", "mode", "rightHandSide", "channelIndices"}));
    int mode = -1, modeDefault = -1;
    ASSERT_TRUE(record.param("mode", mode));
    ASSERT_TRUE(record.paramDefault("mode", modeDefault));
    EXPECT_EQ(mode, 0);
    EXPECT_EQ(modeDefault, 0);
    EXPECT_EQ(record.paramType("mode"), 8);
    EXPECT_EQ(attribute(record, "mode", "values"),
              "BinaryAdd, BinaryMinus, BinaryMult, BinaryDivide, BinaryPow, UnaryMinus, UnaryAbs, "
              "UnaryChannelSwizzle");
    std::vector<unsigned long> indices, indicesDefault;
    ASSERT_TRUE(record.param("channelIndices", indices));
    ASSERT_TRUE(record.paramDefault("channelIndices", indicesDefault));
    EXPECT_EQ(indices, (std::vector<unsigned long>{0, 1, 2, 3}));
    EXPECT_EQ(indicesDefault, indices);
    float rightHandSide = 0;
    bool inPlace = true;
    ASSERT_TRUE(record.param("rightHandSide", rightHandSide));
    ASSERT_TRUE(record.param("inPlace", inPlace));
    EXPECT_EQ(rightHandSide, 1.0f);
    EXPECT_FALSE(inPlace);
    EXPECT_EQ(attribute(record, "evalString", "read-only"), "true");
    for (const char* key : {"evalString", "inPlace", "rightHandSide", "channelIndices"})
        EXPECT_EQ(record.paramType(key), 0) << key;

    SharedImageArithmeticAlgorithm withSecond(*first, second.get());
    Properties binary;
    withSecond.configuration(&binary);
    EXPECT_EQ(attribute(binary, "mode", "values"),
              "BinaryAdd, BinaryMinus, BinaryMult, BinaryDivide, BinaryPow");
}

TEST_F(AlgorithmParameters, EvalStringAndVisibilityFollowTheModeWithoutSecondSet) {
    struct Case {
        int mode;
        Shown expected;
    };
    const std::vector<Case> cases = {
        {0, {"(image0)+(scalarf0)", "false", "true"}},
        {1, {"(image0)-(scalarf0)", "false", "true"}},
        {2, {"(image0)*(scalarf0)", "false", "true"}},
        {3, {"(image0)/(scalarf0)", "false", "true"}},
        {4, {"pow((image0), (scalarf0))", "false", "true"}},
        {5, {"-(image0)", "true", "true"}},
        {6, {"abs(image0)", "true", "true"}},
        {7, {"(image0).rgba", "true", "false"}},
        {8, {"", "true", "true"}},
        {-1, {"", "true", "true"}},
    };
    for (const Case& c : cases) {
        SharedImageArithmeticAlgorithm algorithm(*first, nullptr);
        configure(algorithm, "mode", c.mode);
        EXPECT_EQ(shown(algorithm), c.expected) << "mode " << c.mode;
    }
}

TEST_F(AlgorithmParameters, EvalStringAndVisibilityFollowTheModeWithSecondSet) {
    struct Case {
        int mode;
        Shown expected;
    };
    const std::vector<Case> cases = {
        {0, {"(image0)+(image1)", "true", "true"}},
        {3,
         {"(float(length(image1) != 0.0) * (image0))/(image1 + float(length(image1) == 0.0))", "true",
          "true"}},
        {4, {"pow((image0), (image1))", "true", "true"}},
        {5, {"", "true", "true"}},
        {7, {"", "true", "false"}},
        {9, {"", "true", "true"}},
    };
    for (const Case& c : cases) {
        SharedImageArithmeticAlgorithm algorithm(*first, second.get());
        configure(algorithm, "mode", c.mode);
        EXPECT_EQ(shown(algorithm), c.expected) << "mode " << c.mode;
    }
}

TEST_F(AlgorithmParameters, SwizzleTextFollowsTheChannelIndices) {
    SharedImageArithmeticAlgorithm algorithm(*first, nullptr);
    configure(algorithm, "mode", static_cast<int>(SharedImageArithmeticAlgorithm::UnaryChannelSwizzle));
    configure(algorithm, "channelIndices", std::vector<unsigned long>{2, 1, 0});
    EXPECT_EQ(shown(algorithm).evalString, "(image0).bgr");
}

TEST_F(AlgorithmParameters, EvalStringSignalsOnlyRealChanges) {
    SharedImageArithmeticAlgorithm algorithm(*first, nullptr);
    int textChanges = 0, configured = 0;
    algorithm.parameter("evalString")->signalValueChanged.connect([&] { ++textChanges; });
    algorithm.signalParametersChanged.connect([&] { ++configured; });
    struct Step {
        const char* key;
        double value;
        int textChanges;
    };
    const std::vector<Step> steps = {
        {"mode", 0, 0},             // unchanged mode: no handler runs
        {"rightHandSide", 2.5, 0},  // the scalar enters the text by name, not by value
        {"mode", 5, 1},
        {"rightHandSide", 7, 1},
        {"mode", 8, 2},
        {"mode", 9, 2},
        {"mode", 7, 3},
        {"mode", 2, 4},
    };
    for (const Step& step : steps) {
        Properties record;
        if (std::string(step.key) == "mode")
            record.setParam(step.key, static_cast<int>(step.value));
        else
            record.setParam(step.key, static_cast<float>(step.value));
        algorithm.configure(&record);
        EXPECT_EQ(textChanges, step.textChanges) << step.key << " " << step.value;
    }
    EXPECT_EQ(configured, static_cast<int>(steps.size()));
    algorithm.configure(nullptr);
    EXPECT_EQ(configured, static_cast<int>(steps.size()));
}

TEST_F(AlgorithmParameters, RejectedRightHandPixelTypeStillGetsText) {
    auto odd = std::make_unique<SharedImageSet>();
    odd->add(
        std::make_shared<SharedImage>(test::descriptor(static_cast<PixelType>(0x1234), 4, 4, 1, 3), nullptr));
    SharedImageArithmeticAlgorithm algorithm(*first, odd.get());
    EXPECT_EQ(shown(algorithm).evalString, "(image0)+(image1)");
}

TEST_F(AlgorithmParameters, SameSetOnBothSidesSharesOneName) {
    SharedImageArithmeticAlgorithm algorithm(*first, first.get());
    EXPECT_EQ(shown(algorithm).evalString, "(image0)+(image0)");
}

}  // namespace
}  // namespace Korvanta
