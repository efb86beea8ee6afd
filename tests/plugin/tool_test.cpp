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
    char buffer[4096];
    for (std::size_t n; pipe && (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        run.out.append(buffer, n);
    const int status = pipe ? pclose(pipe) : -1;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::stringstream err;
    err << std::ifstream(files + ".err").rdbuf();
    run.err = err.str();
    std::remove((files + ".in").c_str());
    std::remove((files + ".err").c_str());
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
    std::string manyEmptyImages = R"({"pixelType": "uint8", "width": 0})";
    for (int i = 0; i < 18; ++i)  // 2^18
        manyEmptyImages += "," + manyEmptyImages;
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
         "element 0 of image 0 of \"first\": 1e400 is out of range for a double"},
        {"HOST script", script("", R"({"pixelType": "float", "values": ["nan"]})"), 1,
         "\"nan\" is not a number"},
        {"HOST script", script("", R"({"pixelType": "bogus"})"), 1, "\"bogus\" is not a pixel type"},
        {"HOST script", script(R"("mode": 7, "channelIndices": ["2", "b", "c"])", u8), 1,
         "\"channelIndices\": entry 1, \"b\", is not a non-negative integer"},
        {"HOST script", script(R"("channelIndices": [true])", u8), 1,
         "entry 0 of \"channelIndices\" in \"parameters\" is true"},
        {"HOST script", script(R"("rightHandSide": "2.5x")", u8), 1, "\"2.5x\" is not a number"},
        {"HOST script", script(R"("rightHandSide": "1e39")", u8), 1, "\"1e39\" is out of range for a float"},
        {"HOST script", script("", R"({"pixelType": "float", "values": ["1e39"]})"), 1,
         "element 0 of image 0 of \"first\": \"1e39\" is out of range for a float"},
        {"HOST script", script("", R"({"pixelType": "uint8", "width": "2.5"})"), 1,
         "\"width\" of image 0 of \"first\": \"2.5\" is not an integer"},
        {"HOST script", script(R"("mode": 7, "channelIndices": [18446744073709551616])", u8), 1,
         "entry 0, 18446744073709551616, is beyond the largest index"},
        {"HOST script",
         script("", two, R"(}, "second": {"images": [{"pixelType": "uint8"}, {"pixelType": "int16"}])"), 1,
         "but its image 0 is uint8 and its image 1 int16"},
        // What is not JSON, named as found.
        {"HOST script", "}", 1, "found \"}\" where a value should begin (at byte 0"},
        {"HOST script", script("", R"({"pixelType": "uint8", "values": [01]})"), 1,
         "01 is not a JSON number"},
        {"HOST script", script("", "{\"pixelType\": \"uint8\t\"}"), 1,
         "a string holds the control character \\t, which JSON writes escaped (at byte 60, in image 0"},
        // Anything after the script but whitespace, a 0 byte too.
        {"HOST script", script("", u8) + " \n" + std::string(1, '\0') + "x", 1,
         "found \"\\u0000\" where only whitespace may follow the value (at byte 67, after the script)"},
        {"HOST script", script("", u8) + "{}", 1,
         "found \"{\" where only whitespace may follow the value (at byte 65"},
        // Texts quoted whole, control characters escaped, long ones cut short.
        {"HOST script", script(R"("mo\u0000de\n": 1)", u8), 1,
         "Unknown key \"mo\\u0000de\\n\" in \"parameters\""},
        {"HOST script", script("\"" + std::string(100000, 'k') + "\": 1", u8), 1,
         "Unknown key \"" + std::string(60, 'k') + "...\" (100000 bytes) in \"parameters\""},
        {"HOST script", script("", "{\"pixelType\": \"" + std::string(90, 'p') + "\"}"), 1,
         "\"" + std::string(60, 'p') + "...\" (90 bytes) is not a pixel type"},
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
        {"HOST script",
         script("", R"({"pixelType": "int8", "width": 2147483647, "values": [1], "height": 2147483647, )"
                    R"("slices": 3})"),
         1, "image 0 of \"first\" needs 12.0 EiB of memory"},
        {"HOST demo size=1048576x1048576x1048576 count=1", "", 1, "The first set needs 2.0 EiB of memory"},
        {"HOST demo type=uint8 size=1048576x1048576x1048576 count=1048576", "", 1,
         "The first set needs 1.0 YiB of memory"},
        {"HOST demo mode=UnaryAbs second=set", "", 1, "'UnaryAbs' is not allowed with a second set"},
        {"HOST demo type=uint8 fill=constant value=300", "", 1, "'300' is out of range for a uint8"},
        {"HOST demo sze=4", "", 1, "Unknown setting 'sze'"},
        // The demo as strict as a script.
        {"HOST demo mode=2 mode=3", "", 1, "'mode' is given twice"},
        {"HOST demo second.type=float", "", 1, "'second.type' has no effect without a second set"},
        {"HOST demo second=one second.count=3", "", 1, "'second.count' has no effect"},
        {"HOST demo fill=ramp value=3", "", 1, "'value' has no effect without fill=constant"},
        {"HOST demo second=set second.fill=ramp second.seed=4", "", 1,
         "'second.seed' has no effect without second.fill=random"},
        {"HOST demo size=2x2x2x2", "", 1,
         "'size' takes WIDTHxHEIGHTxSLICES, each from 1 to 1048576, not '2x2x2x2'"},
        {"HOST demo second=set second.size=2x2x2", "", 1, "the first set's are 256x256x64 with 1 channels"},
        {"HOST demo scale=1e400", "", 1, "'scale': '1e400' is out of range for a double"},
        {"HOST demo mode=UnaryAbs rightHandSide=3", "", 1,
         "'rightHandSide' has no effect with mode=UnaryAbs: only the binary modes (0 to 4) use it"},
        {"HOST demo second=one rightHandSide=3", "", 1, "'rightHandSide' has no effect with a second set"},
        {"HOST demo channelIndices=0", "", 1, "'channelIndices' has no effect with mode=BinaryMult"},
        // The algorithm's own checks too, before any image is made.
        {"HOST demo mode=UnaryChannelSwizzle channelIndices=0,1 channels=3 size=4x4x1", "", 1,
         "\"channelIndices\""},
        {"HOST demo \"type=$(printf '\\377\\302\\205')\"", "", 1,
         "uint32, float, double, half, not '\\xff\\u0085'"},
        {"HOST --plugin demo", "", 2, "--plugin takes the path of the plug-in library, not 'demo'"},
        {"HOST demo --plugin x", "", 2, "The option '--plugin' must come before the command"},
        {"HOST script -h", "", 2, "The option '-h' must come before the command"},
        {"HOST demo -h", "", 2, "The option '-h' must come before the command"},
        {"HOST --plugin \"$(printf '/x\\033')\" demo", "", 3, "Cannot load plug-in library '/x\\u001b'"},
        {"HOST script /", "", 1, "'/' is a directory, not a script"},
        {"HOST", "", 2, "No command given"},
        {"HOST script a b", "", 2, "script takes one file"},
        {"KORVANTA_PLUGIN=/nonexistent HOST demo", "", 3, "/nonexistent"},
        {"HOST script /nonexistent", "", 1, "Cannot open '/nonexistent'"},
        {"HOST script >/dev/full", script("", R"({"pixelType": "uint8", "values": [1]})"), 4,
         "No space left on device"},
        {"HOST demo size=2x2x1 >/dev/full", "", 4, "Cannot write the output"},
        {"HOST demo size=2x2x1 >&-", "", 4, "Standard output is closed"},
        {"HOST --help >/dev/full", "", 4, "Cannot write the output"},
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)  // their shadow memory needs more
        // Each image fits the process's 200 MB, both together do not.
        {"ulimit -d 200000 && HOST script",
         script("", R"({"pixelType": "uint8", "width": 1024, "height": 1024, "slices": 120},)"
                    R"({"pixelType": "uint8", "width": 1024, "height": 1024, "slices": 120})"),
         1, "image 1 of \"first\" needs 120.0 MiB of memory; with the images before it, 240.0 MiB"},
        // Images without elements still cost memory: refused before they are all built.
        {"ulimit -d 100000 && HOST script", script("", manyEmptyImages), 1,
         "needs 512 bytes of memory; with the images before it"},
        // The stacks of the threads a run starts count too.
        {"ulimit -s 4000000 && ulimit -v 3000000 && HOST script", script(R"("mode": 1)", u8), 1,
         "threads of the host's pool (3.8 GiB of stack each) needs"},
#endif
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command + " <<< " + c.input.substr(0, 200));
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
    // through unchanged. A string that holds a number reads as that number.
    const std::string input =
        script(R"("mode": "BinaryAdd", "rightHandSide": 1.000000059604644775390625, "inPlace": true)",
               R"({"pixelType": "float", "values": [0]},
           {"pixelType": "float", "width": 13, "values": [1e-45, 7.1e-46, 7e-46, -0, "-0", 1e-400, -1e-400,
                3.4028235e38, "NaN", "-Infinity", 0.1, "1.000000059604644775390625", "1e-45"]},
           {"pixelType": "double", "width": 7, "values": [5e-324, 1.7976931348623157e308, 0.1, -0, -1e-400,
                1e-400, 1)" +
                   std::string(309, '0') +
                   R"(e-309]},
           {"pixelType": "uint32", "width": "4", "values": [4294967295, 1e2, 100.0e0, "0.0005e4"]},
           {"pixelType": "0x1400", "width": 2, "shift": "-0.5", "scale": 1e-300, "values": [-128, -0]})",
               R"(, "selection": ["0"], "modality": "3")");
    const ToolRun run = runTool("HOST script", input);
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> expected = {
        R"("values":[1])",
        R"("values":[1e-45,1e-45,0,"-0","-0",0,"-0",3.4028235e+38,"NaN","-Infinity",0.1,1,1e-45])",
        R"("values":[5e-324,1.7976931348623157e+308,0.1,"-0","-0",0,1])",
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
        runTool("HOST script", script(R"("mode": "8")", written.substr(1, written.size() - 2)));
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
    // A string or a command line's text is a number only as JSON writes one.
    for (const char* text : {"inf", ".5", "5.", "01", "-.5", "+1", " 1"})
        EXPECT_EQ(tools::readNumber(text, f), tools::NumberProblem::NotANumber) << text;
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
                             std::to_string(slices) + R"(, "channels": 1, "values": [)";
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
    EXPECT_EQ(budget.peak(), static_cast<std::uint64_t>(count) + tools::imageBookkeepingBytes);

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

tools::ReadFunction textReader(const std::string& text) {
    return [&text, next = std::size_t(0)](char* buffer, std::size_t size) mutable {
        const std::size_t count = std::min(size, text.size() - next);
        std::copy_n(text.data() + next, count, buffer);
        next += count;
        return count;
    };
}

TEST(HostTool, ReadsAnImageTheSameInAnyKeyOrder) {
    // The large image's elements are more than a chunk of those held as text when "values" comes before
    // the pixel type or an extent. The sanitizers check a smaller one through the same code.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    const int slices = 2;
#else
    const int slices = 9;
#endif
    const std::int64_t largeCount = 1024 * 1024 * slices;
    std::string large = "[";
    for (std::int64_t i = 0; i < largeCount; ++i)
        large += std::to_string(i * 7 % 251) + (i + 1 < largeCount ? "," : "]");
    using Keys = std::vector<std::pair<std::string, std::string>>;  // in the order the tool writes them
    const auto image = [](const std::string& type, const std::string& width, const std::string& height,
                          const std::string& values) -> Keys {
        return {{"pixelType", "\"" + type + "\""},
                {"width", width},
                {"height", height},
                {"slices", "1"},
                {"channels", "1"},
                {"values", values}};
    };
    Keys largeImage = image("uint8", "1024", "1024", large);
    largeImage[3].second = std::to_string(slices);
    Keys floats = image("float", "3", "2", R"(["NaN", -0, "1e-45", 0.1, "-Infinity", "3"])");
    floats.insert(floats.end() - 1, {{"shift", "-0.5"}, {"scale", "2"}});
    Keys shorts = image("int16", "2", "1", R"([-32768, "32767", 1e2, -0])");
    shorts[4].second = "2";
    const std::vector<Keys> images = {largeImage, floats, shorts};
    const auto inOrder = [](Keys keys, int order) {
        if (order == 1)  // "values" first
            std::rotate(keys.begin(), keys.end() - 1, keys.end());
        if (order == 2)  // sorted
            std::sort(keys.begin(), keys.end());
        std::string text;
        for (const auto& [key, value] : keys)
            text += (text.empty() ? "{\"" : ", \"") + key + "\": " + value;
        return text + "}";
    };
    const auto read = [](const std::string& images, tools::MemoryBudget& budget) {
        const std::string text = R"({"first": {"images": [)" + images + "]}}";
        return tools::readScript(textReader(text), budget);
    };

    std::vector<tools::Script> scripts;
    std::vector<tools::MemoryBudget> budgets(3);
    for (int order = 0; order < 3; ++order) {
        std::string text;
        for (const Keys& keys : images)
            text += (text.empty() ? "" : ", ") + inOrder(keys, order);
        scripts.push_back(read(text, budgets[order]));
    }
    for (int order = 1; order < 3; ++order) {
        SCOPED_TRACE(order == 1 ? "values first" : "sorted");
        ASSERT_EQ(scripts[order].first->size(), 3);
        for (int i = 0; i < 3; ++i) {
            const MemImage& expected = *scripts[0].first->img(i);
            const MemImage& image = *scripts[order].first->img(i);
            ASSERT_EQ(image.descriptor(), expected.descriptor());
            const std::int64_t bytes =
                static_cast<std::int64_t>(tools::imageBytes(expected.descriptor(), ""));
            EXPECT_EQ(std::memcmp(image.data(), expected.data(), static_cast<std::size_t>(bytes)), 0) << i;
        }
        EXPECT_EQ(budgets[order].used(), budgets[0].used());
    }
    // In the tool's order the values go straight into the images; in another, there is one more copy of
    // the large image's values, half a byte per character of their text.
    constexpr std::uint64_t chunk = 1 << 20;
    EXPECT_EQ(budgets[0].peak(), budgets[0].used());
    for (int order = 1; order < 3; ++order)
        EXPECT_LE(budgets[order].peak(), budgets[0].used() + large.size() / 2 + chunk);

    // Refusals say the same in every order, naming the image as it is. The first entry of "values" that
    // is wrong decides: one beyond the image's elements, or one that is not a value of its type. Values
    // held until the extents are known take no more than half a byte per character.
    const std::string most = "2147483647";
    const auto zeros = [](int count) {
        std::string text = "[0";
        for (int i = 1; i < count; ++i)
            text += ",0";
        return text + "]";
    };
    struct Refused {
        Keys keys;
        std::string message;
        std::uint64_t limit = UINT64_MAX;
    };
    const std::vector<Refused> refused = {
        {image("uint8", "4", "1", "[1, 2, 3, 256]"),
         "element 3 of image 0 of \"first\": 256 is out of range"},
        {image("uint8", "4", "1", "[1, 2, true]"), "element 2 of image 0 of \"first\": true is not a number"},
        {image("uint8", "2", "1", "[1, 2, 300]"), "\"values\" holds more than the image's 2 elements"},
        {image("int32", "2", "0", "[true, 1.5, true]"), "\"values\" holds more than the image's 0 elements"},
        {image("uint8", "2", "1", "[1]"), "\"values\" ends after 1 of the image's 2 elements"},
        {image("double", most, most, "[1]"), most + "x" + most + "x1 with 1 channels: more elements than"},
        {image("uint8", "100000", "100000", "[1]"), "needs 9.3 GiB of memory", 1 << 30},
        // More elements than a signed 64 bits hold, but not more bytes than 64 bits do.
        {{{"pixelType", R"("uint8")"}, {"width", most}, {"height", most}, {"slices", "3"}, {"values", "[1]"}},
         "image 0 of \"first\" needs 12.0 EiB of memory",
         1 << 30},
        {image("double", "1", "1", zeros(600000)), "\"values\" holds more than the image's 1 elements",
         4 << 20},
        {{{"pixelType", R"("int32")"}, {"memory", "false"}, {"values", "[1]"}},
         "an image with \"memory\": false has no \"values\""},
    };
    for (const Refused& c : refused) {
        for (int order = 0; order < 3; ++order) {
            SCOPED_TRACE(inOrder(c.keys, order).substr(0, 200));
            tools::MemoryBudget budget(c.limit);
            EXPECT_THAT([&] { read(inOrder(c.keys, order), budget); },
                        ::testing::ThrowsMessage<std::invalid_argument>(HasSubstr(c.message)));
        }
    }
    // Once the extents tell the element count, values beyond it are not held.
    const std::string extentsFirst = R"({"width": 1, "height": 1, "slices": 1, "channels": 1, "values": )" +
                                     zeros(3000000) + R"(, "pixelType": "uint8"})";
    tools::MemoryBudget small(2 << 20);
    EXPECT_THAT([&] { read(extentsFirst, small); },
                ::testing::ThrowsMessage<std::invalid_argument>(HasSubstr("holds more than the image's 1")));
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
    tools::setParameter(
        record, configuration, "channelIndices",
        {Form::JsonArray,
         "",
         {{Form::JsonNumber, "2", {}}, {Form::JsonString, "1", {}}, {Form::JsonNumber, "0", {}}}});
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
    tools::setParameter(record, configuration, "mode", {Form::JsonString, "2", {}});
    ASSERT_TRUE(record.param("mode", mode));
    EXPECT_EQ(mode, 2);

    const std::vector<std::pair<std::string, tools::ParameterValue>> rejected = {
        {"mode", {Form::Text, "BinaryDivision", {}}},
        {"mode", {Form::JsonNumber, "99999999999", {}}},
        {"mode", {Form::JsonString, "2.5", {}}},
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

TEST(HostTool, RunsThroughTheLoadedPluginAndSaysWhatIsNotUsed) {
    // An empty KORVANTA_PLUGIN means none: the tool loads the plug-in built with it.
    const ToolRun run = runTool("KORVANTA_PLUGIN= HOST demo size=16x16x12 count=3 fill=constant value=4");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_THAT(run.out, HasSubstr("Plug-in Korvanta.ImageMath loaded"));
    EXPECT_THAT(run.out, HasSubstr("Performing arithmetic operation..."));
    EXPECT_THAT(run.out, HasSubstr("evalString: (image0)*(scalarf0)"));
    EXPECT_THAT(run.out, HasSubstr("image 2: min 4  max 4  mean 4  ->  min 10  max 10  mean 10"));
    // The second set has a fill of its own; shift and scale take what a script takes.
    const ToolRun second =
        runTool("HOST demo size=4x4x1 fill=constant value=3 second=one mode=BinaryDivide shift=NaN scale=-0");
    EXPECT_EQ(second.status, 0) << second.err;
    EXPECT_THAT(second.out, HasSubstr("evalString: (float(length(image1) != 0.0)"));
    EXPECT_THAT(second.out, HasSubstr("shift nan, scale -0, random fill"));
    EXPECT_EQ(runTool("HOST --help demo").status, 0);
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)  // their shadow memory needs more
    // Under a memory limit, teams get the threads whose stacks fit.
    const ToolRun limited =
        runTool("ulimit -v 3000000 && OMP_STACKSIZE=2G OMP_NUM_THREADS=4 HOST script",
                script(R"("mode": 1)", R"({"pixelType": "uint8", "width": 1000, "height": 1000})"));
    EXPECT_EQ(limited.status, 0) << limited.err;
    EXPECT_THAT(limited.err, HasSubstr("note: the kernels run with teams of at most 2 threads, not 4"));
#endif
    const ToolRun nothing = runTool("HOST demo size=4x4x1 second=set mode=6");
    EXPECT_EQ(nothing.status, 0) << nothing.err;
    EXPECT_THAT(nothing.err,
                HasSubstr("note: mode 6 has no operation with a second set: nothing was computed"));

    const std::string u8 = R"({"pixelType": "uint8", "values": [1]})";
    const ToolRun unused = runTool(
        "HOST script", script(R"("mode": 8)", u8 + "," + u8,
                              R"(}, "second": {"images": [)" + u8 + "," + u8 + R"(], "selection": [1])"));
    EXPECT_EQ(unused.status, 0) << unused.err;
    EXPECT_THAT(unused.err, HasSubstr("note: mode 8 has no operation: nothing was computed"));
    EXPECT_THAT(unused.err, HasSubstr("note: the \"selection\" of \"second\" is not used"));
}

}  // namespace
}  // namespace Korvanta
