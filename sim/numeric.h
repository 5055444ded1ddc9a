#pragma once
// Conversions from the model's doubles to the small integers of the record
// and of the screen. A plain cast of a double that does not fit its target
// (or of a NaN) is undefined behaviour in C++, so every such conversion in
// the program goes through these helpers.

#include <cmath>
#include <cstdint>
#include <limits>
#include <type_traits>

namespace zt40 {

// Truncates toward zero and saturates at the limits of Int; NaN gives 0.
template <class Int>
constexpr Int truncateTo(double value) {
    static_assert(std::is_integral_v<Int>);
    if (std::isnan(value)) return 0;
    constexpr double lowest = static_cast<double>(std::numeric_limits<Int>::lowest());
    constexpr double highest = static_cast<double>(std::numeric_limits<Int>::max());
    if (value <= lowest) return std::numeric_limits<Int>::lowest();
    // `highest` may round up to 2^63 for 64-bit types, so compare with >=.
    if (value >= highest) return std::numeric_limits<Int>::max();
    return static_cast<Int>(value);
}

// Truncates toward zero and keeps the low 8 bits, as a signed byte: what an
// 8-bit field receives when a wider result is stored into it (300 gives 44,
// -150 gives 106). Values beyond the 64-bit range saturate first.
constexpr std::int8_t lowByteOf(double value) {
    const std::int64_t wide = truncateTo<std::int64_t>(value);
    return static_cast<std::int8_t>(static_cast<std::uint8_t>(wide & 0xff));
}

}  // namespace zt40
