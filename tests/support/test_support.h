#pragma once

#include "core/entry/column_list.h"
#include "core/entry/details.h"
#include "core/means/anova.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <initializer_list>
#include <ostream>
#include <vector>

// Failures print texts as texts, and table rows by their name.
inline void PrintTo(const QString &text, std::ostream *os) {
    *os << '"' << text.toStdString() << '"';
}

#define QUARBEL_PRINT_ROW_NAME(Row)                                                                \
    inline void PrintTo(const Row &row, std::ostream *os) {                                        \
        *os << row.name;                                                                           \
    }

namespace quarbel {
// Whole results print their details, the part a failure most often concerns.
inline void PrintTo(const Details &details, std::ostream *os) {
    for (const DetailItem &item : details.items)
        *os << item.name.toStdString() << "=\"" << item.text.toStdString() << "\" ";
    *os << "note=\"" << details.note.toStdString() << '"';
}
} // namespace quarbel

namespace quarbel::test {

// Parsed entries as a hidden list holds them.
inline std::vector<std::int64_t> ticksOf(const QStringList &texts) {
    ColumnList list(QStringLiteral("List"));
    list.replaceAll(texts);
    return {list.ticks().begin(), list.ticks().end()};
}

// The nine analysis-of-variance boxes, X1 S1 N1 X2 S2 N2 X3 S3 N3.
inline AnovaBoxes boxesOf(std::initializer_list<const char *> texts) {
    AnovaBoxes boxes;
    std::size_t i = 0;
    for (const char *t : texts)
        boxes[i++] = QString::fromUtf8(t);
    return boxes;
}

} // namespace quarbel::test
