// Saved workbooks say where they came from: an independent reader finds the program, the time
// and the generator's title and comments in the file's document properties.

#include "core/exchange/workbook.h"

#include <gtest/gtest.h>

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

namespace quarbel {
namespace {

const WorkbookProperties Generated{
    QStringLiteral("Quarbel 15.0"), QDateTime(QDate(2026, 12, 8), QTime(9, 30), Qt::UTC),
    QStringLiteral("正态分布模拟数据"),
    QStringLiteral("目标均数 50，目标标准差 10，例数 100，小数点位数 2")};

const QList<QStringList> Data{{QStringLiteral("49.12"), QStringLiteral("61.07")}};

QString pythonWithOlefile() {
    for (const QString &candidate : {QStringLiteral("/usr/bin/python3"), QStringLiteral("python3")})
        if (QProcess::execute(candidate,
                              {QStringLiteral("-c"), QStringLiteral("import olefile")}) == 0)
            return candidate;
    return {};
}

TEST(WorkbookProperties, XlsSummaryInformationReadsBackWithOlefile) {
    const QString python = pythonWithOlefile();
    if (python.isEmpty())
        GTEST_SKIP() << "python3 with olefile is not installed";
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sample.xls"));
    ASSERT_TRUE(writeWorkbook(path, Data, WorkbookFormat::Xls, Generated).isEmpty());
    QProcess p;
    p.start(
        python,
        {QStringLiteral("-c"),
         QStringLiteral(
             "import sys, json, olefile\n"
             "m = olefile.OleFileIO(sys.argv[1]).get_metadata()\n"
             "cp = {-535: 'utf-8', 65001: 'utf-8', 1200: 'utf-16-le'}.get(m.codepage, 'cp1252')\n"
             "d = lambda b: b.decode(cp) if isinstance(b, bytes) else b\n"
             "print(json.dumps({'title': d(m.title), 'comments': d(m.comments),\n"
             "  'application': d(m.creating_application),\n"
             "  'created': m.create_time.strftime('%Y-%m-%d %H:%M')}))"),
         path});
    ASSERT_TRUE(p.waitForFinished(60000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    const QJsonObject read = QJsonDocument::fromJson(p.readAllStandardOutput()).object();
    EXPECT_EQ(read[QStringLiteral("title")].toString(), Generated.title);
    EXPECT_EQ(read[QStringLiteral("comments")].toString(), Generated.comments);
    EXPECT_EQ(read[QStringLiteral("application")].toString(), Generated.application);
    EXPECT_EQ(read[QStringLiteral("created")].toString(), QStringLiteral("2026-12-08 09:30"));
    EXPECT_EQ(readWorkbook(path, 1).columns, Data);
}

// The import finds the generator's title again, in either format, and nothing elsewhere.
TEST(WorkbookProperties, TitleReadsBackForTheImport) {
    QTemporaryDir dir;
    for (const char *name : {"g.xls", "g.xlsx"}) {
        const QString path = dir.filePath(QLatin1String(name));
        ASSERT_TRUE(writeWorkbook(path, Data, *workbookFormatOfName(path), Generated).isEmpty());
        EXPECT_EQ(workbookTitle(path), SimulatedDataTitle) << name;
        const QString plain = dir.filePath(QStringLiteral("plain_") + QLatin1String(name));
        ASSERT_TRUE(writeWorkbook(plain, Data, *workbookFormatOfName(plain)).isEmpty());
        EXPECT_TRUE(workbookTitle(plain).isEmpty()) << name;
    }
    QFile text(dir.filePath(QStringLiteral("t.xls")));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not a workbook");
    text.close();
    EXPECT_TRUE(workbookTitle(text.fileName()).isEmpty());
    EXPECT_TRUE(workbookTitle(dir.filePath(QStringLiteral("missing.xlsx"))).isEmpty());
}

QString part(QuaZip &zip, const QString &name) {
    if (!zip.setCurrentFile(name))
        return {};
    QuaZipFile file(&zip);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

TEST(WorkbookProperties, XlsxCorePropertiesAreListedAndRead) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sample.xlsx"));
    ASSERT_TRUE(writeWorkbook(path, Data, WorkbookFormat::Xlsx, Generated).isEmpty());
    QuaZip zip(path);
    ASSERT_TRUE(zip.open(QuaZip::mdUnzip));
    const QString core = part(zip, QStringLiteral("docProps/core.xml"));
    EXPECT_TRUE(core.contains(QStringLiteral("<dc:title>正态分布模拟数据</dc:title>")));
    EXPECT_TRUE(core.contains(QStringLiteral("<dc:description>目标均数 50，目标标准差 10，例数 "
                                             "100，小数点位数 2</dc:description>")));
    EXPECT_TRUE(core.contains(QStringLiteral("<dc:creator>Quarbel 15.0</dc:creator>")));
    EXPECT_TRUE(core.contains(QStringLiteral(
        "<dcterms:created xsi:type=\"dcterms:W3CDTF\">2026-12-08T09:30:00Z</dcterms:created>")));
    EXPECT_TRUE(part(zip, QStringLiteral("docProps/app.xml"))
                    .contains(QStringLiteral("<Application>Quarbel 15.0</Application>")));
    EXPECT_TRUE(part(zip, QStringLiteral("[Content_Types].xml"))
                    .contains(QStringLiteral("PartName=\"/docProps/core.xml\"")));
    EXPECT_TRUE(part(zip, QStringLiteral("_rels/.rels"))
                    .contains(QStringLiteral("Target=\"docProps/core.xml\"")));
    zip.close();
    EXPECT_EQ(readWorkbook(path, 1).columns, Data);
}

// An export names the program even without a title.
TEST(WorkbookProperties, EveryWriteNamesTheProgram) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("export.xlsx"));
    ASSERT_TRUE(writeWorkbook(path, Data, WorkbookFormat::Xlsx).isEmpty());
    QuaZip zip(path);
    ASSERT_TRUE(zip.open(QuaZip::mdUnzip));
    const QString core = part(zip, QStringLiteral("docProps/core.xml"));
    EXPECT_TRUE(core.contains(QStringLiteral("<dc:creator>Quarbel ")));
    EXPECT_FALSE(core.contains(QStringLiteral("dc:title")));
}

} // namespace
} // namespace quarbel
