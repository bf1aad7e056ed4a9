#pragma once

#include "core/entry/running_totals.h"

#include <QObject>

namespace quarbel {

class ColumnList;

// The exact totals of the complete rows of two column lists (the paired t-test's and the
// correlation's input), following every change of either list: by the one row a set()
// changed, or by a fresh pass when a list was replaced.
class ListPair : public QObject {
    Q_OBJECT
  public:
    ListPair(const ColumnList *x, const ColumnList *y, QObject *parent = nullptr);

    // Always equal to PairTotals::of(x->ticks(), y->ticks()).
    const PairTotals &totals() const { return m_totals; }

  private:
    void follow(const ColumnList *changed, qsizetype i, std::int64_t before, std::int64_t after);
    void recount();

    const ColumnList *m_x;
    const ColumnList *m_y;
    PairTotals m_totals;
};

} // namespace quarbel
