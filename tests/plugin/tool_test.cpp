#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>

#include "host/core/PluginLoader.h"
#include "tools/AlgorithmRun.h"
#include "tools/JsonOutput.h"
#include "tools/NumberText.h"
#include "tools/ParameterInput.h"
#include "tools/ResultOutput.h"
#include "tools/ScriptInput.h"

namespace Korvanta {
namespace {

using ::testing::HasSubstr;

struct ToolRun {
    std::string out;
    std::string err;
    int status;
};

// Runs a shell command in which HOST stands for the tool, with `input` as its standard input.
ToolRun runTool(std::string command, const std::string& input = "") {
    const std::string files = ::testing::TempDir() + "korvanta_host_" + std::to_string(getpid());
    std::ofstream(files + ".in") << input;
    command.replace(command.find("HOST"), 4, KORVANTA_HOST_PATH);
    ToolRun run;
    FILE* pipe = popen(("(" + command + ") <" + files + ".in 2>" + files + ".err").c_str(), "r");
    if (!pipe)
        return {"", "", -1};
    char buffer[4096];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        run.out.append(buffer, n);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::stringstream err;
    err << std::ifstream(files + ".err").rdbuf();
    run.err = err.str();
    // A sanitizer's report in the tool would otherwise pass as one more message.
    EXPECT_THAT(run.err, ::testing::Not(HasSubstr("Sanitizer"))) << command;
    return run;
}

// A script with the parameters and the images of "first" (JSON text of each).
std::string script(const std::string& parameters, const std::string& images, const std::string& more = "") {
    return R"({"parameters": {)" + parameters + R"(}, "first": {"images": [)" + images + "]" + more + "}}";
}

TEST(HostTool, RefusesBadInputNamingTheProblemWithNothingOnStdout) {
    const std::string u8 = R"({"pixelType": "uint8"})";
    const std::string two = u8 + "," + u8;
    struct Case {
        std::string command;
        std::string input;
        int status;  // 1 refused input, 2 wrong usage, 3 plug-in not loaded, 4 failed
        std::string message;
    };
    const std::vector<Case> cases = {
        {"HOST script", "[1]", 1, "must be a JSON object, not an array"},
        {"HOST script", R"({"first": {"images": [)", 1, "not valid JSON"},
        {"HOST script", R"({"secnd": {}, "first": {"images": [{"pixelType": "uint8"}]}})", 1,
         "Unknown key \"secnd\" at the top"},
        {"HOST script", script("", R"({"pixelType": "uint8", "shfit": 1})"), 1,
         "Unknown key \"shfit\" in image 0 of \"first\""},
        {"HOST script", script("\"mdoe\": 1", u8), 1, "Unknown key \"mdoe\" in \"parameters\""},
        {"HOST script", script("", u8, R"(, "selction": [0])"), 1, "Unknown key \"selction\" in \"first\""},
        {"HOST script", R"({"parameters": [], "first": {"images": [{"pixelType": "uint8"}]}})", 1,
         "\"parameters\" is an array, not an object"},
        {"HOST script", script("", R"({"pixelType": "uint8", "width": 1, "width": 1})"), 1,
         "Key \"width\" appears twice in image 0"},
        {"HOST script", script("", R"({"pixelType": "uint8", "values": [1], "width": 1})"), 1,
         "\"width\" follows \"values\""},
        {"HOST script", script("", u8, R"(, "selection": "0")"), 1,
         "\"selection\" of \"first\" is \"0\", not an array"},
        {"HOST script", script("", u8, R"(, "selection": {"0": 1})"), 1,
         "\"selection\" of \"first\" is an object"},
        {"HOST script", script("", u8, R"(, "selection": null)"), 1, "\"selection\" of \"first\" is null"},
        {"HOST script", script("", u8, R"(, "selection": [5])"), 1,
         "entry 0 of \"selection\" of \"first\" is 5"},
        {"HOST script", script("", u8, R"(, "selection": [-1])"), 1, "is -1, not an image index"},
        {"HOST script", script("", u8, R"(, "selection": [0.5])"), 1, "is 0.5, not an image index"},
        {"HOST script", script("", u8, R"(, "selection": ["a"])"), 1, "is \"a\", not an image index"},
        {"HOST script", script("", two, R"(, "selection": [0, 7])"), 1,
         "entry 1 of \"selection\" of \"first\" is 7"},
        {"HOST script", script("", u8, R"(, "modality": 7)"), 1, "\"modality\" of \"first\" is 7"},
        {"HOST script", script("", R"({"pixelType": "uint8", "width": 2, "values": [1]})"), 1,
         "\"values\" ends after 1 of the image's 2 elements"},
        {"HOST script", script("", R"({"pixelType": "uint8", "values": [256]})"), 1,
         "element 0 of image 0 of \"first\": 256 is out of range for a uint8"},
        {"HOST script", script("", R"({"pixelType": "int16", "values": [1.5]})"), 1, "1.5 is not an integer"},
        {"HOST script", script("", R"({"pixelType": "float", "values": [1e39]})"), 1,
         "1e39 is out of range for a float"},
        {"HOST script", script("", R"({"pixelType": "double", "values": [1e400]})"), 1,
         "beyond the largest double"},
        {"HOST script", script("", R"({"pixelType": "float", "values": ["nan"]})"), 1,
         "\"nan\" is not a number"},
        {"HOST script", script("", R"({"pixelType": "bogus"})"), 1, "\"bogus\" is not a pixel type"},
        {"HOST script", script(R"("mode": 7, "channelIndices": ["a", "b", "c"])", u8), 1,
         "entry 0 of \"channelIndices\" in \"parameters\" is \"a\""},
        {"HOST script", script(R"("rightHandSide": "2.5")", u8), 1, "\"2.5\" is not a number"},
        {"HOST script",
         script(R"("mode": "UnaryAbs")", u8, R"(}, "second": {"images": [{"pixelType": "uint8"}])"), 1,
         "\"UnaryAbs\" is not allowed with a second set"},
        {"HOST script",
         script("", R"({"pixelType": "uint8", "width": 2})",
                R"(}, "second": {"images": [{"pixelType": "uint8"}])"),
         1, "image 0 of the first set is 2x1x1"},
        {"HOST script",
         script("", R"({"pixelType": "uint8", "width": 100000, "height": 100000, "slices": 100000})"), 1,
         "image 0 of \"first\" needs 909.5 TiB of memory"},
        {"HOST script",
         script("",
                R"({"pixelType": "uint8", "width": 2147483647, "height": 2147483647, "slices": 2147483647})"),
         1, "more elements than any memory holds"},
        {"HOST demo size=1048576x1048576x1048576 count=1", "", 1, "The first set needs 2.0 EiB of memory"},
        {"HOST demo mode=UnaryAbs second=set", "", 1, "'UnaryAbs' is not allowed with a second set"},
        {"HOST demo type=uint8 fill=constant value=300", "", 1, "'300' is out of range for a uint8"},
        {"HOST demo sze=4", "", 1, "Unknown setting 'sze'"},
        {"HOST --plugin demo", "", 2, "--plugin takes the path of the plug-in library, not 'demo'"},
        {"HOST", "", 2, "No command given"},
        {"HOST script a b", "", 2, "script takes one file"},
        {"KORVANTA_PLUGIN=/nonexistent HOST demo", "", 3, "/nonexistent"},
        {"HOST script /nonexistent", "", 1, "Cannot open '/nonexistent'"},
        {"HOST script >/dev/full", script("", R"({"pixelType": "uint8", "values": [1]})"), 4,
         "No space left on device"},
        {"HOST demo size=2x2x1 >/dev/full", "", 4, "Cannot write the output"},
        {"HOST demo size=2x2x1 >&-", "", 4, "Standard output is closed"},
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)  // their shadow memory needs more
        // Each image fits the process's 200 MB, both together do not.
        {"ulimit -d 200000 && HOST script",
         script("", R"({"pixelType": "uint8", "width": 1024, "height": 1024, "slices": 120},)"
                    R"({"pixelType": "uint8", "width": 1024, "height": 1024, "slices": 120})"),
         1, "image 1 of \"first\" needs 120.0 MiB of memory; with the images before it, 240.0 MiB"},
#endif
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command + " <<< " + c.input);
        const ToolRun run = runTool(c.command, c.input);
        EXPECT_EQ(run.status, c.status);
        EXPECT_EQ(run.out, "");
        // One message, on its own line, saying where before what, and each only once.
        const std::size_t start = run.err.find("error: ");
        ASSERT_NE(start, std::string::npos) << run.err;
        EXPECT_EQ(run.err.find("error: ", start + 1), std::string::npos) << run.err;
        const std::string line = run.err.substr(start + 7, run.err.find('\n', start) - start - 7);
        EXPECT_THAT(line, HasSubstr(c.message));
        const std::string where = line.substr(0, line.find(": "));
        EXPECT_EQ(line.find(where, 1), std::string::npos) << "repeated: " << where;
    }
}

TEST(HostTool, ReadsEveryNumberOnceExactlyAndWritesItShortest) {
    // 1 + 2^-24 lies halfway between the floats 1 and 1 + 2^-23 and rounds to even, 1; read through a
    // double first it would become 1 + 2^-23. Image 0 is selected: 0 + rightHandSide. The others pass
    // through unchanged.
    const std::string input =
        script(R"("mode": "BinaryAdd", "rightHandSide": 1.000000059604644775390625, "inPlace": true)",
               R"({"pixelType": "float", "values": [0]},
           {"pixelType": "float", "width": 11, "values": [1e-45, 7.1e-46, 7e-46, -0, "-0", 1e-400, -1e-400,
                3.4028235e38, "NaN", "-Infinity", 0.1]},
           {"pixelType": "double", "width": 6, "values": [5e-324, 1.7976931348623157e308, 0.1, -0, -1e-400, 1e-400]},
           {"pixelType": "uint32", "width": 4, "values": [4294967295, 1e2, 100.0e0, 0.0005e4]},
           {"pixelType": "int8", "width": 2, "shift": -0.5, "scale": 1e-300, "values": [-128, -0]})",
               R"(, "selection": [0])");
    const ToolRun run = runTool("HOST script", input);
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> expected = {
        R"("values":[1])",
        R"("values":[1e-45,1e-45,0,"-0","-0",0,"-0",3.4028235e+38,"NaN","-Infinity",0.1])",
        R"("values":[5e-324,1.7976931348623157e+308,0.1,"-0","-0",0])",
        R"("values":[4294967295,100,100,5])",
        R"("shift":-0.5,"scale":1e-300,"values":[-128,0])",
    };
    for (const std::string& text : expected)
        EXPECT_THAT(run.out, HasSubstr(text));
    EXPECT_THAT(run.err, ::testing::Not(HasSubstr("note:")));

    // What the tool writes it reads back as the same elements.
    const std::size_t images = run.out.find("[{");
    ASSERT_NE(images, std::string::npos);
    const std::string written = run.out.substr(images, run.out.rfind('}') - images);
    const ToolRun again =
        runTool("HOST script", script(R"("mode": 8)", written.substr(1, written.size() - 2)));
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(again.out.substr(again.out.find("[{")), written + "}\n");
    EXPECT_THAT(again.err, HasSubstr("note: mode 8 has no operation: nothing was computed"));

    // The reading itself, for every kind of problem.
    float f = 1;
    EXPECT_EQ(tools::readNumber("3.4028236e38", f),
              tools::NumberProblem::OutOfRange);  // rounds beyond the range
    EXPECT_EQ(tools::readNumber("-7e-46", f), tools::NumberProblem::None);
    EXPECT_TRUE(f == 0 && std::signbit(f));
    unsigned char u8 = 0;
    EXPECT_EQ(tools::readNumber("1.0000000000000000001", u8), tools::NumberProblem::NotAnInteger);
    EXPECT_EQ(tools::readNumber("-1", u8), tools::NumberProblem::OutOfRange);
    EXPECT_EQ(tools::readNumber("1e99999999999", u8), tools::NumberProblem::OutOfRange);
    EXPECT_EQ(tools::readNumber("25.5e1", u8), tools::NumberProblem::None);
    EXPECT_EQ(u8, 255);
    EXPECT_EQ(tools::readNumber("inf", f), tools::NumberProblem::NotANumber);
    unsigned long index = 0;
    EXPECT_EQ(tools::readNumber("18446744073709551615", index), tools::NumberProblem::None);
    EXPECT_EQ(index, std::numeric_limits<unsigned long>::max());
}

TEST(HostTool, StreamsTheElementsOfALargeResultWithoutACopy) {
    // More elements than 2^27 in a single image, more than a JSON library that holds its whole document
    // takes. The sanitizers, whose shadow memory and slower code make such a size take minutes, check a
    // smaller image through the same code.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    const std::int64_t slices = 2;
#else
    const std::int64_t slices = 129;
#endif
    const std::int64_t count = 1024 * 1024 * slices;
    const auto stored = [](std::int64_t i) { return static_cast<unsigned>(i * 7 % 251); };
    // The script is generated as it is read.
    const std::string head = R"({"parameters": {"rightHandSide": 1, "inPlace": true}, "first": {"images": [)"
                             R"({"pixelType": "uint8", "width": 1024, "height": 1024, "slices": )" +
                             std::to_string(slices) + R"(, "values": [)";
    const std::string tail = "]}]}}";
    std::int64_t next = -1;  // -1: the head, count: the tail
    const tools::ReadFunction generate = [&](char* buffer, std::size_t size) {
        char* out = buffer;
        if (next == -1 && size >= head.size())
            out = std::copy(head.begin(), head.end(), out);
        for (next = std::max<std::int64_t>(next, 0); next < count && buffer + size - out > 4; ++next) {
            out = std::to_chars(out, buffer + size, stored(next)).ptr;
            *out++ = next + 1 < count ? ',' : ' ';
        }
        if (next == count && buffer + size - out >= static_cast<std::ptrdiff_t>(tail.size())) {
            out = std::copy(tail.begin(), tail.end(), out);
            ++next;
        }
        return static_cast<std::size_t>(out - buffer);
    };
    tools::MemoryBudget budget;
    const tools::Script input = tools::readScript(generate, budget);
    EXPECT_EQ(budget.used(), static_cast<std::uint64_t>(count));

    const PluginLoader plugin(IMAGEMATH_PLUGIN_PATH);
    const Properties record = tools::parameterRecord(
        plugin, *input.first, nullptr, [&](Properties& record, const Properties& configuration) {
            for (const auto& [key, value] : input.parameters)
                tools::setParameter(record, configuration, key, value);
        });
    const tools::AlgorithmRun run = tools::runArithmetic(plugin, *input.first, nullptr, record, nullptr);

    // The sink sees the text piece by piece and sums the values after the second '[' (that of "values").
    std::int64_t brackets = 0, elements = 0;
    std::uint64_t value = 0, sum = 0, weighted = 0;
    tools::JsonOutput out([&](const char* text, std::size_t size) {
        for (const char* c = text; c < text + size; ++c) {
            brackets += *c == '[';
            if (brackets != 2)
                continue;
            if (*c >= '0' && *c <= '9') {
                value = value * 10 + static_cast<unsigned>(*c - '0');
            } else if (*c == ',' || *c == ']') {
                sum += value;
                weighted += value * static_cast<std::uint64_t>(elements++ % 1000);
                value = 0;
                brackets += *c == ']';
            }
        }
    });
    tools::writeResult(out, run);
    out.flush();
    std::uint64_t expectedSum = 0, expectedWeighted = 0;
    for (std::int64_t i = 0; i < count; ++i) {
        expectedSum += stored(i) + 1;
        expectedWeighted += (stored(i) + 1) * static_cast<std::uint64_t>(i % 1000);
    }
    EXPECT_EQ(elements, count);
    EXPECT_EQ(sum, expectedSum);
    EXPECT_EQ(weighted, expectedWeighted);
}

TEST(ParameterInput, ReadsEachFormByTheConfiguredTypeAndRejectsTheRest) {
    Properties configuration;
    configuration.setParam("mode", 0);
    configuration.setParamAttributes("mode", {{"values", "BinaryAdd, BinaryMinus, UnaryAbs"}});
    configuration.setParam("rightHandSide", 1.0f);
    configuration.setParam("channelIndices", std::vector<unsigned long>{0});
    configuration.setParam("inPlace", false);
    configuration.setParam("evalString", std::string());
    configuration.setParamAttributes("evalString", {{"read-only", "true"}});

    using Form = tools::ParameterValue::Form;
    Properties record;
    tools::setParameter(record, configuration, "mode", {Form::JsonString, "UnaryAbs", {}});
    tools::setParameter(record, configuration, "rightHandSide", {Form::Text, "-Infinity", {}});
    tools::setParameter(record, configuration, "channelIndices",
                        {Form::JsonNumberArray, "", {"2", "1", "0"}});
    tools::setParameter(record, configuration, "inPlace", {Form::JsonBoolean, "true", {}});
    int mode = 0;
    float rightHandSide = 0;
    std::vector<unsigned long> indices;
    bool inPlace = false;
    ASSERT_TRUE(record.param("mode", mode) && record.param("rightHandSide", rightHandSide) &&
                record.param("channelIndices", indices) && record.param("inPlace", inPlace));
    EXPECT_EQ(mode, 2);
    EXPECT_EQ(rightHandSide, -std::numeric_limits<float>::infinity());
    EXPECT_EQ(indices, (std::vector<unsigned long>{2, 1, 0}));
    EXPECT_TRUE(inPlace);
    tools::setParameter(record, configuration, "mode", {Form::Text, "-3", {}});
    ASSERT_TRUE(record.param("mode", mode));
    EXPECT_EQ(mode, -3);

    const std::vector<std::pair<std::string, tools::ParameterValue>> rejected = {
        {"mode", {Form::Text, "BinaryDivision", {}}},
        {"mode", {Form::JsonNumber, "99999999999", {}}},
        {"mode", {Form::JsonString, "2", {}}},
        {"rightHandSide", {Form::Text, "2.5x", {}}},
        {"rightHandSide", {Form::JsonBoolean, "true", {}}},
        {"channelIndices", {Form::Text, "1,,2", {}}},
        {"channelIndices", {Form::Text, "1,-2", {}}},
        {"inPlace", {Form::JsonNumber, "1", {}}},
        {"evalString", {Form::Text, "x", {}}},
        {"unknown", {Form::Text, "1", {}}},
    };
    for (const auto& [key, value] : rejected)
        EXPECT_THROW(tools::setParameter(record, configuration, key, value), std::invalid_argument)
            << key << "=" << value.shown();
}

TEST(HostTool, DemoRunsThroughTheLoadedPluginAndSaysWhenNothingIsComputed) {
    // An empty KORVANTA_PLUGIN means none: the tool loads the plug-in built with it.
    const ToolRun run = runTool("KORVANTA_PLUGIN= HOST demo size=16x16x12 count=3 fill=constant value=4");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_THAT(run.out, HasSubstr("Plug-in Korvanta.ImageMath loaded"));
    EXPECT_THAT(run.out, HasSubstr("Performing arithmetic operation..."));
    EXPECT_THAT(run.out, HasSubstr("evalString: (image0)*(scalarf0)"));
    EXPECT_THAT(run.out, HasSubstr("image 2: min 4  max 4  mean 4  ->  min 10  max 10  mean 10"));
    const ToolRun second = runTool("HOST demo size=4x4x1 second=one mode=BinaryDivide");
    EXPECT_EQ(second.status, 0) << second.err;
    EXPECT_THAT(second.out, HasSubstr("evalString: (float(length(image1) != 0.0)"));
    const ToolRun nothing = runTool("HOST demo size=4x4x1 second=set mode=6");
    EXPECT_EQ(nothing.status, 0) << nothing.err;
    EXPECT_THAT(nothing.err,
                HasSubstr("note: mode 6 has no operation with a second set: nothing was computed"));
}

}  // namespace
}  // namespace Korvanta
