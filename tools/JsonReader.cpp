#include "tools/JsonReader.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "tools/NumberText.h"
#include "tools/QuotedText.h"

namespace Korvanta {
namespace tools {

namespace {

// The input in a buffer refilled from the read function; what is left of it moves to the front when more
// is needed at once than the buffer still holds.
class Input {
public:
    explicit Input(const ReadFunction& read) : m_read(read), m_buffer(std::size_t(1) << 20) {}

    // Makes `count` bytes (a few at most) ready unless the input ends first; returns how many are.
    std::size_t ready(std::size_t count = 1) {
        if (m_end - m_next >= count || m_ended)
            return m_end - m_next;
        std::memmove(m_buffer.data(), m_buffer.data() + m_next, m_end - m_next);
        m_consumed += m_next;
        m_end -= m_next;
        m_next = 0;
        while (m_end < count && !m_ended) {
            const std::size_t read = m_read(m_buffer.data() + m_end, m_buffer.size() - m_end);
            m_ended = read == 0;
            m_end += read;
        }
        return m_end;
    }
    // The next byte, or -1 at the end of the input.
    int peek() { return ready() ? static_cast<unsigned char>(m_buffer[m_next]) : -1; }
    const char* data() const { return m_buffer.data() + m_next; }
    std::size_t buffered() const { return m_end - m_next; }
    void skip(std::size_t count) { m_next += count; }
    std::size_t offset() const { return m_consumed + m_next; }

private:
    const ReadFunction& m_read;
    std::vector<char> m_buffer;
    std::size_t m_next = 0, m_end = 0, m_consumed = 0;
    bool m_ended = false;
};

// The bytes of a number or a word (true, false, null, or one that is none of them), which end at the first
// byte of another kind.
struct TokenBytes {
    bool in[256] = {};
    constexpr TokenBytes() {
        for (int c = 0; c < 256; ++c)
            in[c] = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '+' ||
                    c == '-' || c == '.';
    }
};
constexpr TokenBytes tokenBytes;

bool isWhitespace(int c) {
    return c == ' ' || c == '\n' || c == '\r' || c == '\t';
}

// What the reader expects next.
enum class Expect { Value, ValueOrEnd, Key, KeyOrEnd, Colon, CommaOrEnd, Nothing };

class Reader {
public:
    Reader(const ReadFunction& read, JsonHandler& handler) : m_in(read), m_handler(handler) {}
    void run();

private:
    [[noreturn]] void fail(const std::string& problem, std::size_t offset) const {
        throw JsonError(problem, offset);
    }
    [[noreturn]] void unexpected(const std::string& where);
    void value(int c);
    void close();
    std::string_view token();
    std::string_view string();
    void escape();
    unsigned hexCodeUnit(std::size_t at);
    void appendUtf8(unsigned codePoint);

    Input m_in;
    JsonHandler& m_handler;
    std::vector<char> m_open;  // the brackets of the objects and arrays begun and not ended
    Expect m_expect = Expect::Value;
    std::string m_text;
};

void Reader::run() {
    while (m_expect != Expect::Nothing || m_in.peek() >= 0) {
        int c = m_in.peek();
        while (isWhitespace(c)) {
            m_in.skip(1);
            c = m_in.peek();
        }
        const bool object = !m_open.empty() && m_open.back() == '{';
        if ((m_expect == Expect::ValueOrEnd && c == ']') || (m_expect == Expect::KeyOrEnd && c == '}') ||
            (m_expect == Expect::CommaOrEnd && c == (object ? '}' : ']'))) {
            close();
            continue;
        }
        switch (m_expect) {
            case Expect::Value:
            case Expect::ValueOrEnd:
                value(c);
                break;
            case Expect::Key:
            case Expect::KeyOrEnd:
                if (c != '"')
                    unexpected(m_expect == Expect::Key ? "a key (a string) should come"
                                                       : "a key (a string) or \"}\" should come");
                m_handler.key(string());
                m_expect = Expect::Colon;
                break;
            case Expect::Colon:
                if (c != ':')
                    unexpected("\":\" should follow a key");
                m_in.skip(1);
                m_expect = Expect::Value;
                break;
            case Expect::CommaOrEnd:
                if (c != ',')
                    unexpected(object ? "\",\" or \"}\" should follow a member of an object"
                                      : "\",\" or \"]\" should follow an entry of an array");
                m_in.skip(1);
                m_expect = object ? Expect::Key : Expect::Value;
                break;
            case Expect::Nothing:
                if (c >= 0)
                    unexpected("only whitespace may follow the value");
        }
    }
}

void Reader::unexpected(const std::string& where) {
    const std::size_t offset = m_in.offset();
    if (m_in.peek() < 0)
        fail("the text ends where " + where, offset);
    // The character found, whole, or the byte when it is not UTF-8.
    const std::size_t length = utf8SequenceLength(std::string_view(m_in.data(), m_in.ready(4)), 0);
    fail("found " + quoted(std::string_view(m_in.data(), std::max<std::size_t>(length, 1))) + " where " +
             where,
         offset);
}

void Reader::value(int c) {
    const bool done = m_open.empty();
    if (c == '{' || c == '[') {
        m_in.skip(1);
        m_open.push_back(static_cast<char>(c));
        if (c == '{')
            m_handler.beginObject();
        else
            m_handler.beginArray();
        m_expect = c == '{' ? Expect::KeyOrEnd : Expect::ValueOrEnd;
        return;
    }
    if (c == '"') {
        m_handler.scalar({JsonScalar::Kind::String, string()});
    } else if (c >= 0 && tokenBytes.in[c]) {
        const std::size_t offset = m_in.offset();
        const std::string_view text = token();
        if (text == "true" || text == "false")
            m_handler.scalar({JsonScalar::Kind::Boolean, text});
        else if (text == "null")
            m_handler.scalar({JsonScalar::Kind::Null, text});
        else if (isJsonNumber(text))
            m_handler.scalar({JsonScalar::Kind::Number, text});
        else
            fail(
                quoted(text, 0) + " is not a JSON " +
                    (c == '-' || (c >= '0' && c <= '9') ? "number" : "value") +
                    (text == "NaN" || text == "Infinity" || text == "-Infinity"
                         ? " (NaN and the infinities are the strings \"NaN\", \"Infinity\" and \"-Infinity\")"
                         : ""),
                offset);
    } else {
        unexpected("a value should begin");
    }
    m_expect = done ? Expect::Nothing : Expect::CommaOrEnd;
}

void Reader::close() {
    m_in.skip(1);
    m_open.pop_back();
    m_handler.end();
    m_expect = m_open.empty() ? Expect::Nothing : Expect::CommaOrEnd;
}

std::string_view Reader::token() {
    m_text.clear();
    for (;;) {
        const char* const begin = m_in.data();
        const char* end = begin;
        const char* const last = begin + m_in.buffered();
        while (end < last && tokenBytes.in[static_cast<unsigned char>(*end)])
            ++end;
        m_in.skip(static_cast<std::size_t>(end - begin));
        // A token within the buffer, as nearly all are, is read where it lies: it stays there until the
        // next byte is taken.
        if (end < last && m_text.empty())
            return std::string_view(begin, static_cast<std::size_t>(end - begin));
        m_text.append(begin, end);
        if (end < last || m_in.peek() < 0)
            return m_text;
    }
}

std::string_view Reader::string() {
    m_in.skip(1);
    m_text.clear();
    for (;;) {
        const char* const begin = m_in.data();
        const char* end = begin;
        const char* const last = begin + m_in.buffered();
        while (end < last && *end != '"' && *end != '\\' && static_cast<unsigned char>(*end) >= 0x20 &&
               static_cast<unsigned char>(*end) < 0x80)
            ++end;
        m_text.append(begin, end);
        m_in.skip(static_cast<std::size_t>(end - begin));
        const int c = m_in.peek();
        if (c < 0)
            fail("the text ends inside a string", m_in.offset());
        if (c == '"') {
            m_in.skip(1);
            return m_text;
        }
        if (c == '\\') {
            escape();
        } else if (c < 0x20) {
            fail("a string holds the control character " + escaped(std::string(1, static_cast<char>(c)), 0) +
                     ", which JSON writes escaped",
                 m_in.offset());
        } else {
            const std::size_t length = utf8SequenceLength(std::string_view(m_in.data(), m_in.ready(4)), 0);
            if (length == 0)
                fail("a string holds the byte " + escaped(std::string(1, static_cast<char>(c)), 0) +
                         ", which is not part of UTF-8 text",
                     m_in.offset());
            m_text.append(m_in.data(), length);
            m_in.skip(length);
        }
    }
}

// The four hexadecimal digits of "\\uXXXX" at `at` bytes ahead; fails naming the escape otherwise.
unsigned Reader::hexCodeUnit(std::size_t at) {
    const std::size_t ready = m_in.ready(at + 6);
    unsigned unit = 0;
    for (std::size_t i = at + 2; i < at + 6; ++i) {
        const char c = i < ready ? m_in.data()[i] : '\0';
        const int digit = c >= '0' && c <= '9'   ? c - '0'
                          : c >= 'a' && c <= 'f' ? c - 'a' + 10
                          : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                 : -1;
        if (digit < 0)
            fail(quoted(std::string_view(m_in.data() + at, i - at), 0) +
                     " is not an escape (\\u takes four hexadecimal digits)",
                 m_in.offset() + at);
        unit = unit * 16 + static_cast<unsigned>(digit);
    }
    return unit;
}

void Reader::escape() {
    const std::size_t ready = m_in.ready(2);
    const char c = ready > 1 ? m_in.data()[1] : '\0';
    const char* const simple = "\"\\/bfnrt";
    const char* const meaning = "\"\\/\b\f\n\r\t";
    if (const char* found = c ? std::strchr(simple, c) : nullptr) {
        m_text += meaning[found - simple];
        m_in.skip(2);
        return;
    }
    if (c != 'u')
        fail(quoted(std::string_view(m_in.data(), std::min<std::size_t>(ready, 2)), 0) + " is not an escape",
             m_in.offset());
    unsigned codePoint = hexCodeUnit(0);
    std::size_t length = 6;
    if (codePoint >= 0xD800 && codePoint <= 0xDBFF && m_in.ready(8) >= 8 && m_in.data()[6] == '\\' &&
        m_in.data()[7] == 'u') {
        const unsigned low = hexCodeUnit(6);
        if (low >= 0xDC00 && low <= 0xDFFF) {
            codePoint = 0x10000 + ((codePoint - 0xD800) << 10) + (low - 0xDC00);
            length = 12;
        }
    }
    if (codePoint >= 0xD800 && codePoint <= 0xDFFF)
        fail(quoted(std::string_view(m_in.data(), 6), 0) +
                 " is half of a surrogate pair without the other half",
             m_in.offset());
    appendUtf8(codePoint);
    m_in.skip(length);
}

void Reader::appendUtf8(unsigned codePoint) {
    if (codePoint < 0x80) {
        m_text += static_cast<char>(codePoint);
        return;
    }
    static const unsigned lead[] = {0, 0xC0, 0xE0, 0xF0};  // by the number of continuation bytes
    const int continuations = codePoint < 0x800 ? 1 : codePoint < 0x10000 ? 2 : 3;
    m_text += static_cast<char>(lead[continuations] | (codePoint >> (6 * continuations)));
    for (int i = continuations - 1; i >= 0; --i)
        m_text += static_cast<char>(0x80 | ((codePoint >> (6 * i)) & 0x3F));
}

}  // namespace

void readJson(const ReadFunction& read, JsonHandler& handler) {
    Reader(read, handler).run();
}

}  // namespace tools
}  // namespace Korvanta
