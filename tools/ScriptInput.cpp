#include "tools/ScriptInput.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <stdexcept>

#include "tools/ImageInput.h"
#include "tools/JsonReader.h"
#include "tools/NumberText.h"
#include "tools/QuotedText.h"

namespace Korvanta {
namespace tools {

namespace {

using Kind = JsonScalar::Kind;

[[noreturn]] void fail(const std::string& message) {
    throw std::invalid_argument(message);
}

ParameterValue parameterValue(const JsonScalar& value) {
    using Form = ParameterValue::Form;
    const Form form = value.kind == Kind::Number   ? Form::JsonNumber
                      : value.kind == Kind::String ? Form::JsonString
                                                   : Form::JsonBoolean;
    return {form, std::string(value.text), {}};
}

// The reader's events turned into a script. Each event either fits where it comes or is refused at once
// with an exception, which passes through the reader.
class ScriptHandler final : public JsonHandler {
public:
    explicit ScriptHandler(MemoryBudget& budget) : m_budget(budget) {}

    void scalar(const JsonScalar& value) override;
    void beginObject() override { open("an object"); }
    void beginArray() override { open("an array"); }
    void key(std::string_view key) override;
    void end() override { close(); }

    Script result();
    // Where the parser is, for messages about malformed text.
    std::string place() const;

private:
    enum class Frame { Root, Parameters, ParameterArray, Set, Images, Image, Values, Selection };
    struct Level {
        Frame frame = Frame::Root;
        std::vector<std::string> keys;  // of an object, the last being the one whose value comes next
        std::int64_t entries = 0;       // of an array: the values so far
    };
    struct SelectionEntry {
        std::int64_t entry;
        int index;
        std::string text;
    };

    void open(const char* opening);
    void close();
    // Takes a value at the current level: a scalar, or (with `opening`) the start of an object or array,
    // whose level it returns.
    Frame accept(const JsonScalar* value, const char* opening);
    std::string shown(const JsonScalar* value, const char* opening) const {
        return value ? value->shown() : opening;
    }
    std::string setName() const { return "\"" + m_setName + "\""; }
    void finishSet();

    MemoryBudget& m_budget;
    std::vector<Level> m_levels;
    Script m_script;
    std::string m_setName;
    std::unique_ptr<SharedImageSet> m_set;
    std::vector<SelectionEntry> m_selection;
    std::optional<ImageInput> m_image;
    bool m_readingValues = false;  // the elements of "values", the bulk of a script, take the short way
    ParameterValue m_parameterArray;
    bool m_ended = false;  // the script's object
};

void ScriptHandler::key(std::string_view key) {
    Level& level = m_levels.back();
    const std::string object = level.frame == Frame::Root         ? "the top of the script"
                               : level.frame == Frame::Parameters ? "\"parameters\""
                               : level.frame == Frame::Set        ? setName()
                                                                  : m_image->where();
    if (level.frame == Frame::Root && key != "parameters" && key != "first" && key != "second")
        fail("Unknown key " + quoted(key) + " at " + object +
             " (the keys there are \"parameters\", \"first\" and \"second\")");
    if (level.frame == Frame::Set && key != "images" && key != "selection" && key != "modality")
        fail("Unknown key " + quoted(key) + " in " + object +
             " (the keys of a set are \"images\", \"selection\" and \"modality\")");
    if (std::find(level.keys.begin(), level.keys.end(), key) != level.keys.end())
        fail("Key " + quoted(key) + " appears twice in " + object);
    level.keys.emplace_back(key);
    if (level.frame == Frame::Image)
        m_image->key(level.keys.back());
}

void ScriptHandler::scalar(const JsonScalar& value) {
    if (m_readingValues)
        return m_image->element(value);
    if (m_levels.empty())
        fail("The script must be a JSON object, not " + value.shown());
    accept(&value, nullptr);
}

void ScriptHandler::open(const char* opening) {
    if (m_levels.empty() && std::strcmp(opening, "an object") != 0)
        fail(std::string("The script must be a JSON object, not ") + opening);
    Level level;
    level.frame = m_levels.empty() ? Frame::Root : accept(nullptr, opening);
    m_readingValues = level.frame == Frame::Values;
    m_levels.push_back(std::move(level));
}

ScriptHandler::Frame ScriptHandler::accept(const JsonScalar* value, const char* opening) {
    Level& level = m_levels.back();
    static const std::string none;
    const std::string& key = level.keys.empty() ? none : level.keys.back();
    const bool object = opening && std::strcmp(opening, "an object") == 0;
    const bool array = opening && !object;
    const std::int64_t entry = level.entries++;
    switch (level.frame) {
        case Frame::Root:
            if (key == "parameters" && !object)
                fail("\"parameters\" is " + shown(value, opening) + ", not an object");
            if (key == "parameters")
                return Frame::Parameters;
            if (!object)
                fail("\"" + key + "\" is " + shown(value, opening) + ", not an image set (an object)");
            m_setName = key;
            m_set = std::make_unique<SharedImageSet>();
            m_selection.clear();
            return Frame::Set;
        case Frame::Parameters: {
            const std::string place = quoted(key) + " in \"parameters\"";
            if (object || (value && value->kind == Kind::Null))
                fail(place + " is " + shown(value, opening) + ", not a value");
            if (array) {
                m_parameterArray = {ParameterValue::Form::JsonArray, "", {}};
                return Frame::ParameterArray;
            }
            m_script.parameters.emplace_back(key, parameterValue(*value));
            break;
        }
        case Frame::ParameterArray:
            if (!value || (value->kind != Kind::Number && value->kind != Kind::String))
                fail("entry " + std::to_string(entry) + " of " +
                     quoted(m_levels[m_levels.size() - 2].keys.back()) + " in \"parameters\" is " +
                     shown(value, opening) + ", not a number");
            m_parameterArray.items.push_back(parameterValue(*value));
            break;
        case Frame::Set:
            if (key == "images" && !array)
                fail("\"images\" of " + setName() + " is " + shown(value, opening) +
                     ", not an array of images");
            if (key == "images")
                return Frame::Images;
            if (key == "selection" && !array)
                fail("\"selection\" of " + setName() + " is " + shown(value, opening) +
                     ", not an array of image indices");
            if (key == "selection")
                return Frame::Selection;
            {
                int modality = -1;
                if (!value || readNumber(*value, modality) != NumberProblem::None ||
                    !Data::isModality(modality))
                    fail("\"modality\" of " + setName() + " is " + shown(value, opening) +
                         ", not one of 0 (none), 1 (X-ray), 2 (ultrasound), 3 (CT) and 4 (MRI)");
                m_set->setModality(static_cast<Data::Modality>(modality));
            }
            break;
        case Frame::Images: {
            const std::string where = "image " + std::to_string(entry) + " of " + setName();
            if (!object)
                fail(where + " is " + shown(value, opening) + ", not an object");
            m_image.emplace(where, m_budget);
            return Frame::Image;
        }
        case Frame::Image:
            if (value) {
                m_image->scalar(*value);
                break;
            }
            if (array && key == "values") {
                m_image->beginValues();
                return Frame::Values;
            }
            m_image->notScalar(opening);
        case Frame::Values:  // scalars take the short way (scalar())
            fail(m_image->elementPlace() + " is " + opening + ", not a number");
        case Frame::Selection: {
            const std::string place = "entry " + std::to_string(entry) + " of \"selection\" of " + setName();
            int index = -1;
            if (!value || readNumber(*value, index) != NumberProblem::None || index < 0)
                fail(place + " is " + shown(value, opening) + ", not an image index");
            m_selection.push_back({entry, index, value->shown()});
            break;
        }
    }
    return level.frame;
}

void ScriptHandler::close() {
    const Level level = std::move(m_levels.back());
    m_levels.pop_back();
    m_readingValues = false;
    switch (level.frame) {
        case Frame::Root:
            if (!m_script.first)
                fail("The script has no \"first\" image set");
            m_ended = true;
            break;
        case Frame::ParameterArray:
            m_script.parameters.emplace_back(m_levels.back().keys.back(), std::move(m_parameterArray));
            break;
        case Frame::Set:
            finishSet();
            break;
        case Frame::Image:
            m_set->add(m_image->finish());
            m_image.reset();
            break;
        case Frame::Values:
            m_image->endValues();
            break;
        default:
            break;
    }
}

void ScriptHandler::finishSet() {
    std::vector<int> indices;
    for (const SelectionEntry& s : m_selection) {
        if (s.index >= m_set->size())
            fail("entry " + std::to_string(s.entry) + " of \"selection\" of " + setName() + " is " + s.text +
                 ", not the index of one of its " + std::to_string(m_set->size()) + " images");
        indices.push_back(s.index);
    }
    m_set->setSelection(Selection(indices));
    (m_setName == "first" ? m_script.first : m_script.second) = std::move(m_set);
}

Script ScriptHandler::result() {
    return std::move(m_script);
}

std::string ScriptHandler::place() const {
    if (m_levels.empty())
        return m_ended ? "after the script" : "at the start of the script";
    switch (m_levels.back().frame) {
        case Frame::Root:
            return "at the top of the script";
        case Frame::Parameters:
        case Frame::ParameterArray:
            return "in \"parameters\"";
        case Frame::Set:
        case Frame::Selection:
        case Frame::Images:
            return "in " + setName();
        case Frame::Image:
            return "in " + m_image->where();
        case Frame::Values:
            return "in " + m_image->elementPlace();
    }
    return "";
}

}  // namespace

ReadFunction fileReader(std::FILE* file, const std::string& name) {
    return [file, name](char* buffer, std::size_t size) {
        const std::size_t read = std::fread(buffer, 1, size, file);
        if (read == 0 && std::ferror(file))
            throw std::runtime_error("Cannot read " + name + ": " + std::strerror(errno));
        return read;
    };
}

Script readScript(const ReadFunction& read, MemoryBudget& budget) {
    ScriptHandler handler(budget);
    try {
        readJson(read, handler);
    } catch (const JsonError& e) {
        fail("The script is not valid JSON: " + std::string(e.what()) + " (at byte " +
             std::to_string(e.offset()) + ", " + handler.place() + ")");
    }
    return handler.result();
}

}  // namespace tools
}  // namespace Korvanta
