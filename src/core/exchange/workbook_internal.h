#pragma once

#include "core/exchange/inflating_buffer.h"
#include "core/exchange/workbook.h"

#include <QHash>

namespace quarbel::workbook_detail {

// Gathers the cells both readers find, in any order, into the requested leading columns and
// tracks the last row that holds a value in any column.
class SheetBuilder {
  public:
    SheetBuilder(int columnCount, qsizetype maxRows);

    // False when the row lies beyond the format's last row (the file is then refused).
    bool set(qsizetype row, qsizetype column, const QString &text);
    // The same with the text already parsed: `ticks` is ColumnList::ticksOf(text).
    bool set(qsizetype row, qsizetype column, const QString &text, std::int64_t ticks);
    // Room for this many rows in every column, so that they are allocated once.
    void reserve(qsizetype rows);
    SheetColumns finish();

  private:
    QList<QStringList> m_columns;
    QList<std::vector<std::int64_t>> m_ticks;
    qsizetype m_maxRows{0};
    qsizetype m_lastRow{-1};
};

SheetColumns readXls(const QByteArray &bytes, int columnCount);
// Takes the bytes by value, so that a caller hands over its only copy instead of having it
// copied: the sheet is inflated from it while it is read, in `steps`.
SheetColumns readXlsx(QByteArray bytes, int columnCount, InflationSteps steps = {});

// Properties with no application are left out of the file.
std::optional<QByteArray> xlsBytes(const QList<QStringList> &columns, QString *error,
                                   const WorkbookProperties &properties);
std::optional<QByteArray> xlsxBytes(const QList<QStringList> &columns, QString *error,
                                    const WorkbookProperties &properties);

// Empty when every cell fits the formats' limits, else why not.
QString checkCells(const QList<QStringList> &columns, qsizetype rows, qsizetype maxRows);

} // namespace quarbel::workbook_detail
