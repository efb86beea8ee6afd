#include "tools/NumberText.h"

#include <cstdint>
#include <limits>
#include <optional>

#include "host/image/PixelTypeUtils.h"

namespace Korvanta {
namespace tools {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// What exact reading needs of a decimal text: its sign and, for a value other than zero, the powers of
// ten of its first and last digits other than 0 and the value of those digits when that fits 64 bits.
struct Decimal {
    bool negative = false;
    bool zero = true;
    std::int64_t leadingPlace = 0;  // 123.4e1 has 1 at place 2 and 4 at place -0
    std::int64_t lastPlace = 0;
    std::uint64_t significand = 0;  // of the digits from the first to the last other than 0
    bool significandFits = true;
};

std::size_t skipDigits(std::string_view text, std::size_t i) {
    while (i < text.size() && isDigit(text[i]))
        ++i;
    return i;
}

// Reads the text of a JSON number (isJsonNumber).
std::optional<Decimal> scanDecimal(std::string_view text) {
    Decimal d;
    std::size_t i = 0;
    d.negative = i < text.size() && text[i] == '-';
    i += d.negative;
    std::int64_t digits = 0, integerDigits = -1, firstNonZero = -1, lastNonZero = -1;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '.' && integerDigits < 0) {
            integerDigits = digits;
            continue;
        }
        if (!isDigit(c))
            break;
        if (c != '0') {
            if (firstNonZero < 0)
                firstNonZero = digits;
            // Digits from the first to this one, zeros between included, all go into the significand.
            for (std::int64_t k = lastNonZero < 0 ? digits : lastNonZero + 1; k <= digits; ++k) {
                const int digit = k == digits ? c - '0' : 0;
                d.significandFits = d.significandFits && d.significand <= (UINT64_MAX - 9) / 10;
                d.significand = d.significand * 10 + static_cast<unsigned>(digit);
            }
            lastNonZero = digits;
        }
        ++digits;
    }
    if (digits == 0)
        return std::nullopt;
    if (integerDigits < 0)
        integerDigits = digits;
    std::int64_t exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        const bool negativeExponent = i < text.size() && text[i] == '-';
        i += i < text.size() && (text[i] == '-' || text[i] == '+');
        if (i == text.size())
            return std::nullopt;
        for (; i < text.size() && isDigit(text[i]); ++i)
            exponent = std::min<std::int64_t>(exponent * 10 + (text[i] - '0'), std::int64_t(1) << 40);
        exponent = negativeExponent ? -exponent : exponent;
    }
    if (i != text.size())
        return std::nullopt;
    d.zero = firstNonZero < 0;
    d.leadingPlace = integerDigits - 1 - firstNonZero + exponent;
    d.lastPlace = integerDigits - 1 - lastNonZero + exponent;
    return d;
}

}  // namespace

bool isJsonNumber(std::string_view text) {
    std::size_t i = !text.empty() && text[0] == '-' ? 1 : 0;
    if (i == text.size() || !isDigit(text[i]))
        return false;
    i = text[i] == '0' ? i + 1 : skipDigits(text, i);
    if (i < text.size() && text[i] == '.') {
        const std::size_t fraction = i + 1;
        i = skipDigits(text, fraction);
        if (i == fraction)
            return false;
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        const std::size_t exponent =
            i + 1 < text.size() && (text[i + 1] == '+' || text[i + 1] == '-') ? i + 2 : i + 1;
        i = skipDigits(text, exponent);
        if (i == exponent)
            return false;
    }
    return i == text.size();
}

namespace {

template <class T>
NumberProblem readInteger(std::string_view text, T& value) {
    using Number = Utils::ElementNumber<T>;
    using Wide = std::conditional_t<std::is_signed_v<Number>, long long, unsigned long long>;
    Wide wide = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), wide);
    // Digits alone, the bulk of a script, need no more than a look at their first for a leading zero.
    const std::size_t first = !text.empty() && text[0] == '-' ? 1 : 0;
    const bool plain = error == std::errc() && end == text.data() + text.size() && first < text.size() &&
                       isDigit(text[first]) && (text[first] != '0' || text.size() == first + 1);
    if (!plain && !isJsonNumber(text))
        return NumberProblem::NotANumber;
    if (!plain) {
        // Not plain digits: a fraction, an exponent or a value beyond 64 bits, read exactly.
        const std::optional<Decimal> d = scanDecimal(text);
        if (!d)
            return NumberProblem::NotANumber;
        if (!d->zero && d->lastPlace < 0)
            return NumberProblem::NotAnInteger;
        if (d->zero) {
            wide = 0;
        } else {
            if (d->leadingPlace > 18 || !d->significandFits || (d->negative && std::is_unsigned_v<Number>))
                return NumberProblem::OutOfRange;
            std::uint64_t magnitude = d->significand;
            for (std::int64_t place = 0; place < d->lastPlace; ++place)
                magnitude *= 10;  // below 10^19: the leading digit is at place 18 at most
            if (magnitude > static_cast<std::uint64_t>(std::numeric_limits<Wide>::max()))
                return NumberProblem::OutOfRange;
            wide = d->negative ? static_cast<Wide>(0 - magnitude) : static_cast<Wide>(magnitude);
        }
    }
    if (wide < static_cast<Wide>(std::numeric_limits<Number>::min()) ||
        wide > static_cast<Wide>(std::numeric_limits<Number>::max()))
        return NumberProblem::OutOfRange;
    value = static_cast<T>(static_cast<Number>(wide));
    return NumberProblem::None;
}

template <class T>
NumberProblem readFloating(std::string_view text, T& value) {
    if (text == "NaN" || text == "Infinity" || text == "-Infinity") {
        value = text == "NaN"        ? std::numeric_limits<T>::quiet_NaN()
                : text == "Infinity" ? std::numeric_limits<T>::infinity()
                                     : -std::numeric_limits<T>::infinity();
        return NumberProblem::None;
    }
    if (!isJsonNumber(text))
        return NumberProblem::NotANumber;
    T read = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), read);
    if (end != text.data() + text.size())
        return NumberProblem::NotANumber;
    if (error == std::errc()) {
        value = read;
        return NumberProblem::None;
    }
    // Out of range either way: too large, or so small that it rounds to zero.
    const std::optional<Decimal> d = scanDecimal(text);
    if (!d || error != std::errc::result_out_of_range)
        return NumberProblem::NotANumber;
    if (d->leadingPlace >= 0)
        return NumberProblem::OutOfRange;
    value = d->negative ? -T(0) : T(0);
    return NumberProblem::None;
}

}  // namespace

template <class T>
NumberProblem readNumber(std::string_view text, T& value) {
    if constexpr (std::is_floating_point_v<T>)
        return readFloating(text, value);
    else
        return readInteger(text, value);
}

std::string describeNumberProblem(NumberProblem problem, const std::string& shown,
                                  const std::string& typeName) {
    switch (problem) {
        case NumberProblem::None:
            break;
        case NumberProblem::NotANumber:
            return shown + " is not a number";
        case NumberProblem::NotAnInteger:
            return shown + " is not an integer";
        case NumberProblem::OutOfRange:
            return shown + " is out of range for " + (typeName[0] == 'i' ? "an " : "a ") + typeName;
    }
    return shown;
}

template NumberProblem readNumber(std::string_view, char&);
template NumberProblem readNumber(std::string_view, unsigned char&);
template NumberProblem readNumber(std::string_view, short&);
template NumberProblem readNumber(std::string_view, unsigned short&);
template NumberProblem readNumber(std::string_view, int&);
template NumberProblem readNumber(std::string_view, unsigned int&);
template NumberProblem readNumber(std::string_view, unsigned long&);
template NumberProblem readNumber(std::string_view, float&);
template NumberProblem readNumber(std::string_view, double&);

}  // namespace tools
}  // namespace Korvanta
