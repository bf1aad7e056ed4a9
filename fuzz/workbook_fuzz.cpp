// Arbitrary bytes as a workbook file: the readers must refuse or read, never crash, hang or
// read past a record, and what they read must have the promised shape. The same bytes, taken
// as tab-separated lines, must survive a write and a read in both formats.
#include "core/exchange/workbook.h"
#include "fuzz_support.h"

using namespace quarbel;

namespace {

void checkRead(const QByteArray &bytes) {
    for (int columns : {2, 3}) {
        const SheetColumns sheet = readWorkbookBytes(bytes, columns);
        if (!sheet.error.isEmpty()) {
            FUZZ_CHECK(sheet.columns.isEmpty());
            continue;
        }
        FUZZ_CHECK(sheet.columns.size() == columns);
        FUZZ_CHECK(sheet.usedRows >= 1 && sheet.usedRows <= XlsxMaxRows);
        for (const QStringList &column : sheet.columns)
            FUZZ_CHECK(column.size() == sheet.usedRows);
    }
}

void checkRoundTrip(const std::uint8_t *data, std::size_t size) {
    QList<QStringList> columns(3);
    for (const QString &line : fuzz::linesOf(data, size)) {
        const QStringList cells = line.split(u'\t');
        for (int c = 0; c < 3; ++c)
            columns[c].append(cells.value(c));
    }
    QList<QStringList> expected = columns;
    const qsizetype rows = std::max<qsizetype>(workbookRowCount(columns), 1);
    for (QStringList &column : expected)
        column.resize(rows);
    for (WorkbookFormat format : {WorkbookFormat::Xls, WorkbookFormat::Xlsx}) {
        const std::optional<QByteArray> bytes = workbookBytes(columns, format, nullptr);
        FUZZ_CHECK(bytes.has_value());
        const SheetColumns back = readWorkbookBytes(*bytes, 3);
        FUZZ_CHECK(back.error.isEmpty());
        FUZZ_CHECK(back.columns == expected);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    checkRead(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    checkRoundTrip(data, size);
    return 0;
}
