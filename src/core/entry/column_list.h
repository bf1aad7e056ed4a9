#pragma once

#include "core/entry/number_rules.h"
#include "core/entry/running_totals.h"

#include <QObject>
#include <QStringList>

#include <cstdint>
#include <limits>
#include <optional>
#include <span>
#include <vector>

namespace quarbel {

// A hidden list: every entry of one grid column, whatever part of it is visible. Entry i is
// data row i + 1; an empty text means no value. Each entry is parsed once when it is stored,
// and the exact totals of the column follow each change, so a keystroke's results never need
// a pass over the column.
class ColumnList : public QObject {
    Q_OBJECT
  public:
    static constexpr std::int64_t Missing = std::numeric_limits<std::int64_t>::min();

    explicit ColumnList(const QString &name, QObject *parent = nullptr);

    qsizetype count() const { return m_texts.size(); }
    // An entry past the end reads as empty text.
    QString at(qsizetype i) const;
    std::optional<Fixed4> value(qsizetype i) const;
    // Ticks of every entry in order; Missing where the entry is empty or not a complete number.
    std::span<const std::int64_t> ticks() const { return m_ticks; }
    const QStringList &texts() const { return m_texts; }
    // Count, sum and sum of squares of the present entries, always equal to
    // ColumnTotals::of(ticks()).
    const ColumnTotals &totals() const { return m_totals; }

    // Stores a text at i; an index past the end is ignored (the grids grow the list first).
    void set(qsizetype i, const QString &text);
    void appendEmpty(qsizetype k);
    // Replaces the whole content with `count` empty entries.
    void reset(qsizetype count);
    void replaceAll(const QStringList &texts);
    // The same with the entries already parsed (`ticks[i]` is ticksOf(texts[i])), as a workbook
    // reader gives them: a repeated text is parsed once there, not once per entry here.
    void replaceAll(QStringList texts, std::vector<std::int64_t> ticks);

    // What an entry of this text holds: its ticks, or Missing.
    static std::int64_t ticksOf(QStringView text);

    // "[COUNT] e0|e1|…", the form the replay driver prints.
    QString describe() const;

  Q_SIGNALS:
    // Entry i went from `before` to `after` (ticks, Missing for no value) by set().
    void entryChanged(qsizetype i, std::int64_t before, std::int64_t after);
    // Every entry may have changed (reset, replaceAll).
    void replaced();

  private:
    QStringList m_texts;
    std::vector<std::int64_t> m_ticks;
    ColumnTotals m_totals;
};

} // namespace quarbel
