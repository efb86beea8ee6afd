#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <type_traits>
#include <vector>

#include "imagemath/kernels/Kernels.h"
#include "tests/kernels/KernelReference.h"

namespace kernel_test {

namespace kernels = Korvanta::ImageMath::kernels;
namespace ImgOps = Korvanta::ImageMath::ImgOps;

using ElementTypes =
    ::testing::Types<char, unsigned char, short, unsigned short, int, unsigned int, float, double>;

template <class T, class U>
struct TypePair {
    using Destination = T;
    using Right = U;
};

// Every (destination, right-hand) pair of the eight element types, as one list of 64 test types.
template <class... Lists>
struct Concat;
template <class... A>
struct Concat<::testing::Types<A...>> {
    using type = ::testing::Types<A...>;
};
template <class... A, class... B, class... Rest>
struct Concat<::testing::Types<A...>, ::testing::Types<B...>, Rest...>
    : Concat<::testing::Types<A..., B...>, Rest...> {};
template <class... Us>
struct PairsWith {
    template <class T>
    using Row = ::testing::Types<TypePair<T, Us>...>;
};
template <class... Ts>
using AllPairs = typename Concat<typename PairsWith<Ts...>::template Row<Ts>...>::type;
using ElementTypePairs =
    AllPairs<char, unsigned char, short, unsigned short, int, unsigned int, float, double>;

// Stored values of each type: extremes, zeros of both signs, halves, NaN and infinities where the type
// has them, and values whose results leave the destination ranges.
template <class T>
std::vector<T> sampleValues() {
    using L = std::numeric_limits<T>;
    if constexpr (std::is_floating_point_v<T>) {
        std::vector<T> values{T(-0.0),         T(0.0),        T(0.5),         T(-0.5),        T(1.5),
                              T(2.5),          T(-2.5),       T(0.1),         T(7),           T(-128),
                              T(127.5),        T(32767.5),    T(1e30),        T(-3e9),        L::max(),
                              L::lowest(),     L::infinity(), -L::infinity(), L::quiet_NaN(), L::denorm_min(),
                              T(2147483648.0), T(16777217.0)};
        if constexpr (std::is_same_v<T, double>) {
            values.insert(values.end(),
                          {0.49999999999999994, -0.49999999999999994, 2147483647.5, -2147483648.5,
                           4294967295.5, 1e19, -1e300, 4503599627370495.5, 2251799813685247.5});
        }
        return values;
    } else {
        std::vector<T> values{L::min(),
                              T(L::min() + 1),
                              T(0),
                              T(1),
                              T(2),
                              T(3),
                              T(5),
                              T(7),
                              T(100),
                              T(L::max() / 2),
                              T(L::max() / 2 + 1),
                              T(L::max() - 1),
                              L::max()};
        if constexpr (std::is_same_v<T, char> || std::is_signed_v<T>) {
            values.insert(values.end(), {T(-1), T(-3), T(-100)});
        }
        return values;
    }
}

// Operand and destination mappings (left, right, destination) that the typed tests run through: plain
// stored values, shifts and scales that make halves, set flags over meaningless shifts and scales,
// a zero right scale (infinities and NaN), and destination scales that leave every type's range.
struct MappingCase {
    Mapping left, right, destination;
};

inline std::vector<MappingCase> mappingCases() {
    return {
        {{0.0, 1.0, false}, {0.0, 1.0, false}, {0.0, 1.0, false}},
        {{1.5, 2.0, false}, {-0.25, 0.5, false}, {3.0, 0.75, false}},
        {{7.0, 0.0, true}, {-3.0, 1e-300, true}, {5.0, 0.0, true}},
        {{0.5, -3.0, false}, {2.0, 4.0, true}, {-1.0, 4.0, false}},
        {{0.0, 1.0, false}, {0.0, 0.0, false}, {0.25, 1e6, false}},
        {{-0.0, -1.0, false}, {10.0, 7.0, false}, {-1.7, 7.0, false}},
        {{0.0, 3.0, false}, {0.0, 10.0, false}, {0.0, 3e9, true}},
    };
}

template <class T>
kernels::Source<T> sourceOf(const std::vector<T>& buffer, const Mapping& mapping) {
    return kernels::Source<T>{buffer.data(), mapping.shift, mapping.scale, mapping.storageValues};
}

template <class T>
kernels::Target<T> targetOf(std::vector<T>& buffer, kernels::Extents extents, const Mapping& mapping) {
    return kernels::Target<T>{buffer.data(), extents, mapping.shift, mapping.scale, mapping.storageValues};
}

inline kernels::Extents flatExtents(std::size_t elements) {
    return kernels::Extents{static_cast<std::int64_t>(elements), 1, 1, 1};
}

// Same bits, except that any NaN equals any NaN (which NaN an operation returns is not fixed).
template <class T>
bool sameElement(T a, T b) {
    if constexpr (std::is_floating_point_v<T>) {
        if (std::isnan(a) || std::isnan(b)) {
            return std::isnan(a) && std::isnan(b);
        }
        return std::memcmp(&a, &b, sizeof(T)) == 0;
    } else {
        return a == b;
    }
}

template <class T>
std::string show(T value) {
    if constexpr (std::is_floating_point_v<T>) {
        char text[64];
        std::snprintf(text, sizeof(text), "%.17g", static_cast<double>(value));
        return text;
    } else {
        return std::to_string(static_cast<long long>(referenceWiden(value)));
    }
}

// Compares element by element and reports the first few differences with their index.
template <class T>
::testing::AssertionResult sameElements(const std::vector<T>& actual, const std::vector<T>& expected) {
    if (actual.size() != expected.size()) {
        return ::testing::AssertionFailure() << "sizes differ";
    }
    int reported = 0;
    auto result = ::testing::AssertionSuccess();
    bool failed = false;
    for (std::size_t i = 0; i < actual.size(); ++i) {
        if (!sameElement(actual[i], expected[i])) {
            if (!failed) {
                result = ::testing::AssertionFailure();
                failed = true;
            }
            if (reported++ < 5) {
                result << "\n  element " << i << ": " << show(actual[i]) << " instead of "
                       << show(expected[i]);
            }
        }
    }
    return result;
}

}  // namespace kernel_test
