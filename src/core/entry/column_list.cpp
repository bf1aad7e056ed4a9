#include "core/entry/column_list.h"

namespace quarbel {

ColumnList::ColumnList(const QString &name, QObject *parent) : QObject(parent) {
    setObjectName(name);
}

QString ColumnList::at(qsizetype i) const {
    return i >= 0 && i < m_texts.size() ? m_texts[i] : QString();
}

std::optional<Fixed4> ColumnList::value(qsizetype i) const {
    if (i < 0 || i >= qsizetype(m_ticks.size()) || m_ticks[i] == Missing)
        return std::nullopt;
    return Fixed4::fromTicks(m_ticks[i]);
}

void ColumnList::set(qsizetype i, const QString &text) {
    if (i < 0 || i >= m_texts.size())
        return;
    m_texts[i] = text;
    const std::int64_t before = m_ticks[i], after = ticksOf(text);
    m_ticks[i] = after;
    if (before != Missing)
        m_totals.remove(before);
    if (after != Missing)
        m_totals.add(after);
    Q_EMIT entryChanged(i, before, after);
}

void ColumnList::appendEmpty(qsizetype k) {
    m_texts.resize(m_texts.size() + std::max<qsizetype>(k, 0));
    m_ticks.resize(m_ticks.size() + std::max<qsizetype>(k, 0), Missing);
}

void ColumnList::reset(qsizetype count) {
    m_texts.clear();
    m_ticks.clear();
    appendEmpty(count);
    m_totals = {};
    Q_EMIT replaced();
}

void ColumnList::replaceAll(const QStringList &texts) {
    m_texts = texts;
    m_ticks.resize(texts.size());
    for (qsizetype i = 0; i < texts.size(); ++i)
        m_ticks[i] = ticksOf(texts[i]);
    m_totals = ColumnTotals::of(m_ticks);
    Q_EMIT replaced();
}

void ColumnList::replaceAll(QStringList texts, std::vector<std::int64_t> ticks) {
    Q_ASSERT(qsizetype(ticks.size()) == texts.size());
    m_texts = std::move(texts);
    m_ticks = std::move(ticks);
    m_totals = ColumnTotals::of(m_ticks);
    Q_EMIT replaced();
}

QString ColumnList::describe() const {
    return QStringLiteral("[%1] ").arg(m_texts.size()) + m_texts.join(u'|');
}

std::int64_t ColumnList::ticksOf(QStringView text) {
    if (text.isEmpty())
        return Missing;
    const auto v = Fixed4::parse(text);
    return v && v->ticks() != Missing ? v->ticks() : Missing;
}

} // namespace quarbel
