#include "core/exchange/workbook.h"

#include "core/entry/column_list.h"
#include "core/entry/number_rules.h"
#include "core/exchange/workbook_internal.h"
#include "core/shell/program.h"

#include <QFile>
#include <QSaveFile>

namespace quarbel {
namespace {

// Larger files are refused before they are read: grid data is far smaller, and the whole file
// is held in memory while it is parsed.
constexpr qint64 MaxFileBytes = 256ll << 20;

} // namespace

namespace workbook_detail {

SheetBuilder::SheetBuilder(int columnCount, qsizetype maxRows) : m_maxRows(maxRows) {
    m_columns.resize(columnCount);
    m_ticks.resize(columnCount);
}

bool SheetBuilder::set(qsizetype row, qsizetype column, const QString &text) {
    const bool stored = column >= 0 && column < m_columns.size();
    return set(row, column, text, stored ? ColumnList::ticksOf(text) : ColumnList::Missing);
}

bool SheetBuilder::set(qsizetype row, qsizetype column, const QString &text, std::int64_t ticks) {
    if (row < 0 || row >= m_maxRows || column < 0)
        return false;
    if (text.isEmpty() && (column >= m_columns.size() || row >= m_columns[column].size()))
        return true;
    if (!text.isEmpty())
        m_lastRow = std::max(m_lastRow, row);
    if (column < m_columns.size()) {
        QStringList &list = m_columns[column];
        std::vector<std::int64_t> &parsed = m_ticks[column];
        if (list.size() == row) { // the usual next row: grow by doubling
            list.append(text);
            parsed.push_back(ticks);
            return true;
        }
        if (list.size() < row) {
            list.resize(row + 1);
            parsed.resize(std::size_t(row) + 1, ColumnList::Missing);
        }
        list[row] = text;
        parsed[std::size_t(row)] = ticks;
    }
    return true;
}

void SheetBuilder::reserve(qsizetype rows) {
    rows = std::min(rows, m_maxRows);
    for (QStringList &list : m_columns)
        list.reserve(rows);
    for (std::vector<std::int64_t> &parsed : m_ticks)
        parsed.reserve(std::size_t(rows));
}

SheetColumns SheetBuilder::finish() {
    SheetColumns sheet;
    sheet.usedRows = std::max<qsizetype>(m_lastRow + 1, 1);
    for (QStringList &list : m_columns)
        list.resize(sheet.usedRows);
    for (std::vector<std::int64_t> &parsed : m_ticks)
        parsed.resize(std::size_t(sheet.usedRows), ColumnList::Missing);
    sheet.columns = std::move(m_columns);
    sheet.ticks = std::move(m_ticks);
    return sheet;
}

QString checkCells(const QList<QStringList> &columns, qsizetype rows, qsizetype maxRows) {
    if (rows > maxRows)
        return QStringLiteral("%1 rows do not fit in a sheet of %2 rows").arg(rows).arg(maxRows);
    for (const QStringList &column : columns)
        for (qsizetype r = 0; r < std::min(rows, column.size()); ++r)
            if (column[r].size() > MaxCellText)
                return QStringLiteral("row %1 holds more than %2 characters")
                    .arg(r + 1)
                    .arg(MaxCellText);
    return {};
}

} // namespace workbook_detail

qsizetype workbookRowCount(const QList<QStringList> &columns) {
    if (columns.isEmpty())
        return 0;
    const qsizetype rows = columns.first().size();
    qsizetype last = -1;
    for (const QStringList &column : columns)
        for (qsizetype r = std::min(rows, column.size()) - 1; r > last; --r)
            if (!column[r].isEmpty()) {
                last = r;
                break;
            }
    return last + 1;
}

std::optional<WorkbookFormat> workbookFormatOfName(const QString &path) {
    if (path.endsWith(QLatin1String(".xls"), Qt::CaseInsensitive))
        return WorkbookFormat::Xls;
    if (path.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive))
        return WorkbookFormat::Xlsx;
    return std::nullopt;
}

QString numberCellText(double value) {
    return plainForm(value);
}

SheetColumns readWorkbookBytes(const QByteArray &bytes, int columnCount) {
    static const QByteArray ole("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    static const QByteArray zip("PK\x03\x04", 4);
    if (bytes.startsWith(ole))
        return workbook_detail::readXls(bytes, columnCount);
    if (bytes.startsWith(zip))
        return workbook_detail::readXlsx(bytes, columnCount);
    SheetColumns failed;
    failed.error = QStringLiteral("not a workbook");
    return failed;
}

SheetColumns readWorkbook(const QString &path, int columnCount) {
    SheetColumns failed;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        failed.error = file.errorString();
        return failed;
    }
    if (file.size() > MaxFileBytes) {
        failed.error = QStringLiteral("file too large");
        return failed;
    }
    QByteArray bytes = file.read(MaxFileBytes + 1);
    if (file.error() != QFileDevice::NoError || bytes.size() > MaxFileBytes) {
        failed.error = file.errorString();
        return failed;
    }
    file.close();
    // Handed over, so that the reader can free the file's bytes as soon as it is done with them.
    if (bytes.startsWith(QByteArrayView("PK\x03\x04", 4)))
        return workbook_detail::readXlsx(std::move(bytes), columnCount);
    return readWorkbookBytes(bytes, columnCount);
}

WorkbookProperties programProperties() {
    return {programName() + u' ' + programVersion(), QDateTime::currentDateTime(), {}, {}};
}

std::optional<QByteArray> workbookBytes(const QList<QStringList> &columns, WorkbookFormat format,
                                        QString *error, const WorkbookProperties &properties) {
    return format == WorkbookFormat::Xls ? workbook_detail::xlsBytes(columns, error, properties)
                                         : workbook_detail::xlsxBytes(columns, error, properties);
}

QString writeWorkbook(const QString &path, const QList<QStringList> &columns, WorkbookFormat format,
                      const WorkbookProperties &properties) {
    QString error;
    const std::optional<QByteArray> bytes = workbookBytes(columns, format, &error, properties);
    if (!bytes)
        return error;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    if (file.write(*bytes) != bytes->size()) {
        file.cancelWriting();
        return file.errorString();
    }
    if (!file.commit())
        return file.errorString();
    return {};
}

} // namespace quarbel
