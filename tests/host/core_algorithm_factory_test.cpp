#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "host/core/AlgorithmFactory.h"
#include "host/core/LogCapture.h"
#include "host/image/SharedImageSet.h"

namespace Korvanta {
namespace {

enum class Answer { Accept, Reject, ThrowStd, ThrowOther };

template <class Base>
struct Fake : Base {
    static inline Answer answer = Answer::Accept;
    Parameter<int> level{"level", 0};
    bool configuredGlobally = false;

    Fake() { this->registerParameter(&level); }
    static bool createCompatible(const DataList&, Algorithm** out) {
        switch (answer) {
            case Answer::Reject:
                return false;
            case Answer::ThrowStd:
                throw std::length_error("too many images");
            case Answer::ThrowOther:
                throw 42;
            case Answer::Accept:
                break;
        }
        if (out)
            *out = new Fake;
        return true;
    }
    void compute() override {}
    OwningDataList takeOutput() override { return {}; }
    // Overrides the host's hook only when Base is IoAlgorithm, so it cannot carry `override` for both.
#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Winconsistent-missing-override"
#endif
    void configureFromGlobalSettings() {
        configuredGlobally = true;
    }
#if defined(__clang__)
#pragma clang diagnostic pop
#endif
};
using FakeAlgorithm = Fake<Algorithm>;
using FakeIoAlgorithm = Fake<IoAlgorithm>;  // its configureFromGlobalSettings overrides the host's

class AlgorithmFactoryTest : public ::testing::Test {
protected:
    void SetUp() override { FakeAlgorithm::answer = Answer::Accept; }
    void TearDown() override { FakeAlgorithm::answer = Answer::Accept; }
    LogCapture log{Log::Trace};
    SharedImageSet a, b;
    DataList data{&a, &b};
};

TEST_F(AlgorithmFactoryTest, FullIdIsFactoryNameDotId) {
    AlgorithmFactory named("ImageMath");
    named.registerAlgorithm<FakeAlgorithm>("Fake", "Group;Fake Algorithm", {}, std::nullopt);
    ASSERT_EQ(named.algorithmDescriptors().size(), 1u);
    const auto& d = named.algorithmDescriptors()[0];
    EXPECT_EQ(d.id, "ImageMath.Fake");
    EXPECT_EQ(d.name, "Group;Fake Algorithm");
    EXPECT_EQ(d.attributes.bits(), 0u);
    EXPECT_FALSE(d.hidden);
    EXPECT_EQ(named.algorithmId(typeid(FakeAlgorithm)), "ImageMath.Fake");

    AlgorithmFactory unnamed("");
    unnamed.registerAlgorithm<FakeAlgorithm>("Fake", "Fake", {}, std::nullopt);
    EXPECT_EQ(unnamed.algorithmDescriptors()[0].id, "Fake");
}

TEST_F(AlgorithmFactoryTest, SecondRegistrationIsIgnoredWithOneWarning) {
    AlgorithmFactory factory("ImageMath");
    factory.registerAlgorithm<FakeAlgorithm>("Fake", "First", {}, std::nullopt);
    factory.registerAlgorithm<FakeAlgorithm>("Fake", "Second", {}, std::nullopt);
    ASSERT_EQ(factory.algorithmDescriptors().size(), 1u);
    EXPECT_EQ(factory.algorithmDescriptors()[0].name, "First");
    ASSERT_EQ(log.records().size(), 1u);
    EXPECT_EQ(log.records()[0].text, "Algorithm already registered: ImageMath.Fake");
    EXPECT_EQ(log.records()[0].category, "AlgorithmFactory");
    EXPECT_EQ(log.records()[0].level, Log::Warning);
}

TEST_F(AlgorithmFactoryTest, CreatedAlgorithmCarriesFactoryInfo) {
    struct Case {
        std::string namePath, shortName;
    };
    for (const Case& c : {Case{"Image Operations;Arithmetic Operators", "Arithmetic Operators"},
                          Case{"Whole Name", "Whole Name"}, Case{"", ""}}) {
        AlgorithmFactory factory("ImageMath");
        factory.registerAlgorithm<FakeAlgorithm>("Fake", c.namePath, {}, std::nullopt);
        std::unique_ptr<Algorithm> algorithm = factory.instantiateAlgorithm("ImageMath.Fake", data);
        ASSERT_TRUE(algorithm);
        EXPECT_EQ(algorithm->factoryInfo().id, "ImageMath.Fake");
        EXPECT_EQ(algorithm->factoryInfo().name, c.shortName);
        EXPECT_EQ(algorithm->factoryInfo().data.items(), data.items());
        EXPECT_FALSE(algorithm->survivesDataDeletion(&b));
    }
}

TEST_F(AlgorithmFactoryTest, RejectedDataGivesNullSilently) {
    AlgorithmFactory factory("ImageMath");
    factory.registerAlgorithm<FakeAlgorithm>("Fake", "Fake", {}, std::nullopt);
    FakeAlgorithm::answer = Answer::Reject;
    EXPECT_EQ(factory.algorithmDescriptors()[0].create(data), nullptr);
    EXPECT_FALSE(factory.algorithmDescriptors()[0].compatible(data));
    EXPECT_TRUE(factory.compatibleDescriptors(data).empty());
    EXPECT_TRUE(log.records().empty());
}

TEST_F(AlgorithmFactoryTest, StdExceptionIsLoggedAndGivesNullOthersPropagate) {
    AlgorithmFactory factory("ImageMath");
    factory.registerAlgorithm<FakeAlgorithm>("Fake", "Group;Fake", {}, std::nullopt);
    FakeAlgorithm::answer = Answer::ThrowStd;
    EXPECT_EQ(factory.algorithmDescriptors()[0].create(data), nullptr);
    ASSERT_EQ(log.records().size(), 1u);
    EXPECT_EQ(log.records()[0].text, "Cannot create algorithm Group;Fake: too many images");
    EXPECT_EQ(log.records()[0].category, "");
    EXPECT_EQ(log.records()[0].level, Log::Error);
    FakeAlgorithm::answer = Answer::ThrowOther;
    EXPECT_THROW(factory.algorithmDescriptors()[0].create(data), int);
}

TEST_F(AlgorithmFactoryTest, DefaultsAreConfiguredAndIoAlgorithmsTakeGlobalSettings) {
    Properties defaults;
    defaults.setParam("level", 9);
    AlgorithmFactory factory("");
    factory.registerAlgorithm<FakeAlgorithm>("Plain", "Plain", {}, defaults);
    factory.registerAlgorithm<FakeIoAlgorithm>("Io", "Io", {}, std::nullopt);
    auto plain = factory.instantiateAlgorithm("Plain", data);
    auto io = factory.instantiateAlgorithm("Io", data);
    ASSERT_TRUE(plain && io);
    EXPECT_EQ(static_cast<FakeAlgorithm&>(*plain).level.value(), 9);
    EXPECT_FALSE(static_cast<FakeAlgorithm&>(*plain).configuredGlobally);
    EXPECT_TRUE(static_cast<FakeIoAlgorithm&>(*io).configuredGlobally);
    EXPECT_EQ(factory.instantiateAlgorithm("Missing", data), nullptr);
}

}  // namespace
}  // namespace Korvanta
