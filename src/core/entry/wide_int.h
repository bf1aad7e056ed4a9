#pragma once

// Exact wide integers for sums of tick counts: a product of two 64-bit tick counts, and sums
// of many, need 128 bits. Compilers that have a 128-bit builtin use it; elsewhere (and in the
// sanitizer build, so both are tested) a fixed-width Boost integer of the same range stands in.

#include <cstdint>
#include <limits>
#include <type_traits>

#if defined(__SIZEOF_INT128__) && !defined(QUARBEL_PORTABLE_WIDE_INT)
#define QUARBEL_BUILTIN_WIDE_INT 1
#else
#include <boost/multiprecision/cpp_int.hpp>
#endif

namespace quarbel {

#ifdef QUARBEL_BUILTIN_WIDE_INT
// __extension__ keeps -Wpedantic quiet about the builtin type.
__extension__ using WideInt = __int128;
__extension__ using WideUInt = unsigned __int128;
#else
using WideInt = boost::multiprecision::int128_t;
using WideUInt = boost::multiprecision::uint128_t;
#endif

namespace wide_detail {
// The range of a two's-complement 128-bit integer, which the Boost type (sign and magnitude)
// exceeds by one bit; overflow is judged against this range on both paths.
template <class W> W maximum() {
    return (W(1) << 126) - 1 + (W(1) << 126);
}
} // namespace wide_detail

// `sum += value`; returns true, leaving `sum` unspecified, when the result leaves the signed
// 128-bit range.
template <class W> bool addOverflows(W &sum, W value) {
#ifdef QUARBEL_BUILTIN_WIDE_INT
    if constexpr (std::is_same_v<W, WideInt>)
        return __builtin_add_overflow(sum, value, &sum);
#endif
    const W top = wide_detail::maximum<W>();
    if ((value > 0 && sum > top - value) || (value < 0 && sum < -top - 1 - value))
        return true;
    sum += value;
    return false;
}

// `*product = a * b`; returns true when the product leaves the signed 128-bit range.
template <class W> bool mulOverflows(W a, W b, W *product) {
#ifdef QUARBEL_BUILTIN_WIDE_INT
    if constexpr (std::is_same_v<W, WideInt>)
        return __builtin_mul_overflow(a, b, product);
#endif
    const W top = wide_detail::maximum<W>();
    const W ma = a < 0 ? W(-a) : a, mb = b < 0 ? W(-b) : b;
    if (ma != 0 && mb > top / ma)
        return true;
    *product = a * b;
    return false;
}

// A 64-bit sum that reports overflow instead of wrapping.
inline bool addOverflows(std::int64_t &sum, std::int64_t value) {
    if ((value > 0 && sum > std::numeric_limits<std::int64_t>::max() - value) ||
        (value < 0 && sum < std::numeric_limits<std::int64_t>::min() - value))
        return true;
    sum += value;
    return false;
}

template <class W> double toDouble(const W &value) {
    return static_cast<double>(value);
}
template <class W> long double toLongDouble(const W &value) {
    return static_cast<long double>(value);
}

} // namespace quarbel
