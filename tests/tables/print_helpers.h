#pragma once

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
