#include "core/entry/running_totals.h"

#include "core/entry/column_list.h"

#include <algorithm>

namespace quarbel {

void ExactSum::addMagnitude(WideUInt m) {
    const WideUInt before = m_low;
    m_low += m;
    if (m_low < before)
        ++m_high;
}

void ExactSum::subtractMagnitude(WideUInt m) {
    const WideUInt before = m_low;
    m_low -= m;
    if (m_low > before)
        --m_high;
}

// Terms are added by magnitude so that no negative value is ever converted to the unsigned
// type, whose conversion differs between the builtin and the portable integer.
void ExactSum::add(WideInt term) {
    if (term < 0)
        subtractMagnitude(WideUInt(-term));
    else
        addMagnitude(WideUInt(term));
}

void ExactSum::subtract(WideInt term) {
    if (term < 0)
        addMagnitude(WideUInt(-term));
    else
        subtractMagnitude(WideUInt(term));
}

ExactSum &ExactSum::operator+=(const ExactSum &other) {
    addMagnitude(other.m_low);
    m_high += other.m_high;
    return *this;
}

exact::Int ExactSum::value() const {
    // Multiplied, not shifted: the high word carries the sign, and the Int is sign-magnitude.
    return exact::Int(m_high) * (exact::Int(1) << 128) + exact::Int(m_low);
}

void ColumnTotals::add(std::int64_t ticks) {
    ++n;
    sum += ticks;
    squares.add(WideInt(ticks) * ticks);
}

void ColumnTotals::remove(std::int64_t ticks) {
    --n;
    sum -= ticks;
    squares.subtract(WideInt(ticks) * ticks);
}

ColumnTotals ColumnTotals::of(std::span<const std::int64_t> ticks) {
    ColumnTotals t;
    for (std::int64_t v : ticks)
        if (v != ColumnList::Missing)
            t.add(v);
    return t;
}

void PairTotals::add(std::int64_t x, std::int64_t y) {
    ++n;
    sumX += x;
    sumY += y;
    xx.add(WideInt(x) * x);
    yy.add(WideInt(y) * y);
    xy.add(WideInt(x) * y);
}

void PairTotals::remove(std::int64_t x, std::int64_t y) {
    --n;
    sumX -= x;
    sumY -= y;
    xx.subtract(WideInt(x) * x);
    yy.subtract(WideInt(y) * y);
    xy.subtract(WideInt(x) * y);
}

PairTotals PairTotals::of(std::span<const std::int64_t> x, std::span<const std::int64_t> y) {
    PairTotals t;
    const std::size_t rows = std::min(x.size(), y.size());
    for (std::size_t i = 0; i < rows; ++i)
        if (x[i] != ColumnList::Missing && y[i] != ColumnList::Missing)
            t.add(x[i], y[i]);
    return t;
}

namespace exact {

Int spread(std::int64_t n, WideInt sum, const Int &squares) {
    const Int s(sum);
    return Int(n) * squares - s * s;
}

Int crossSpread(std::int64_t n, WideInt sumX, WideInt sumY, const Int &products) {
    return Int(n) * products - Int(sumX) * Int(sumY);
}

long double toLongDouble(const Int &value) {
    return value.convert_to<long double>();
}

} // namespace exact
} // namespace quarbel
