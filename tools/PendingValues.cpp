#include "tools/PendingValues.h"

#include <algorithm>
#include <stdexcept>

namespace Korvanta {
namespace tools {

namespace {

// The characters of number texts, coded 0 to 14; 15 ends a number. A value that is not a number
// begins with 15 and a code no number begins with: a string that holds only these characters is 15,
// its text and 15; the names follow 15 as 12, 13 and 14; anything else is 15 15.
constexpr char alphabet[] = "0123456789.-+eE";
constexpr unsigned char end = 15;
constexpr unsigned char firstNameCode = 12;
const char* const names[] = {"NaN", "Infinity", "-Infinity"};

struct CodeTable {
    signed char code[256];
    constexpr CodeTable() : code() {
        for (int c = 0; c < 256; ++c)
            code[c] = -1;
        for (int i = 0; i < 15; ++i)
            code[static_cast<unsigned char>(alphabet[i])] = static_cast<signed char>(i);
    }
};
constexpr CodeTable codeTable;

int codeOf(char c) {
    return codeTable.code[static_cast<unsigned char>(c)];
}

// Whether the text can be coded as a string that holds only number characters: it must begin as no
// name's code does.
bool codable(std::string_view text) {
    return !text.empty() && codeOf(text[0]) >= 0 && codeOf(text[0]) < firstNameCode &&
           std::all_of(text.begin(), text.end(), [](char c) { return codeOf(c) >= 0; });
}

}  // namespace

PendingValues::PendingValues(MemoryBudget& budget, const std::string& what) : m_codes(budget, what) {}

void PendingValues::addCodes(const unsigned char* codes, std::size_t count) {
    std::size_t i = 0;
    if (m_halfFilled && count > 0) {
        *m_halfFilled = static_cast<unsigned char>(*m_halfFilled | codes[i++] << 4);
        m_halfFilled = nullptr;
    }
    if (i < count) {
        unsigned char* out = m_codes.append((count - i + 1) / 2);
        for (; i + 1 < count; i += 2)
            *out++ = static_cast<unsigned char>(codes[i] | codes[i + 1] << 4);
        if (i < count) {
            *out = codes[i];
            m_halfFilled = out;
        }
    }
    m_codeCount += count;
}

void PendingValues::add(const JsonScalar& value) {
    unsigned char codes[66];
    std::size_t count = 0;
    const bool number = value.kind == JsonScalar::Kind::Number;
    const bool string = value.kind == JsonScalar::Kind::String;
    const auto name = string ? std::find(std::begin(names), std::end(names), value.text) : std::end(names);
    if (!number && !(string && (codable(value.text) || name != std::end(names)))) {
        if (!m_otherKind) {
            m_otherKind = value.kind;
            m_otherText = value.text;
        }
        codes[0] = codes[1] = end;
        addCodes(codes, 2);
        return;
    }
    if (!number)
        codes[count++] = end;
    if (string && name != std::end(names)) {
        codes[count++] = static_cast<unsigned char>(firstNameCode + (name - std::begin(names)));
        addCodes(codes, count);
        return;
    }
    for (const char c : value.text) {
        codes[count++] = static_cast<unsigned char>(codeOf(c));
        if (count == sizeof codes) {
            addCodes(codes, count);
            count = 0;
        }
    }
    codes[count++] = end;
    addCodes(codes, count);
}

void PendingValues::drain(const std::function<bool(const JsonScalar&)>& f) {
    enum class State { Start, Marked, Text } state = State::Start;
    JsonScalar::Kind kind = JsonScalar::Kind::Number;
    std::string text;
    bool otherRead = false;
    bool more = true;
    const auto take = [&](unsigned char code) {
        if (state == State::Text && code != end) {
            text.push_back(alphabet[code]);
        } else if (state == State::Text) {
            more = f({kind, text});
            state = State::Start;
        } else if (state == State::Start && code == end) {
            state = State::Marked;
        } else if (state == State::Start || code < firstNameCode) {
            kind = state == State::Start ? JsonScalar::Kind::Number : JsonScalar::Kind::String;
            text.clear();
            text.push_back(alphabet[code]);
            state = State::Text;
        } else if (code != end) {
            more = f({JsonScalar::Kind::String, names[code - firstNameCode]});
            state = State::Start;
        } else {
            if (otherRead)
                throw std::logic_error("PendingValues: a value that every element type refuses was taken");
            otherRead = true;
            more = f({*m_otherKind, m_otherText});
            state = State::Start;
        }
    };
    std::uint64_t left = m_codeCount;
    m_codes.drain([&](const unsigned char* bytes, std::size_t size) {
        for (std::size_t i = 0; i < size && left > 0 && more; ++i) {
            take(bytes[i] & 0xF);
            if (--left > 0 && more) {
                take(static_cast<unsigned char>(bytes[i] >> 4));
                --left;
            }
        }
    });
    m_codeCount = 0;
    m_halfFilled = nullptr;
}

}  // namespace tools
}  // namespace Korvanta
