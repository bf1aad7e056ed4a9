#include "core/exchange/workbook.h"

#include "core/exchange/gsf_support.h"

#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-memory.h>
#include <gtest/gtest.h>
#include <quazip/quazip.h>
#include <quazip/quazipfile.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <array>
#include <cstring>
#include <functional>

using namespace quarbel;

namespace {

QByteArray fileBytes(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString dataPath(const char *name) {
    return QStringLiteral(QUARBEL_TEST_DATA "/") + QLatin1String(name);
}

// What a reader must give back: the columns cut at the last row holding a value.
QList<QStringList> expectedRead(QList<QStringList> columns) {
    qsizetype used = 1;
    const qsizetype rows = columns.isEmpty() ? 0 : columns.first().size();
    for (const QStringList &c : columns)
        for (qsizetype r = 0; r < std::min(rows, c.size()); ++r)
            if (!c[r].isEmpty())
                used = std::max(used, r + 1);
    for (QStringList &c : columns)
        c.resize(used);
    return columns;
}

void expectColumns(const SheetColumns &read, const QList<QStringList> &expected) {
    ASSERT_TRUE(read.error.isEmpty()) << read.error.toStdString();
    ASSERT_EQ(read.columns.size(), expected.size());
    for (qsizetype c = 0; c < expected.size(); ++c) {
        ASSERT_EQ(read.columns[c].size(), expected[c].size()) << "column " << c;
        EXPECT_EQ(read.usedRows, expected[c].size());
        for (qsizetype r = 0; r < expected[c].size(); ++r)
            ASSERT_EQ(read.columns[c][r].toStdString(), expected[c][r].toStdString())
                << "column " << c << " row " << r;
    }
}

// ---- fixtures written by independent programs ----

struct FixtureCase {
    const char *name;
    const char *file;
    const char *expected;
};
void PrintTo(const FixtureCase &c, std::ostream *os) {
    *os << c.name;
}

class Fixture : public testing::TestWithParam<FixtureCase> {};

TEST_P(Fixture, ReadsEveryCellAsTheIndependentWriterWroteIt) {
    QList<QStringList> expected(3);
    const QStringList lines = QString::fromUtf8(fileBytes(dataPath(GetParam().expected)))
                                  .split(u'\n', Qt::SkipEmptyParts);
    ASSERT_FALSE(lines.isEmpty());
    for (const QString &line : lines) {
        const QStringList cells = line.split(u'\t');
        for (int c = 0; c < 3; ++c)
            expected[c].append(cells.value(c));
    }
    expectColumns(readWorkbook(dataPath(GetParam().file), 3), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Files, Fixture,
    testing::Values(FixtureCase{"FormulaResults", "formulas.xls", "formulas.tsv"},
                    FixtureCase{"SharedStringsAcrossContinue", "continue_sst.xls",
                                "continue_sst.tsv"},
                    FixtureCase{"RkAndBooleans", "rk_boolerr.xls", "rk_boolerr.tsv"},
                    FixtureCase{"Biff5", "biff5.xls", "biff5.tsv"},
                    FixtureCase{"XlsxSharedStrings", "shared_strings.xlsx", "shared_strings.tsv"},
                    FixtureCase{"XlsxInlineStrings", "inline_strings.xlsx", "inline_strings.tsv"},
                    FixtureCase{"XlsxRelationshipsAndSparseRows", "handmade.xlsx", "handmade.tsv"}),
    [](const auto &row) { return std::string(row.param.name); });

TEST(Fixture, FewerColumnsThanTheSheetHasStillCountEveryRow) {
    const SheetColumns read = readWorkbook(dataPath("formulas.xls"), 2);
    ASSERT_TRUE(read.error.isEmpty());
    ASSERT_EQ(read.columns.size(), 2);
    EXPECT_EQ(read.usedRows, 6); // row 6 holds a value only in column C
    EXPECT_EQ(read.columns[0].size(), 6);
}

// ---- round trips ----

QString randomCell(QRandomGenerator &rng) {
    static const QStringList words{QStringLiteral("中文"), QStringLiteral("组"),
                                   QStringLiteral("😀x"),   QStringLiteral(" a b "),
                                   QStringLiteral("-"),    QStringLiteral("1e5")};
    switch (rng.bounded(6)) {
    case 0:
    case 1:
        return {}; // gaps
    case 2:
        return QString::number(rng.bounded(-100000, 100000) / 100.0);
    case 3:
        return QString::number(rng.bounded(1000));
    case 4:
        return words[rng.bounded(words.size())] + QString::number(rng.bounded(50));
    default:
        return QString::number(rng.generateDouble(), 'g', 17);
    }
}

QList<QStringList> randomColumns(int columns, qsizetype rows, quint32 seed) {
    QRandomGenerator rng(seed);
    QList<QStringList> data(columns);
    for (QStringList &column : data)
        for (qsizetype r = 0; r < rows; ++r)
            column.append(randomCell(rng));
    return data;
}

struct RoundTripCase {
    const char *name;
    WorkbookFormat format;
    int columns;
    qsizetype rows;
    quint32 seed;
};
void PrintTo(const RoundTripCase &c, std::ostream *os) {
    *os << c.name;
}

class RoundTrip : public testing::TestWithParam<RoundTripCase> {};

TEST_P(RoundTrip, ReadsBackWhatWasWritten) {
    const RoundTripCase &p = GetParam();
    QList<QStringList> data = randomColumns(p.columns, p.rows, p.seed);
    // The last row always holds a value so the sheet keeps every row.
    data.first().last() = QStringLiteral("末");
    QString error;
    const auto bytes = workbookBytes(data, p.format, &error);
    ASSERT_TRUE(bytes) << error.toStdString();
    expectColumns(readWorkbookBytes(*bytes, p.columns), expectedRead(data));
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, RoundTrip,
    testing::Values(RoundTripCase{"XlsOneRow", WorkbookFormat::Xls, 2, 1, 1},
                    RoundTripCase{"XlsThreeColumns", WorkbookFormat::Xls, 3, 777, 2},
                    RoundTripCase{"XlsFullSheet", WorkbookFormat::Xls, 2, XlsMaxRows, 3},
                    RoundTripCase{"XlsxOneRow", WorkbookFormat::Xlsx, 2, 1, 4},
                    RoundTripCase{"XlsxThreeColumns", WorkbookFormat::Xlsx, 3, 777, 5},
                    RoundTripCase{"XlsxLarge", WorkbookFormat::Xlsx, 2, 200000, 6}),
    [](const auto &row) { return std::string(row.param.name); });

// Strings longer than one record, wide and narrow, with surrogate pairs at every offset.
QList<QStringList> longStrings() {
    QList<QStringList> data(2);
    for (int i = 0; i < 40; ++i) {
        data[0].append(QString(3000 + 37 * i, QChar(u'长')) + QString::number(i));
        data[1].append(QString(i, u'a') + QStringLiteral("😀").repeated(2100 + i));
        data[0].append(QString(5000 + i, u'z'));
        data[1].append(QString());
    }
    return data;
}

TEST(RoundTrip, LongStringsCrossRecordsIntact) {
    const QList<QStringList> data = longStrings();
    for (WorkbookFormat format : {WorkbookFormat::Xls, WorkbookFormat::Xlsx}) {
        QString error;
        const auto bytes = workbookBytes(data, format, &error);
        ASSERT_TRUE(bytes) << error.toStdString();
        expectColumns(readWorkbookBytes(*bytes, 2), expectedRead(data));
    }
}

TEST(RoundTrip, CharactersMarkupCannotCarryComeBackUnchanged) {
    const QList<QStringList> data{{QStringLiteral("a\rb"), QStringLiteral("_x0041_"),
                                   QString(QChar(1)) + u'z', QStringLiteral("<&>\"'"),
                                   QString(QChar(0xFFFE)), QStringLiteral(" lead\ttab\n")}};
    for (WorkbookFormat format : {WorkbookFormat::Xls, WorkbookFormat::Xlsx}) {
        const auto bytes = workbookBytes(data, format, nullptr);
        ASSERT_TRUE(bytes);
        expectColumns(readWorkbookBytes(*bytes, 1), data);
    }
}

TEST(RoundTrip, AnEmptyGridGivesOneEmptyRow) {
    const QList<QStringList> data{QStringList(15), QStringList(15)};
    for (WorkbookFormat format : {WorkbookFormat::Xls, WorkbookFormat::Xlsx}) {
        const auto bytes = workbookBytes(data, format, nullptr);
        ASSERT_TRUE(bytes);
        const SheetColumns read = readWorkbookBytes(*bytes, 2);
        EXPECT_TRUE(read.error.isEmpty());
        EXPECT_EQ(read.usedRows, 1);
        EXPECT_EQ(read.columns, (QList<QStringList>{QStringList(1), QStringList(1)}));
    }
}

// ---- limits and atomic writing ----

TEST(Limits, XlsRefusesMoreRowsThanASheetHoldsButNotTrailingBlanks) {
    QList<QStringList> data(2);
    data[0].fill(QStringLiteral("1"), XlsMaxRows);
    data[0].append(QStringList(14)); // the grid's trailing blank entries
    data[1].resize(data[0].size());
    EXPECT_TRUE(workbookBytes(data, WorkbookFormat::Xls, nullptr));
    data[1][XlsMaxRows] = QStringLiteral("2");
    QString error;
    EXPECT_FALSE(workbookBytes(data, WorkbookFormat::Xls, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(workbookBytes(data, WorkbookFormat::Xlsx, nullptr));
}

TEST(Limits, ACellLongerThanTheFormatsLimitIsRefused) {
    const QList<QStringList> data{{QString(MaxCellText + 1, u'x')}};
    EXPECT_FALSE(workbookBytes(data, WorkbookFormat::Xls, nullptr));
    EXPECT_FALSE(workbookBytes(data, WorkbookFormat::Xlsx, nullptr));
    EXPECT_TRUE(workbookBytes({{QString(MaxCellText, u'x')}}, WorkbookFormat::Xls, nullptr));
}

TEST(Limits, ARefusedOrFailedWriteLeavesTheOldFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("data.xls"));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("old");
    }
    QList<QStringList> tooMany{QStringList(XlsMaxRows + 1, QStringLiteral("1"))};
    EXPECT_FALSE(writeWorkbook(path, tooMany, WorkbookFormat::Xls).isEmpty());
    EXPECT_EQ(fileBytes(path), "old");
    EXPECT_FALSE(writeWorkbook(dir.filePath(QStringLiteral("missing/data.xls")), {{"1"}},
                               WorkbookFormat::Xls)
                     .isEmpty());
    EXPECT_TRUE(writeWorkbook(path, {{"1"}}, WorkbookFormat::Xls).isEmpty());
    EXPECT_EQ(readWorkbook(path, 1).columns, QList<QStringList>{{"1"}});
}

struct NameCase {
    const char *name;
    const char *path;
    std::optional<WorkbookFormat> format;
};
void PrintTo(const NameCase &c, std::ostream *os) {
    *os << c.name;
}

class NameRule : public testing::TestWithParam<NameCase> {};

TEST_P(NameRule, AcceptsOnlyWorkbookExtensionsInAnyCase) {
    EXPECT_EQ(workbookFormatOfName(QString::fromUtf8(GetParam().path)), GetParam().format);
}

INSTANTIATE_TEST_SUITE_P(Names, NameRule,
                         testing::Values(NameCase{"Xls", "/tmp/data.xls", WorkbookFormat::Xls},
                                         NameCase{"UpperXlsx", "数据.XLSX", WorkbookFormat::Xlsx},
                                         NameCase{"MixedXls", "a.XlS", WorkbookFormat::Xls},
                                         NameCase{"Csv", "data.csv", std::nullopt},
                                         NameCase{"XlsInTheMiddle", "data.xls.csv", std::nullopt},
                                         NameCase{"Xlsm", "data.xlsm", std::nullopt},
                                         NameCase{"NoName", "", std::nullopt}),
                         [](const auto &row) { return std::string(row.param.name); });

// ---- an independent reader ----

QString pythonWithXlrd() {
    for (const QString &candidate : {QStringLiteral("/usr/bin/python3"),
                                     QStandardPaths::findExecutable(QStringLiteral("python3"))}) {
        if (candidate.isEmpty() || !QFile::exists(candidate))
            continue;
        if (QProcess::execute(candidate, {QStringLiteral("-c"), QStringLiteral("import xlrd")}) ==
            0)
            return candidate;
    }
    return {};
}

TEST(IndependentReader, XlrdReadsTheWrittenWorkbooks) {
    const QString python = pythonWithXlrd();
    if (python.isEmpty())
        GTEST_SKIP() << "python3 with xlrd is not installed";
    QList<QStringList> data = randomColumns(3, 3000, 11);
    data[0][5] = QString(9000, u'长'); // crosses a record
    data[1][6] = QStringLiteral("😀").repeated(5000);
    data[0].last() = QStringLiteral("末");
    QTemporaryDir dir;
    for (WorkbookFormat format : {WorkbookFormat::Xls, WorkbookFormat::Xlsx}) {
        const QString path = dir.filePath(format == WorkbookFormat::Xls ? "a.xls" : "a.xlsx");
        ASSERT_TRUE(writeWorkbook(path, data, format).isEmpty());
        QProcess p;
        p.start(python, {QStringLiteral("-c"),
                         QStringLiteral("import sys, json, xlrd\n"
                                        "s = xlrd.open_workbook(sys.argv[1]).sheet_by_index(0)\n"
                                        "print(json.dumps([[s.cell_value(r, c) if c < s.ncols "
                                        "else '' for c in range(3)] for r in range(s.nrows)]))"),
                         path});
        ASSERT_TRUE(p.waitForFinished(60000));
        ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
        const QJsonArray rows = QJsonDocument::fromJson(p.readAllStandardOutput()).array();
        const QList<QStringList> expected = expectedRead(data);
        ASSERT_EQ(rows.size(), expected[0].size());
        for (qsizetype r = 0; r < rows.size(); ++r)
            for (int c = 0; c < 3; ++c)
                ASSERT_EQ(rows[r].toArray()[c].toString().toStdString(),
                          expected[c][r].toStdString())
                    << "row " << r << " column " << c;
    }
}

// ---- hand-built record streams: the reader never reads past a record ----

void put16(QByteArray &b, quint32 v) {
    b.append(char(v & 0xFF));
    b.append(char(v >> 8 & 0xFF));
}
void put32(QByteArray &b, quint32 v) {
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}
QByteArray rec(quint16 type, const QByteArray &body) {
    QByteArray b;
    put16(b, type);
    put16(b, quint32(body.size()));
    return b + body;
}
QByteArray cell(quint16 row, quint16 col, const QByteArray &rest) {
    QByteArray b;
    put16(b, row);
    put16(b, col);
    put16(b, 15);
    return b + rest;
}
QByteArray u32Bytes(quint32 v) {
    QByteArray b;
    put32(b, v);
    return b;
}
QByteArray doubleBytes(double v) {
    quint64 bits;
    std::memcpy(&bits, &v, 8);
    return u32Bytes(quint32(bits)) + u32Bytes(quint32(bits >> 32));
}
QByteArray bofBody(quint16 version, quint16 kind) {
    QByteArray b;
    put16(b, version);
    put16(b, kind);
    return b + QByteArray(12, '\0');
}
QByteArray wideString(const QString &s) {
    QByteArray b;
    put16(b, quint32(s.size()));
    b.append(char(1));
    for (QChar c : s)
        put16(b, c.unicode());
    return b;
}

// A workbook stream: globals (BOF, extra records, one BOUNDSHEET, EOF) then the sheet.
QByteArray stream(const QByteArray &globals, const QByteArray &sheet, quint16 version = 0x0600,
                  quint8 sheetType = 0, qint64 offsetShift = 0) {
    QByteArray head = rec(0x0809, bofBody(version, 0x0005)) + globals;
    QByteArray boundSheet = u32Bytes(0) + char(0) + char(sheetType) + char(1) + char(0) + 'S';
    const qint64 offset = head.size() + 4 + boundSheet.size() + 4 + offsetShift;
    boundSheet.replace(0, 4, u32Bytes(quint32(offset)));
    return head + rec(0x0085, boundSheet) + rec(0x000A, {}) + sheet;
}
QByteArray sheet(const QByteArray &records, bool eof = true) {
    return rec(0x0809, bofBody(0x0600, 0x0010)) + records + (eof ? rec(0x000A, {}) : QByteArray());
}

QByteArray compound(const QByteArray &stream, const char *name = "Workbook") {
    workbook_detail::ensureGsf();
    GsfOutput *memory = gsf_output_memory_new();
    GsfOutfile *ole = gsf_outfile_msole_new(memory);
    GsfOutput *child = gsf_outfile_new_child(ole, name, FALSE);
    QByteArray padded = stream;
    padded.append(QByteArray(std::max<qsizetype>(0, 4096 - padded.size()), '\0'));
    gsf_output_write(child, std::size_t(padded.size()),
                     reinterpret_cast<const guint8 *>(padded.constData()));
    gsf_output_close(child);
    g_object_unref(child);
    gsf_output_close(GSF_OUTPUT(ole));
    g_object_unref(ole);
    QByteArray bytes(
        reinterpret_cast<const char *>(gsf_output_memory_get_bytes(GSF_OUTPUT_MEMORY(memory))),
        qsizetype(gsf_output_size(memory)));
    g_object_unref(memory);
    return bytes;
}

struct RecordCase {
    const char *name;
    std::function<QByteArray()> file;
    // Column A as read; empty when the file must be refused.
    QStringList columnA;
};
void PrintTo(const RecordCase &c, std::ostream *os) {
    *os << c.name;
}

class Records : public testing::TestWithParam<RecordCase> {};

TEST_P(Records, ReadOrRefuse) {
    const SheetColumns read = readWorkbookBytes(GetParam().file(), 1);
    if (GetParam().columnA.isEmpty()) {
        EXPECT_FALSE(read.error.isEmpty());
        EXPECT_TRUE(read.columns.isEmpty());
    } else {
        ASSERT_TRUE(read.error.isEmpty()) << read.error.toStdString();
        EXPECT_EQ(read.columns.value(0), GetParam().columnA);
    }
}

QByteArray sstOf(const QList<QByteArray> &parts, quint32 count) {
    QByteArray out = rec(0x00FC, u32Bytes(count) + u32Bytes(count) + parts.first());
    for (qsizetype i = 1; i < parts.size(); ++i)
        out += rec(0x003C, parts[i]);
    return out;
}

INSTANTIATE_TEST_SUITE_P(
    Streams, Records,
    testing::Values(
        RecordCase{
            "MulRk",
            [] {
                // Integer, integer in hundredths, and the high half of a double.
                const std::array<quint32, 3> rks{(5u << 2) | 2u, (125u << 2) | 3u, 0x3FE00000u};
                QByteArray rows;
                for (quint16 r = 0; r < 3; ++r) {
                    QByteArray m;
                    put16(m, r);
                    put16(m, 0);
                    for (int i = 0; i < 3; ++i)
                        m += QByteArray("\x0F\x00", 2) + u32Bytes(rks[(r + i) % 3]);
                    put16(m, 2);
                    rows += rec(0x00BD, m);
                }
                return compound(stream({}, sheet(rows)));
            },
            {"5", "1.25", "0.5"}},
        RecordCase{"Biff5CodePage",
                   [] {
                       QByteArray label = cell(1, 0, QByteArray("\x04\x00\xD6\xD0\xCE\xC4", 6));
                       return compound(stream(rec(0x0042, QByteArray("\xA8\x03", 2)),
                                              sheet(rec(0x0204, label)), 0x0500),
                                       "Book");
                   },
                   {"", "中文"}},
        RecordCase{"FormulaStringContinued",
                   [] {
                       QByteArray result = QByteArray(8, '\0');
                       result[6] = char(0xFF);
                       result[7] = char(0xFF);
                       const QByteArray formula = cell(0, 0, result + QByteArray(8, '\0'));
                       QByteArray first;
                       put16(first, 6);
                       first += QByteArray("\x00"
                                           "abc",
                                           4);
                       const QByteArray second = QByteArray("\x01"
                                                            "d\0e\0f\0",
                                                            7);
                       return compound(stream({}, sheet(rec(0x0006, formula) + rec(0x0207, first) +
                                                        rec(0x003C, second))));
                   },
                   {"abcdef"}},
        RecordCase{"SstStringChangesWidthInContinue",
                   [] {
                       QByteArray first;
                       put16(first, 4);
                       first += QByteArray("\x00"
                                           "ab",
                                           3);
                       QByteArray second("\x01", 1);
                       put16(second, 0x4E2D);
                       put16(second, 0x6587);
                       return compound(stream(sstOf({first, second}, 1),
                                              sheet(rec(0x00FD, cell(0, 0, u32Bytes(0))))));
                   },
                   {"ab中文"}},
        RecordCase{"LabelSstPastTheTableIsEmpty",
                   [] {
                       return compound(stream(sstOf({wideString("x")}, 1),
                                              sheet(rec(0x00FD, cell(0, 0, u32Bytes(7))) +
                                                    rec(0x00FD, cell(1, 0, u32Bytes(0))))));
                   },
                   {"", "x"}},
        RecordCase{"EmbeddedChartIsSkipped",
                   [] {
                       const QByteArray chart = rec(0x0809, bofBody(0x0600, 0x0020)) +
                                                rec(0x0203, cell(5, 0, doubleBytes(9))) +
                                                rec(0x000A, {});
                       return compound(
                           stream({}, sheet(chart + rec(0x0203, cell(0, 0, doubleBytes(-2.5))))));
                   },
                   {"-2.5"}},
        RecordCase{"BlanksAreNotValues",
                   [] {
                       return compound(stream({}, sheet(rec(0x0203, cell(0, 0, doubleBytes(1))) +
                                                        rec(0x0201, cell(40, 0, {})))));
                   },
                   {"1"}},
        RecordCase{"ErrorValueIsEmpty",
                   [] {
                       return compound(
                           stream({}, sheet(rec(0x0205, cell(1, 0, "\x07\x01")) +
                                            rec(0x0205, cell(0, 0, QByteArray("\x01\x00", 2))))));
                   },
                   {"TRUE"}}, // the error below is no value, so it adds no row
        RecordCase{"RecordRunsPastTheStream",
                   [] {
                       QByteArray lying;
                       put16(lying, 0x0203);
                       put16(lying, 0x2000); // claims 8 KB, the stream ends before
                       return compound(
                           stream({}, sheet(lying + cell(0, 0, doubleBytes(1)), false)));
                   },
                   {}},
        RecordCase{"NumberTooShort",
                   [] { return compound(stream({}, sheet(rec(0x0203, cell(0, 0, "\0\0"))))); },
                   {}},
        RecordCase{"SheetOffsetOutsideTheStream",
                   [] { return compound(stream({}, sheet({}), 0x0600, 0, 1 << 20)); },
                   {}},
        RecordCase{"Encrypted",
                   [] { return compound(stream(rec(0x002F, QByteArray(6, '\0')), sheet({}))); },
                   {}},
        RecordCase{
            "OnlyAChartSheet", [] { return compound(stream({}, sheet({}), 0x0600, 2)); }, {}},
        RecordCase{"SheetWithoutEof",
                   [] {
                       return compound(
                           stream({}, sheet(rec(0x0203, cell(0, 0, doubleBytes(1))), false)));
                   },
                   {}},
        RecordCase{"StringLongerThanItsRecords",
                   [] {
                       QByteArray s;
                       put16(s, 100);
                       s += QByteArray("\x00"
                                       "abc",
                                       4);
                       return compound(stream(sstOf({s}, 1), sheet({})));
                   },
                   {}},
        RecordCase{"StreamWithoutBof",
                   [] { return compound(rec(0x0203, cell(0, 0, doubleBytes(1)))); },
                   {}},
        RecordCase{"NoWorkbookStream", [] { return compound(sheet({}), "Other"); }, {}},
        RecordCase{"PlainText", [] { return QByteArray("1,2,3\n4,5,6\n"); }, {}}),
    [](const auto &row) { return std::string(row.param.name); });

// ---- damaged and hostile files ----

QByteArray zipOf(const QList<std::pair<QString, QByteArray>> &members) {
    QBuffer buffer;
    QuaZip zip(&buffer);
    zip.open(QuaZip::mdCreate);
    for (const auto &[name, content] : members) {
        QuaZipFile f(&zip);
        f.open(QIODevice::WriteOnly, QuaZipNewInfo(name), nullptr, 0, Z_DEFLATED, 1);
        f.write(content);
        f.close();
    }
    zip.close();
    return buffer.data();
}

QByteArray minimalXlsx(const QByteArray &sheetXml) {
    return zipOf({{"xl/worksheets/sheet1.xml", sheetXml}});
}

TEST(Hostile, TruncatedFilesAreRefused) {
    const QList<QStringList> data = randomColumns(2, 5000, 21);
    for (WorkbookFormat format : {WorkbookFormat::Xls, WorkbookFormat::Xlsx}) {
        const QByteArray whole = *workbookBytes(data, format, nullptr);
        for (double part : {0.1, 0.5, 0.9, 0.99}) {
            const SheetColumns read =
                readWorkbookBytes(whole.left(qsizetype(whole.size() * part)), 2);
            EXPECT_FALSE(read.error.isEmpty()) << part;
        }
    }
}

TEST(Hostile, CorruptedCompressedDataFailsItsChecksum) {
    QList<QStringList> data = randomColumns(2, 5000, 22);
    QByteArray bytes = *workbookBytes(data, WorkbookFormat::Xlsx, nullptr);
    // Flip bytes in the middle of the archive, inside the sheet's compressed data.
    for (qsizetype i = bytes.size() / 3; i < bytes.size() / 3 + 16; ++i)
        bytes[i] = char(bytes[i] ^ 0x5A);
    EXPECT_FALSE(readWorkbookBytes(bytes, 2).error.isEmpty());
}

TEST(Hostile, ZipBombIsStoppedByTheBytesActuallyInflated) {
    // 264 MB of markup, a little beyond the limit, that the reader would otherwise parse.
    QBuffer buffer;
    QuaZip zip(&buffer);
    ASSERT_TRUE(zip.open(QuaZip::mdCreate));
    QuaZipFile f(&zip);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly, QuaZipNewInfo("xl/worksheets/sheet1.xml"), nullptr, 0,
                       Z_DEFLATED, 1));
    f.write("<worksheet><sheetData>");
    const QByteArray filler = ("<x>" + QByteArray(4089, ' ') + "</x>").repeated(256);
    for (int i = 0; i < 264; ++i)
        f.write(filler);
    f.write("</sheetData></worksheet>");
    f.close();
    zip.close();
    EXPECT_LT(buffer.data().size(), 2 << 20);
    const SheetColumns read = readWorkbookBytes(buffer.data(), 2);
    EXPECT_TRUE(read.error.contains(QLatin1String("limit"))) << read.error.toStdString();
}

TEST(Hostile, DocumentTypeDeclarationsAreRefused) {
    const QByteArray laughs =
        "<?xml version=\"1.0\"?><!DOCTYPE w [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b "
        "\"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">]><worksheet><sheetData><row><c t=\"inlineStr\">"
        "<is><t>&b;</t></is></c></row></sheetData></worksheet>";
    EXPECT_FALSE(readWorkbookBytes(minimalXlsx(laughs), 1).error.isEmpty());
}

TEST(Hostile, RowsBeyondTheLastSheetRowAreRefused) {
    EXPECT_FALSE(readWorkbookBytes(minimalXlsx("<worksheet><sheetData><row r=\"1048577\"><c>"
                                               "<v>1</v></c></row></sheetData></worksheet>"),
                                   1)
                     .error.isEmpty());
    const SheetColumns last = readWorkbookBytes(
        minimalXlsx("<worksheet><sheetData><row r=\"1048576\"><c><v>1</v></c></row>"
                    "</sheetData></worksheet>"),
        1);
    ASSERT_TRUE(last.error.isEmpty());
    EXPECT_EQ(last.usedRows, XlsxMaxRows);
    EXPECT_EQ(last.columns[0].last(), "1");
}

TEST(Hostile, MalformedSheetsAreRefused) {
    for (const char *xml : {"<worksheet><sheetData><row><c r=\"1A\"><v>1</v></c>",
                            "<worksheet><sheetData><row r=\"x\"/></sheetData></worksheet>",
                            "<worksheet><sheetData><row><c r=\"ABCD1\"/></row></sheetData>"
                            "</worksheet>",
                            "not xml at all"})
        EXPECT_FALSE(readWorkbookBytes(minimalXlsx(xml), 1).error.isEmpty()) << xml;
}

TEST(Hostile, MissingFileIsRefused) {
    EXPECT_FALSE(readWorkbook(QStringLiteral("/nonexistent/数据.xls"), 2).error.isEmpty());
}

} // namespace
