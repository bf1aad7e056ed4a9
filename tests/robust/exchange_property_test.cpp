// Files through the real main window: export then import of random lists gives back every
// entry, and hostile or broken files are refused with the failure message, in bounded time
// and memory, leaving the grid's data as it was.
#include "robust_support.h"

#include "core/entry/cell_rules.h"
#include "core/entry/column_list.h"
#include "core/exchange/workbook.h"
#include "core/shell/methods.h"
#include "ui/shell/main_window.h"

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipnewinfo.h>

#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-memory.h>

#include <QAction>
#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

using namespace quarbel;
using namespace quarbel::robust;

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr double Slowdown = 4.0; // the instrumented build runs and allocates several times more
#else
constexpr double Slowdown = 1.0;
#endif

const QString ReadFailed = QStringLiteral("提示|文件读取失败，数据未改变。");

QStringList listNames(int method) {
    return method == Anova ? QStringList{"List3", "List4", "List5"} : QStringList{"List1", "List2"};
}

// An entry as a grid list holds it: typed text after the grid's cell rules, trimmed.
QString gridEntry(Dice &dice) {
    static const QStringList pieces = {"0", "1",  "2",  "5", "9", ".", "-", "。", " ",
                                       "a", "中", "文", "e", "x", "7", "3", "0",  "4"};
    const int roll = dice.below(10);
    if (roll < 3)
        return {};
    QString typed;
    if (roll < 7) {
        typed = QString::number(std::uniform_real_distribution<double>(-1e4, 1e4)(dice.engine()),
                                'f', dice.below(6));
    } else {
        for (int n = dice.below(12) + 1; n > 0; --n)
            typed += dice.pick(pieces);
    }
    const CellRules grid{.fullStops = true, .trailingFilter = true, .caretToEnd = true};
    return applyCellRules(typed, grid).trimmed();
}

class Window {
  public:
    Window() { guard = std::make_unique<SeamsGuard>(&seams); }

    ColumnList *list(const QString &name) { return window.findChild<ColumnList *>(name); }
    void trigger(const char *action, const QString &path) {
        seams.nextPath = path;
        window.findChild<QAction *>(QString::fromUtf8(action))->trigger();
    }

    QuietSeams seams;
    std::unique_ptr<SeamsGuard> guard;
    MainWindow window;
};

struct RoundTripCase {
    const char *name;
    int method;
    const char *extension;
    int rows;
    std::uint32_t seed;
};

class ExportThenImport : public testing::TestWithParam<RoundTripCase> {};

TEST_P(ExportThenImport, GivesBackEveryEntry) {
    const RoundTripCase &c = GetParam();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("数据") + QLatin1String(c.extension));
    Window w;
    w.window.selectMethod(c.method);
    Dice dice(c.seed);
    std::vector<QStringList> sent;
    for (const QString &name : listNames(c.method)) {
        QStringList entries;
        for (int r = 0; r < c.rows; ++r)
            entries.append(gridEntry(dice));
        entries.first() = QStringLiteral("1"); // the first column decides how many rows go out
        w.list(name)->replaceAll(entries);
        sent.push_back(entries);
    }
    w.trigger("导出", path);
    ASSERT_EQ(w.seams.messages, QStringList{QStringLiteral("提示|文件导出成功！")});

    w.window.selectMethod(c.method == Anova ? TwoSampleT : Anova);
    w.window.selectMethod(c.method);
    w.seams.messages.clear();
    w.trigger("导入", path);
    ASSERT_TRUE(w.seams.messages.isEmpty()) << w.seams.messages.join(u'\n').toStdString();
    const QStringList names = listNames(c.method);
    for (qsizetype k = 0; k < names.size(); ++k) {
        const ColumnList *list = w.list(names[k]);
        ASSERT_GE(list->count(), c.rows);
        for (int r = 0; r < c.rows; ++r)
            ASSERT_EQ(list->at(r), sent[std::size_t(k)][r])
                << names[k].toStdString() << " entry " << r;
        for (qsizetype r = c.rows; r < list->count(); ++r)
            ASSERT_TRUE(list->at(r).isEmpty()) << names[k].toStdString() << " entry " << r;
    }
}

INSTANTIATE_TEST_SUITE_P(Lists, ExportThenImport,
                         testing::Values(RoundTripCase{"TwoColumnsXls", TwoSampleT, ".xls", 300, 1},
                                         RoundTripCase{"TwoColumnsXlsx", Correlation, ".xlsx", 300,
                                                       2},
                                         RoundTripCase{"ThreeGroupsXls", Anova, ".xls", 2000, 3},
                                         RoundTripCase{"ThreeGroupsXlsx", Anova, ".xlsx", 2000, 4},
                                         RoundTripCase{"OneRowXls", PairedT, ".xls", 1, 5},
                                         RoundTripCase{"OneRowXlsx", PairedT, ".xlsx", 1, 6}),
                         [](const auto &row) { return std::string(row.param.name); });

// ---- Hostile and broken files ----

QByteArray zipOf(const QList<std::pair<QString, std::function<void(QuaZipFile &)>>> &members) {
    QBuffer buffer;
    QuaZip zip(&buffer);
    zip.open(QuaZip::mdCreate);
    for (const auto &[name, write] : members) {
        QuaZipFile f(&zip);
        f.open(QIODevice::WriteOnly, QuaZipNewInfo(name), nullptr, 0, Z_DEFLATED, 1);
        write(f);
        f.close();
    }
    zip.close();
    return buffer.data();
}

QByteArray sheetOnly(const std::function<void(QuaZipFile &)> &write) {
    return zipOf({{QStringLiteral("xl/worksheets/sheet1.xml"), write}});
}

QByteArray compoundFile(const QByteArray &stream) {
    GsfOutput *memory = gsf_output_memory_new();
    GsfOutfile *ole = gsf_outfile_msole_new(memory);
    GsfOutput *child = gsf_outfile_new_child(ole, "Workbook", FALSE);
    gsf_output_write(child, std::size_t(stream.size()),
                     reinterpret_cast<const guint8 *>(stream.constData()));
    gsf_output_close(child);
    g_object_unref(child);
    gsf_output_close(GSF_OUTPUT(ole));
    g_object_unref(ole);
    const QByteArray file(
        reinterpret_cast<const char *>(gsf_output_memory_get_bytes(GSF_OUTPUT_MEMORY(memory))),
        qsizetype(gsf_output_size(memory)));
    if (!gsf_output_is_closed(memory))
        gsf_output_close(memory);
    g_object_unref(memory);
    return file;
}

QByteArray record(quint16 type, quint16 length, const QByteArray &body) {
    QByteArray r;
    for (quint16 v : {type, length}) {
        r.append(char(v & 0xFF));
        r.append(char(v >> 8));
    }
    return r + body;
}

// A BIFF8 workbook whose only worksheet holds `cells` (whole records).
QByteArray biffWorkbook(const QByteArray &cells) {
    auto bof = [](quint16 kind) {
        QByteArray body = QByteArray::fromHex("0006");
        body.append(char(kind & 0xFF)).append(char(kind >> 8));
        return record(0x0809, 16, body + QByteArray(12, '\0'));
    };
    // Sheet offset, visible worksheet, six one-byte characters of name.
    QByteArray boundSheet = QByteArray(4, '\0') + QByteArray::fromHex("00000600") + "Sheet1";
    const qsizetype sheetStart = bof(0x0005).size() + 4 + boundSheet.size() + 4;
    for (int i = 0; i < 4; ++i)
        boundSheet[i] = char((quint32(sheetStart) >> (8 * i)) & 0xFF);
    const QByteArray globals = bof(0x0005) +
                               record(0x0085, quint16(boundSheet.size()), boundSheet) +
                               record(0x000A, 0, {});
    return compoundFile(globals + bof(0x0010) + cells + record(0x000A, 0, {}));
}

QByteArray written(const char *extension) {
    Dice dice(99);
    QList<QStringList> columns(2);
    for (int r = 0; r < 5000; ++r)
        for (QStringList &column : columns)
            column.append(QString::number(dice.below(100000)));
    const auto format =
        QLatin1String(extension) == u".xls" ? WorkbookFormat::Xls : WorkbookFormat::Xlsx;
    return *workbookBytes(columns, format, nullptr);
}

QByteArray flipped(QByteArray bytes, qsizetype from, qsizetype count) {
    for (qsizetype i = from; i < from + count && i < bytes.size(); ++i)
        bytes[i] = char(bytes[i] ^ 0x5A);
    return bytes;
}

struct HostileCase {
    const char *name;
    const char *extension;
    QByteArray (*bytes)();
    double seconds;   // bound on the import, release build
    double megabytes; // bound on the peak memory it adds
};

const HostileCase hostileCases[] = {
    {"TruncatedXls", ".xls", [] { return written(".xls").left(20000); }, 2, 64},
    {"TruncatedXlsx", ".xlsx", [] { return written(".xlsx").left(9000); }, 2, 64},
    {"CorruptedXlsx", ".xlsx",
     [] {
         const QByteArray whole = written(".xlsx");
         return flipped(whole, whole.size() / 3, 64);
     },
     2, 64},
    {"CorruptedCompoundHeader", ".xls", [] { return flipped(written(".xls"), 40, 40); }, 2, 64},
    {"EmptyFile", ".xls", [] { return QByteArray(); }, 2, 64},
    {"TextNamedXlsx", ".xlsx", [] { return QByteArray("1,2\n3,4\n"); }, 2, 64},
    {"ZipBomb", ".xlsx",
     [] {
         // 320 MB of markup in about a megabyte.
         return sheetOnly([](QuaZipFile &f) {
             f.write("<worksheet><sheetData>");
             const QByteArray filler = ("<x>" + QByteArray(4089, ' ') + "</x>").repeated(256);
             for (int i = 0; i < 320; ++i)
                 f.write(filler);
             f.write("</sheetData></worksheet>");
         });
     },
     10, 400},
    {"BillionLaughs", ".xlsx",
     [] {
         return sheetOnly([](QuaZipFile &f) {
             f.write("<?xml version=\"1.0\"?><!DOCTYPE w [<!ENTITY a \"aaaaaaaaaa\">");
             for (char e = 'b'; e <= 'j'; ++e)
                 f.write(QStringLiteral("<!ENTITY %1 \"%2\">")
                             .arg(QChar(e), QStringLiteral("&%1;").arg(QChar(e - 1)).repeated(10))
                             .toUtf8());
             f.write("]><worksheet><sheetData><row><c t=\"inlineStr\"><is><t>&j;</t></is></c>"
                     "</row></sheetData></worksheet>");
         });
     },
     2, 64},
    {"BiffRecordLongerThanTheStream", ".xls",
     [] { return biffWorkbook(record(0x0203, 0xFFFF, QByteArray(14, '\0'))); }, 2, 64},
    {"BiffStringClaimingMoreThanItHas", ".xls",
     [] {
         // A LABEL cell at A1 whose text claims 60,000 characters but carries three.
         const QByteArray label = QByteArray::fromHex("000000000000"
                                                      "60ea"
                                                      "00") +
                                  "abc";
         return biffWorkbook(record(0x0204, quint16(label.size()), label));
     },
     2, 64},
    {"TwoMillionRows", ".xlsx",
     [] {
         return sheetOnly([](QuaZipFile &f) {
             f.write("<worksheet><sheetData>");
             const QByteArray rows =
                 QByteArray("<row><c><v>1</v></c><c><v>2</v></c></row>").repeated(10000);
             for (int i = 0; i < 200; ++i)
                 f.write(rows);
             f.write("</sheetData></worksheet>");
         });
     },
     30, 700},
};

class HostileFile : public testing::TestWithParam<HostileCase> {};

TEST_P(HostileFile, IsRefusedQuicklyAndTheGridKeepsItsData) {
    const HostileCase &c = GetParam();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("坏") + QLatin1String(c.extension));
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(c.bytes());
    }
    Window w;
    w.window.selectMethod(TwoSampleT);
    const QStringList first{"12.5", "13", "", "abc", "-4"};
    const QStringList second{"7", "", "8.25"};
    w.list(QStringLiteral("List1"))->replaceAll(first);
    w.list(QStringLiteral("List2"))->replaceAll(second);

    resetPeakMemory();
    const double before = residentMemoryMB();
    QElapsedTimer clock;
    clock.start();
    w.trigger("导入", path);
    const double seconds = double(clock.elapsed()) / 1000;
    const double added = peakMemoryMB() - before;

    EXPECT_EQ(w.seams.messages, QStringList{ReadFailed});
    EXPECT_EQ(w.list(QStringLiteral("List1"))->texts(), first);
    EXPECT_EQ(w.list(QStringLiteral("List2"))->texts(), second);
    EXPECT_LT(seconds, c.seconds * Slowdown);
    EXPECT_LT(added, c.megabytes * Slowdown);
    std::printf("%s: %.2f s, %.0f MB\n", c.name, seconds, added);
}

INSTANTIATE_TEST_SUITE_P(Files, HostileFile, testing::ValuesIn(hostileCases),
                         [](const auto &row) { return std::string(row.param.name); });

} // namespace
