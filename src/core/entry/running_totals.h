#pragma once

// Exact totals of tick columns, kept up to date entry by entry. A keystroke changes one entry,
// so a result drawn from totals costs the same at any number of rows; and because every total
// is an exact integer, totals kept by updates equal those of a fresh pass over the entries,
// and so does every result drawn from them.

#include "core/entry/wide_int.h"

#include <boost/multiprecision/cpp_int.hpp>

#include <cstdint>
#include <span>

namespace quarbel {

// An exact sum of 128-bit terms (products of two tick counts) in 192 bits, two's complement:
// room for 2^64 terms of the largest size, far beyond any list.
class ExactSum {
  public:
    void add(WideInt term);
    void subtract(WideInt term);
    ExactSum &operator+=(const ExactSum &other);
    boost::multiprecision::int512_t value() const;
    friend bool operator==(const ExactSum &, const ExactSum &) = default;

  private:
    void addMagnitude(WideUInt m);
    void subtractMagnitude(WideUInt m);

    WideUInt m_low{0};
    std::int64_t m_high{0};
};

// Count, sum and sum of squares of the present entries of one column.
struct ColumnTotals {
    std::int64_t n{0};
    WideInt sum{0};
    ExactSum squares;

    void add(std::int64_t ticks);
    void remove(std::int64_t ticks);
    // A fresh pass over parsed entries (ColumnList::Missing skipped).
    static ColumnTotals of(std::span<const std::int64_t> ticks);
    friend bool operator==(const ColumnTotals &, const ColumnTotals &) = default;
};

// The same over the rows where both columns hold a value, with the cross products.
struct PairTotals {
    std::int64_t n{0};
    WideInt sumX{0}, sumY{0};
    ExactSum xx, yy, xy;

    void add(std::int64_t x, std::int64_t y);
    void remove(std::int64_t x, std::int64_t y);
    static PairTotals of(std::span<const std::int64_t> x, std::span<const std::int64_t> y);
    friend bool operator==(const PairTotals &, const PairTotals &) = default;
};

namespace exact {
// Wide enough for a product of two spreads of 2^40 entries of the largest size, beyond any list.
using Int = boost::multiprecision::int512_t;

// n·Σv² − (Σv)², which is n(n − 1) times the sample variance in ticks²: exact, never
// negative, and zero exactly when every value is the same.
Int spread(std::int64_t n, WideInt sum, const Int &squares);
// n·Σxy − Σx·Σy, the same for the cross products.
Int crossSpread(std::int64_t n, WideInt sumX, WideInt sumY, const Int &products);
long double toLongDouble(const Int &value);
} // namespace exact

} // namespace quarbel
