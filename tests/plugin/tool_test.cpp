#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <limits>
#include <string>

#include "tests/plugin/TestImages.h"
#include "tools/ElementAccess.h"
#include "tools/ImageSetJson.h"
#include "tools/ParameterInput.h"

namespace Korvanta {
namespace {

using ::testing::HasSubstr;

// Output of a shell command and its exit status.
std::pair<std::string, int> runCommand(const std::string& command) {
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return {"", -1};
    char buffer[4096];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        output.append(buffer, n);
    const int status = pclose(pipe);
    return {output, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

TEST(ImageSetJson, EveryPixelTypeAndSpecialValueRoundTripsExactly) {
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<std::pair<PixelType, std::vector<double>>> cases = {
        {PixelType::Byte, {-128, 127, 0, -1}},
        {PixelType::UByte, {0, 255, 1, 2}},
        {PixelType::Short, {-32768, 32767, 0, 5}},
        {PixelType::UShort, {0, 65535, 7, 8}},
        {PixelType::Int, {-2147483648.0, 2147483647.0, 0, -5}},
        {PixelType::UInt, {0, 4294967295.0, 1, 3}},
        {PixelType::Float, {std::nan(""), inf, -inf, 0.1f}},
        {PixelType::HFloat, {1.5, -0.0, 3.4028234663852886e38, 1e-45}},
        {PixelType::Double, {0.1, 5e-324, -inf, 1.7976931348623157e308}},
    };
    for (const auto& [type, values] : cases) {
        SCOPED_TRACE(static_cast<int>(type));
        SharedImageSet set;
        auto image = std::make_shared<SharedImage>(test::descriptor(type, 2, 1, 1, 2, 0.1, 3.0));
        for (std::size_t i = 0; i < values.size(); ++i)
            tools::setStoredValue(*image->mem(), static_cast<std::int64_t>(i), values[i]);
        set.add(image);
        const QByteArray text = QJsonDocument(tools::imageSetToJson(set)).toJson();
        std::unique_ptr<SharedImageSet> back =
            tools::imageSetFromJson(QJsonDocument::fromJson(text).object());
        ASSERT_EQ(back->size(), 1);
        const ImageDescriptor d = back->get(0)->descriptor();
        EXPECT_EQ(d.pixelType, type);
        EXPECT_EQ(d.shift, 0.1);
        EXPECT_EQ(d.scale, 3.0);
        for (std::size_t i = 0; i < values.size(); ++i) {
            const double expected = test::storedAt(*image, static_cast<std::int64_t>(i));
            const double actual = test::storedAt(*back->get(0), static_cast<std::int64_t>(i));
            EXPECT_EQ(std::signbit(actual), std::signbit(expected));
            EXPECT_TRUE(test::sameValue(actual, expected)) << i << ": " << actual << " != " << expected;
        }
    }
}

TEST(ImageSetJson, RejectsMalformedImages) {
    const std::vector<std::pair<const char*, const char*>> cases = {
        {R"({"images": [{"pixelType": "uint8", "width": 2, "values": [1]}]})",
         "holds 1 values for 2 elements"},
        {R"({"images": [{"pixelType": "uint8", "values": [256]}]})", "does not fit"},
        {R"({"images": [{"pixelType": "int16", "values": [1.5]}]})", "does not fit"},
        {R"({"images": [{"pixelType": "float", "values": ["nan"]}]})", "expected a number"},
        {R"({"images": [{"pixelType": "bogus"}]})", "Unknown pixel type 'bogus'"},
        {R"({"images": [{"pixelType": "uint8", "width": -1}]})", "must be a non-negative integer"},
        {R"({"images": [{"pixelType": "uint8", "width": 100000, "height": 100000}]})", "more than"},
        {R"({"images": [{"pixelType": "0x1234", "values": [1]}]})", "without CPU memory has no values"},
    };
    for (const auto& [json, message] : cases) {
        try {
            tools::imageSetFromJson(QJsonDocument::fromJson(json).object());
            ADD_FAILURE() << json;
        } catch (const std::invalid_argument& e) {
            EXPECT_THAT(e.what(), HasSubstr(message)) << json;
        }
    }
}

TEST(ParameterInput, ParsesByTheConfiguredTypeAndRejectsTheRest) {
    Properties configuration;
    configuration.setParam("mode", 0);
    configuration.setParamAttributes("mode", {{"values", "BinaryAdd, BinaryMinus, UnaryAbs"}});
    configuration.setParam("rightHandSide", 1.0f);
    configuration.setParam("channelIndices", std::vector<unsigned long>{0});
    configuration.setParam("inPlace", false);
    configuration.setParam("evalString", std::string());
    configuration.setParamAttributes("evalString", {{"read-only", "true"}});

    Properties record;
    tools::setParameterFromText(record, configuration, "mode", "UnaryAbs");
    tools::setParameterFromText(record, configuration, "rightHandSide", "2.5");
    tools::setParameterFromJson(record, configuration, "channelIndices", QJsonArray{2, 1, 0});
    tools::setParameterFromJson(record, configuration, "inPlace", true);
    int mode = 0;
    float rightHandSide = 0;
    std::vector<unsigned long> indices;
    bool inPlace = false;
    ASSERT_TRUE(record.param("mode", mode) && record.param("rightHandSide", rightHandSide) &&
                record.param("channelIndices", indices) && record.param("inPlace", inPlace));
    EXPECT_EQ(mode, 2);
    EXPECT_EQ(rightHandSide, 2.5f);
    EXPECT_EQ(indices, (std::vector<unsigned long>{2, 1, 0}));
    EXPECT_TRUE(inPlace);
    tools::setParameterFromText(record, configuration, "mode", "-3");
    ASSERT_TRUE(record.param("mode", mode));
    EXPECT_EQ(mode, -3);

    const std::vector<std::pair<std::string, std::string>> rejected = {
        {"mode", "BinaryDivision"}, {"mode", "99999999999"}, {"rightHandSide", "2.5x"}, {"rightHandSide", ""},
        {"channelIndices", "1,-2"}, {"inPlace", "yes"},      {"evalString", "x"},       {"unknown", "1"},
    };
    for (const auto& [key, text] : rejected)
        EXPECT_THROW(tools::setParameterFromText(record, configuration, key, text), std::invalid_argument)
            << key << "=" << text;
}

TEST(HostTool, ScriptedModeComputesAndRoundTripsValuesExactly) {
    const std::string input = ::testing::TempDir() + "korvanta_host_script.json";
    std::ofstream(input) << R"({
        "parameters": {"mode": "BinaryAdd", "rightHandSide": 0, "inPlace": false},
        "first": {"images": [
            {"pixelType": "double", "width": 3, "height": 2, "values":
                [0.1, "NaN", "Infinity", "-Infinity", 5e-324, 1.7976931348623157e308]},
            {"pixelType": "double", "width": 3, "height": 2, "values": [1, 2, 3, 4, 5, 6], "shift": 0.5, "scale": 2}],
          "selection": [0]}
    })";
    const auto [output, status] =
        runCommand(std::string(KORVANTA_HOST_PATH) + " script " + input + " 2>/dev/null");
    ASSERT_EQ(status, 0) << output;
    const QJsonObject result = QJsonDocument::fromJson(QByteArray::fromStdString(output)).object();
    EXPECT_EQ(result.value("status").toInt(-1), 0);
    EXPECT_EQ(result.value("evalString").toString(), "(image0)+(scalarf0)");
    std::unique_ptr<SharedImageSet> images = tools::imageSetFromJson(result);
    ASSERT_EQ(images->size(), 2);
    // x + 0 with shift 0 and scale 1 gives x back; NaN stays NaN. Image 1 is not selected.
    const std::vector<double> expected = {0.1,       std::nan(""), INFINITY,
                                          -INFINITY, 5e-324,       1.7976931348623157e308};
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_TRUE(
            test::sameValue(test::storedAt(*images->get(0), static_cast<std::int64_t>(i)), expected[i]))
            << i;
    EXPECT_EQ(test::storedAt(*images->get(1), 5), 6.0);
    EXPECT_EQ(images->get(1)->descriptor().shift, 0.5);
    EXPECT_EQ(images->get(1)->descriptor().scale, 2.0);
}

TEST(HostTool, ScriptedModeReportsBadInputAsJsonError) {
    const std::string input = ::testing::TempDir() + "korvanta_host_bad_script.json";
    std::ofstream(input) << R"({"parameters": {"mode": 7, "channelIndices": [5]},
        "first": {"images": [{"pixelType": "uint8", "channels": 2, "values": [1, 2]}]}})";
    const auto [output, status] =
        runCommand(std::string(KORVANTA_HOST_PATH) + " script " + input + " 2>/dev/null");
    EXPECT_EQ(status, 1);
    EXPECT_THAT(output,
                HasSubstr("\"error\":\"\\\"channelIndices\\\" holds 1 entries but image 0 has 2 channels\""));
}

TEST(HostTool, DemoModeRunsThroughTheLoadedPlugin) {
    const auto [output, status] = runCommand(std::string(KORVANTA_HOST_PATH) +
                                             " demo size=16x16x12 count=3 fill=constant value=4 2>&1");
    ASSERT_EQ(status, 0) << output;
    EXPECT_THAT(output, HasSubstr("Plug-in Korvanta.ImageMath loaded"));
    EXPECT_THAT(output, HasSubstr("Performing arithmetic operation..."));
    EXPECT_THAT(output, HasSubstr("evalString: (image0)*(scalarf0)"));
    EXPECT_THAT(output, HasSubstr("image 2: min 4  max 4  mean 4  ->  min 10  max 10  mean 10"));
    const auto [second, secondStatus] =
        runCommand(std::string(KORVANTA_HOST_PATH) + " demo size=4x4x1 second=one mode=BinaryDivide 2>&1");
    EXPECT_EQ(secondStatus, 0) << second;
    EXPECT_THAT(second, HasSubstr("evalString: (float(length(image1) != 0.0)"));
}

}  // namespace
}  // namespace Korvanta
