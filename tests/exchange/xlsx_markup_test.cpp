// The worksheet's markup as the .xlsx reader reads it from its bytes, and the archive checks
// around the worksheet's inflation.
#include "core/entry/column_list.h"
#include "core/exchange/workbook.h"
#include "core/exchange/workbook_internal.h"

#include <gtest/gtest.h>
#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipnewinfo.h>

#include <QBuffer>
#include <QRandomGenerator>
#include <QStringEncoder>

using namespace quarbel;

namespace {

// An archive holding only the first sheet at its usual place; `method` 0 stores it.
QByteArray sheetArchive(const QByteArray &xml, int method = Z_DEFLATED) {
    QBuffer buffer;
    QuaZip zip(&buffer);
    zip.open(QuaZip::mdCreate);
    QuaZipFile f(&zip);
    f.open(QIODevice::WriteOnly, QuaZipNewInfo(QStringLiteral("xl/worksheets/sheet1.xml")), nullptr,
           0, method, method ? 6 : 0);
    f.write(xml);
    f.close();
    zip.close();
    return buffer.data();
}

QByteArray sheet(const QByteArray &rows) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<worksheet xmlns=\"http://"
           "schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>" +
           rows + "</sheetData></worksheet>";
}

// Every entry's ticks must be what the lists parse from its text.
void expectTicksOfTexts(const SheetColumns &read) {
    ASSERT_EQ(read.ticks.size(), read.columns.size());
    for (qsizetype c = 0; c < read.columns.size(); ++c) {
        ASSERT_EQ(qsizetype(read.ticks[c].size()), read.columns[c].size());
        for (qsizetype r = 0; r < read.columns[c].size(); ++r)
            EXPECT_EQ(read.ticks[c][std::size_t(r)], ColumnList::ticksOf(read.columns[c][r]))
                << "column " << c << " row " << r;
    }
}

// The sheet is inflated on a second thread while it is read. Handed over whole, a byte at a time
// with nothing inflated ahead, and seven bytes at a time three ahead, every read of the scanner
// meets the end of a piece somewhere, and the result must not depend on where.
SheetColumns readInPieces(const QByteArray &archive, qsizetype piece, qsizetype lead) {
    return workbook_detail::readXlsx(archive, 2, {piece, lead});
}
const std::array<std::pair<qsizetype, qsizetype>, 3> Handovers{
    {{1 << 20, 1 << 20}, {1, 0}, {7, 3}}};

struct MarkupCase {
    const char *name;
    QByteArray rows;
    QList<QStringList> expected;
};
void PrintTo(const MarkupCase &c, std::ostream *os) {
    *os << c.name;
}

class Markup : public testing::TestWithParam<MarkupCase> {};

TEST_P(Markup, ReadsEveryCell) {
    const MarkupCase &c = GetParam();
    const SheetColumns read = readWorkbookBytes(sheetArchive(sheet(c.rows)), 2);
    ASSERT_TRUE(read.error.isEmpty()) << read.error.toStdString();
    EXPECT_EQ(read.columns, c.expected);
    expectTicksOfTexts(read);
    for (const auto &[piece, lead] : Handovers) {
        const SheetColumns pieces = readInPieces(sheetArchive(sheet(c.rows)), piece, lead);
        EXPECT_EQ(pieces.columns, c.expected) << "pieces of " << piece;
        EXPECT_EQ(pieces.ticks, read.ticks) << "pieces of " << piece;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sheets, Markup,
    testing::Values(
        MarkupCase{"PlainNumbersKeepTheirText",
                   "<row r=\"1\"><c r=\"A1\"><v>12.5</v></c><c r=\"B1\"><v>-0.25</v></c></row>"
                   "<row r=\"2\"><c r=\"A2\"><v>0</v></c><c r=\"B2\"><v>123456789012345</v></c>"
                   "</row>",
                   {{"12.5", "0"}, {"-0.25", "123456789012345"}}},
        MarkupCase{"OtherNumberFormsGetThePlainForm",
                   "<row><c><v>1.50</v></c><c><v>1E3</v></c></row>"
                   "<row><c><v>-0</v></c><c><v>0.30000000000000004</v></c></row>"
                   "<row><c><v> 7 </v></c><c><v>007</v></c></row>"
                   "<row><c><v>12a</v></c><c><v>1234567890123456789</v></c></row>",
                   {{"1.5", "0", "7", "12a"}, {"1000", "0.3", "7", "1234567890123460000"}}},
        MarkupCase{"ReferencesAndLineEnds",
                   "<row><c t=\"inlineStr\"><is><t>a&amp;b&#x4E2D;&#13;c&lt;</t></is></c>"
                   "<c t=\"str\"><v>x\r\ny\rz</v></c></row>",
                   {{"a&b中\rc<"}, {"x\ny\nz"}}},
        MarkupCase{"CdataCommentsInstructionsAndPrefixes",
                   "<x:row><!-- a note --><x:c r=\"B1\" t=\"str\"><x:v><![CDATA[5<6]]></x:v>"
                   "</x:c><?app hint?><x:c r=\"A1\"><x:v>4</x:v></x:c></x:row>",
                   {{"4"}, {"5<6"}}},
        MarkupCase{"RichTextWithoutItsReading",
                   "<row><c t=\"inlineStr\"><is><r><t>高</t></r><r><rPr/><t xml:space="
                   "\"preserve\">血压 </t></r><rPh sb=\"0\"><t>こう</t></rPh></is></c></row>",
                   {{"高血压 "}, {""}}},
        MarkupCase{"FormulasKeepTheirCachedResults",
                   "<row><c><f>SUM(1,2)</f><v>3</v></c><c t=\"str\"><f>A1&amp;\"x\"</f>"
                   "<v>3x</v></c></row>",
                   {{"3"}, {"3x"}}},
        MarkupCase{"CellsAndRowsWithoutNumbersFollowTheLast",
                   "<row><c><v>1</v></c><c><v>2</v></c></row><row r=\"4\"><c r=\"B4\"><v>3</v>"
                   "</c></row><row><c><v>4</v></c></row>",
                   {{"1", "", "", "", "4"}, {"2", "", "", "3", ""}}},
        MarkupCase{"BooleansErrorsAndDates",
                   "<row><c t=\"b\"><v>0</v></c><c t=\"b\"><v>1</v></c></row>"
                   "<row><c t=\"e\"><v>#DIV/0!</v></c><c t=\"d\"><v>2023-01-01T06:00:00</v></c>"
                   "</row>",
                   {{"FALSE", ""}, {"TRUE", "44927.25"}}},
        MarkupCase{"SelfClosingCellsAreEmpty",
                   "<row><c r=\"A1\"/><c r=\"B1\" t=\"s\"/></row><row/><row><c r=\"A3\">"
                   "<v>2</v></c><c r=\"B3\"><v></v></c></row>",
                   {{"", "", "2"}, {"", "", ""}}},
        MarkupCase{"EscapedControlCharacters",
                   "<row><c t=\"inlineStr\"><is><t>a_x000D_b</t></is></c></row>",
                   {{"a\rb"}, {""}}},
        MarkupCase{"TextsStartingWithAByteOrderMark",
                   "<row><c t=\"inlineStr\"><is><t>\xEF\xBB\xBF</t></is></c><c t=\"str\">"
                   "<v>\xEF\xBB\xBF"
                   "1</v></c></row>",
                   {{QString(QChar(0xFEFF))}, {QChar(0xFEFF) + QStringLiteral("1")}}}),
    [](const auto &row) { return std::string(row.param.name); });

struct RefusedCase {
    const char *name;
    QByteArray xml;
};
void PrintTo(const RefusedCase &c, std::ostream *os) {
    *os << c.name;
}

class Refused : public testing::TestWithParam<RefusedCase> {};

TEST_P(Refused, IsNotRead) {
    const SheetColumns read = readWorkbookBytes(sheetArchive(GetParam().xml), 2);
    EXPECT_FALSE(read.error.isEmpty());
    EXPECT_TRUE(read.columns.isEmpty());
    for (const auto &[piece, lead] : Handovers)
        EXPECT_EQ(readInPieces(sheetArchive(GetParam().xml), piece, lead).error, read.error)
            << "pieces of " << piece;
}

INSTANTIATE_TEST_SUITE_P(
    Sheets, Refused,
    testing::Values(
        RefusedCase{"TagsThatDoNotMatch", "<worksheet><sheetData><row></sheetData></worksheet>"},
        RefusedCase{"SecondRoot", "<worksheet/><worksheet/>"},
        RefusedCase{"TextAfterTheRoot", "<worksheet/>x"},
        RefusedCase{"EntityNobodyDeclared", sheet("<row><c t=\"str\"><v>&nbsp;</v></c></row>")},
        RefusedCase{"CharacterXmlForbids", sheet("<row><c t=\"str\"><v>&#0;</v></c></row>")},
        RefusedCase{"EndsInsideATag", "<worksheet><sheetData><row r=\"1\""},
        RefusedCase{"EndsInsideAValue", "<worksheet><sheetData><row><c><v>12"},
        RefusedCase{"UnquotedAttribute", sheet("<row r=1><c><v>1</v></c></row>")},
        RefusedCase{"ExternalEntityDeclaration",
                    "<!DOCTYPE w SYSTEM \"file:///etc/passwd\"><worksheet/>"}),
    [](const auto &row) { return std::string(row.param.name); });

QByteArray packageWith(const QByteArray &sheetXml, const QByteArray &sharedXml) {
    const QByteArray rels = "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/"
                            "2006/relationships\">";
    const QByteArray type = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
    const QList<std::pair<QString, QByteArray>> parts{
        {"_rels/.rels", rels + "<Relationship Id=\"rId1\" Type=\"" + type +
                            "officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>"},
        {"xl/workbook.xml",
         "<workbook xmlns:r=\"" + type.chopped(1) +
             "\"><sheets><sheet name=\"S\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>"},
        {"xl/_rels/workbook.xml.rels",
         rels + "<Relationship Id=\"rId1\" Type=\"" + type +
             "worksheet\" Target=\"worksheets/sheet1.xml\"/><Relationship Id=\"rId2\" Type=\"" +
             type + "sharedStrings\" Target=\"sharedStrings.xml\"/></Relationships>"},
        {"xl/worksheets/sheet1.xml", sheetXml},
        {"xl/sharedStrings.xml", sharedXml}};
    QBuffer buffer;
    QuaZip zip(&buffer);
    zip.open(QuaZip::mdCreate);
    for (const auto &[name, bytes] : parts) {
        QuaZipFile f(&zip);
        f.open(QIODevice::WriteOnly, QuaZipNewInfo(name), nullptr, 0, Z_DEFLATED, 6);
        f.write(bytes);
        f.close();
    }
    zip.close();
    return buffer.data();
}

TEST(Archive, SharedStringsKeepRunsAndDropReadings) {
    const QByteArray shared =
        "<sst><si><t>12.50</t></si><si><r><t>高</t></r><r><t xml:space=\"preserve\"> 压&amp;"
        "</t></r><rPh><t>こう</t></rPh></si><si/><si><t>a_x000A_b</t></si></sst>";
    const SheetColumns read = readWorkbookBytes(
        packageWith(sheet("<row><c t=\"s\"><v>0</v></c><c t=\"s\"><v>1</v></c></row><row><c "
                          "t=\"s\"><v>2</v></c><c t=\"s\"><v> 3 </v></c></row><row><c t=\"s\">"
                          "<v>4</v></c></row>"),
                    shared),
        2);
    ASSERT_TRUE(read.error.isEmpty()) << read.error.toStdString();
    // Index 4 lies past the table: an empty cell, so the last row holds nothing.
    EXPECT_EQ(read.columns, (QList<QStringList>{{"12.50", ""}, {"高 压&", "a\nb"}}));
    expectTicksOfTexts(read);
}

// Offsets of the stated sizes in the member's local header and in its central directory entry.
void stateSize(QByteArray &archive, quint32 size) {
    const qsizetype local = archive.indexOf("PK\x03\x04");
    const qsizetype central = archive.indexOf("PK\x01\x02");
    for (qsizetype at : {local + 22, central + 24})
        for (int i = 0; i < 4; ++i)
            archive[at + i] = char((size >> (8 * i)) & 0xFF);
}

TEST(Archive, StoredSheetsAndOtherEncodingsAreRead) {
    const QByteArray xml = sheet("<row><c><v>5</v></c><c t=\"str\"><v>é</v></c></row>");
    EXPECT_EQ(readWorkbookBytes(sheetArchive(xml, 0), 2).columns,
              (QList<QStringList>{{"5"}, {"é"}}));
    QStringEncoder utf16(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom);
    const QByteArray wide = utf16(QString::fromUtf8(xml).replace("UTF-8", "UTF-16"));
    EXPECT_EQ(readWorkbookBytes(sheetArchive(wide), 2).columns, (QList<QStringList>{{"5"}, {"é"}}));
}

TEST(Archive, StatedSizesThatLieAreRefused) {
    const QByteArray xml = sheet(QByteArray("<row><c><v>1</v></c></row>").repeated(1000));
    QByteArray smaller = sheetArchive(xml);
    stateSize(smaller, quint32(xml.size() / 2));
    EXPECT_FALSE(readWorkbookBytes(smaller, 1).error.isEmpty());
    // A size just under the limit that the data does not fill is refused, not trusted.
    QByteArray larger = sheetArchive(xml);
    stateSize(larger, 200u << 20);
    EXPECT_FALSE(readWorkbookBytes(larger, 1).error.isEmpty());
    // One byte more or less than the data, read while it inflates: its end must be exact.
    for (const qsizetype by : {-1, 1}) {
        QByteArray off = sheetArchive(xml);
        stateSize(off, quint32(xml.size() + by));
        for (const auto &[piece, lead] : Handovers)
            EXPECT_FALSE(readInPieces(off, piece, lead).error.isEmpty()) << by << " " << piece;
    }
    // A stored sheet whose bytes changed fails its checksum.
    QByteArray stored = sheetArchive(xml, 0);
    stored[stored.indexOf("<v>1</v>") + 3] = '2';
    EXPECT_FALSE(readWorkbookBytes(stored, 1).error.isEmpty());
}

// Numbers in every form a writer may give: the text read is the plain form of the value Qt
// reads from the cell (or the cell's text when it is no number), and its ticks are the lists'.
TEST(NumberProperty, EveryValueReadsAsItsPlainForm) {
    QRandomGenerator random(31);
    QByteArray rows;
    QStringList expected;
    auto digits = [&random](int n) {
        QByteArray d;
        for (int i = 0; i < n; ++i)
            d.append(char('0' + random.bounded(10)));
        return d;
    };
    for (int i = 0; i < 4000; ++i) {
        QByteArray v;
        if (random.bounded(4) == 0)
            v += '-';
        v += digits(random.bounded(1, 19));
        if (random.bounded(3) > 0)
            v += '.' + digits(random.bounded(1, 19));
        if (random.bounded(8) == 0)
            v += "00";
        if (random.bounded(10) == 0)
            v += 'E' + QByteArray::number(random.bounded(-20, 20));
        if (random.bounded(20) == 0)
            v = ' ' + v + ' ';
        rows += "<row><c><v>" + v + "</v></c></row>";
        bool ok = false;
        const double value = QString::fromLatin1(v).trimmed().toDouble(&ok);
        expected.append(ok ? numberCellText(value) : QString::fromLatin1(v));
    }
    const SheetColumns read = readWorkbookBytes(sheetArchive(sheet(rows)), 1);
    ASSERT_TRUE(read.error.isEmpty()) << read.error.toStdString();
    ASSERT_EQ(read.columns.first().size(), expected.size());
    for (qsizetype r = 0; r < expected.size(); ++r)
        ASSERT_EQ(read.columns.first()[r].toStdString(), expected[r].toStdString()) << r;
    expectTicksOfTexts(read);
}

} // namespace
