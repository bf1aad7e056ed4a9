#pragma once

// What every read of a workbook must give, whatever the bytes: either a reason and no
// columns, or exactly the requested columns of equal length within the format's limits,
// which write back and read again unchanged.
#include "core/exchange/workbook.h"
#include "fuzz_support.h"

namespace quarbel::fuzz {

// The reader counts a row whose cells hold empty text; written back it is no row at all.
inline QList<QStringList> withoutTrailingBlanks(QList<QStringList> columns) {
    const qsizetype rows = workbookRowCount(columns);
    for (QStringList &column : columns)
        column.resize(rows);
    return columns;
}

inline void checkWorkbookRead(const QByteArray &file, WorkbookFormat format) {
    const qsizetype maxRows = format == WorkbookFormat::Xls ? XlsMaxRows : XlsxMaxRows;
    for (int columnCount : {2, 3}) {
        const SheetColumns read = readWorkbookBytes(file, columnCount);
        if (!read.error.isEmpty()) {
            FUZZ_CHECK(read.columns.isEmpty());
            continue;
        }
        FUZZ_CHECK(read.columns.size() == columnCount);
        FUZZ_CHECK(read.usedRows >= 1 && read.usedRows <= maxRows);
        for (const QStringList &column : read.columns) {
            FUZZ_CHECK(column.size() == read.usedRows);
            for (const QString &cell : column)
                FUZZ_CHECK(cell.size() <= MaxCellText);
        }
        QString why;
        const auto written = workbookBytes(read.columns, format, &why);
        if (!written)
            continue; // texts this format cannot hold are refused, which is fine
        const SheetColumns again = readWorkbookBytes(*written, columnCount);
        FUZZ_CHECK(again.error.isEmpty());
        FUZZ_CHECK(withoutTrailingBlanks(again.columns) == withoutTrailingBlanks(read.columns));
    }
}

} // namespace quarbel::fuzz
