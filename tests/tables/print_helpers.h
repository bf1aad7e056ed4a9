#pragma once

#include "core/entry/details.h"

#include <QString>

#include <ostream>

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
