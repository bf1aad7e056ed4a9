#include "core/entry/list_pair.h"

#include "core/entry/column_list.h"

namespace quarbel {

ListPair::ListPair(const ColumnList *x, const ColumnList *y, QObject *parent)
    : QObject(parent), m_x(x), m_y(y) {
    for (const ColumnList *list : {x, y}) {
        connect(list, &ColumnList::entryChanged, this,
                [this, list](qsizetype i, std::int64_t before, std::int64_t after) {
                    follow(list, i, before, after);
                });
        connect(list, &ColumnList::replaced, this, &ListPair::recount);
    }
    recount();
}

void ListPair::follow(const ColumnList *changed, qsizetype i, std::int64_t before,
                      std::int64_t after) {
    const ColumnList *other = changed == m_x ? m_y : m_x;
    const auto ticks = other->ticks();
    if (i >= qsizetype(ticks.size()) || ticks[std::size_t(i)] == ColumnList::Missing)
        return;
    const std::int64_t partner = ticks[std::size_t(i)];
    const bool isX = changed == m_x;
    if (before != ColumnList::Missing)
        m_totals.remove(isX ? before : partner, isX ? partner : before);
    if (after != ColumnList::Missing)
        m_totals.add(isX ? after : partner, isX ? partner : after);
}

void ListPair::recount() {
    m_totals = PairTotals::of(m_x->ticks(), m_y->ticks());
}

} // namespace quarbel
