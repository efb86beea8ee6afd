#pragma once

#include <cmath>
#include <cstdint>
#include <type_traits>

// An element-by-element model of the kernels, written apart from them: std::round and branches where
// the kernels use branch-free exact steps.
namespace kernel_test {

struct Mapping {
    double shift = 0.0;
    double scale = 1.0;
    bool storageValues = false;
};

template <class T>
double referenceWiden(T element) {
    using Signed8 = std::conditional_t<std::is_same_v<T, char>, signed char, T>;
    return static_cast<double>(static_cast<Signed8>(element));
}

template <class T>
double referenceRead(T element, const Mapping& mapping) {
    const double stored = referenceWiden(element);
    if (mapping.storageValues) {
        return stored;
    }
    const double quotient = stored / mapping.scale;
    return quotient - mapping.shift;
}

inline double referenceToStored(double real, const Mapping& mapping) {
    if (mapping.storageValues) {
        return real;
    }
    const double sum = real + mapping.shift;
    return sum * mapping.scale;
}

template <class T>
T referenceStore(double value) {
    if constexpr (std::is_floating_point_v<T>) {
        return static_cast<T>(value);
    } else {
        if (std::isnan(value)) {
            return 0;
        }
        const double rounded = std::round(value);
        if constexpr (std::is_same_v<T, unsigned int>) {
            if (rounded <= 0.0) {
                return 0;
            }
            if (rounded >= 4294967295.0) {
                return 4294967295u;
            }
            return static_cast<unsigned int>(rounded);
        } else {
            std::int64_t saturated = 0;
            if (rounded <= -2147483648.0) {
                saturated = -2147483648LL;
            } else if (rounded >= 2147483647.0) {
                saturated = 2147483647LL;
            } else {
                saturated = static_cast<std::int64_t>(rounded);
            }
            if constexpr (sizeof(T) == 4) {
                return static_cast<T>(saturated);
            } else {
                const std::int64_t modulus = std::int64_t{1} << (8 * sizeof(T));
                std::int64_t low = ((saturated % modulus) + modulus) % modulus;
                const bool signedType = std::is_same_v<T, char> || std::is_signed_v<T>;
                if (signedType && low >= modulus / 2) {
                    low -= modulus;
                }
                return static_cast<T>(low);
            }
        }
    }
}

template <class T>
T referenceElement(double real, const Mapping& destination) {
    return referenceStore<T>(referenceToStored(real, destination));
}

}  // namespace kernel_test
