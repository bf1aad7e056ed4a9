#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <vector>

namespace quarbel {

enum class WorkbookFormat { Xls, Xlsx };

// The most rows a first worksheet may have: 65,536 in the old format, 1,048,576 in the new.
inline constexpr qsizetype XlsMaxRows = 65536;
inline constexpr qsizetype XlsxMaxRows = 1048576;
// The longest text one cell can hold in either format.
inline constexpr qsizetype MaxCellText = 32767;

// ".xls" or ".xlsx" at the end of the name, in any case; nullopt for any other name.
std::optional<WorkbookFormat> workbookFormatOfName(const QString &path);

// The leading columns of a workbook's first worksheet, each cell as text.
struct SheetColumns {
    // One list per requested column, each holding `usedRows` entries; "" for an empty cell.
    QList<QStringList> columns;
    // Each entry of `columns` as the column lists parse it (ColumnList::ticksOf), so that an
    // import stores them without parsing every entry again.
    QList<std::vector<std::int64_t>> ticks;
    // U: the last row holding a value in any column, 1 for an empty sheet.
    qsizetype usedRows{0};
    // Why the file could not be read (English, for tests and logs); empty when it was read.
    QString error;
};

// Reads the whole file into memory first; the container is recognised from its first bytes,
// not from its name, so a renamed file still reads.
SheetColumns readWorkbook(const QString &path, int columnCount);
SheetColumns readWorkbookBytes(const QByteArray &bytes, int columnCount);

// One cell value as text: numbers in the plain decimal form (15 significant digits, no
// trailing zeros), so dates give their serial number.
QString numberCellText(double value);

// The rows a file of these columns gets: up to the last row holding a value, counted within the
// first column's entries, so that trailing empty entries cost nothing and count against no
// limit.
qsizetype workbookRowCount(const QList<QStringList> &columns);

// Where a saved workbook came from, kept in its document properties (the summary information
// of a .xls, docProps/core.xml and app.xml of a .xlsx).
struct WorkbookProperties {
    QString application; // "Quarbel 15.0"
    QDateTime created;
    QString title;
    QString comments;
};

// The title the generator gives the samples it saves: such data are simulated, not observed.
inline const QString SimulatedDataTitle = QStringLiteral("正态分布模拟数据");

// The title in a workbook file's document properties; empty when it has none or is unreadable.
QString workbookTitle(const QString &path);

// The program and its version, made now; no title or comments.
WorkbookProperties programProperties();

// Builds the file: row i holds entry i of every column, for as many rows as the first column
// has entries; empty entries become empty cells. Returns the bytes, or nullopt with `error`
// set when the data does not fit the format.
std::optional<QByteArray> workbookBytes(const QList<QStringList> &columns, WorkbookFormat format,
                                        QString *error, const WorkbookProperties &properties = {});

// Writes the file atomically: on any failure an existing file at `path` stays as it was.
// Returns an empty text on success, else why it failed.
QString writeWorkbook(const QString &path, const QList<QStringList> &columns, WorkbookFormat format,
                      const WorkbookProperties &properties = programProperties());

} // namespace quarbel
