#include "core/entry/column_list.h"
#include "core/exchange/workbook.h"
#include "core/shell/methods.h"
#include "ui/common/plot_view.h"
#include "ui/common/seams.h"
#include "ui/entry/data_grid.h"
#include "ui/entry/numeric_cell.h"
#include "ui/shell/main_window.h"
#include "ui/shell/method_pictures.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTemporaryDir>

using namespace quarbel;

namespace {

// Answers the dialogs as a person would and records what reached them.
class FakeSeams : public Seams {
  public:
    QString answer;
    QString filter; // the file type picked in the save dialog; empty keeps the default
    bool overwrite{true};
    int overwriteAsked{0};
    int busy{0};
    QString dialogFolder;
    QStringList messages;

    QString saveFileName(QWidget *, const QString &, const QString &dir, const QString &,
                         QString *selected) override {
        dialogFolder = dir;
        if (!filter.isEmpty())
            *selected = filter;
        return answer;
    }
    QString openFileName(QWidget *, const QString &, const QString &dir, const QString &) override {
        dialogFolder = dir;
        return answer;
    }
    bool confirmOverwrite(QWidget *, const QString &) override {
        ++overwriteAsked;
        return overwrite;
    }
    void message(QWidget *, const QString &title, const QString &text) override {
        messages.append(title + u'|' + text);
    }
    void setBusy(bool on) override { busy += on ? 1 : -1; }
};

class Exchange : public testing::Test {
  protected:
    void SetUp() override {
        Seams::install(&seams);
        window = std::make_unique<MainWindow>();
    }
    void TearDown() override {
        window.reset();
        Seams::install(nullptr);
        EXPECT_EQ(seams.busy, 0) << "the busy pointer was not restored";
    }
    ColumnList *list(int n) const {
        return window->findChild<ColumnList *>(QStringLiteral("List%1").arg(n));
    }
    QString copyOf(const char *fixture, const QString &name) const {
        const QString to = dir.filePath(name);
        QFile::copy(QStringLiteral(QUARBEL_TEST_DATA "/") + QLatin1String(fixture), to);
        return to;
    }
    void importFrom(const QString &path) {
        seams.answer = path;
        window->importData();
    }
    void exportTo(const QString &path) {
        seams.answer = path;
        window->exportData();
    }

    FakeSeams seams;
    QTemporaryDir dir;
    std::unique_ptr<MainWindow> window;
};

TEST_F(Exchange, ImportedTextIsFilteredInTheVisibleRowsOnly) {
    importFrom(copyOf("continue_sst.xls", QStringLiteral("长.xls")));
    EXPECT_TRUE(seams.messages.isEmpty());
    ASSERT_EQ(list(1)->count(), 600 + 14);
    EXPECT_EQ(list(2)->count(), 600 + 14);
    EXPECT_EQ(list(1)->at(10), QStringLiteral("行10 中文中文中文"));
    EXPECT_EQ(list(2)->at(599), QStringLiteral("ascii 599"));
    // The first ten rows went through the cells, whose filter cuts text back to a number.
    EXPECT_EQ(list(1)->at(1), window->twoColumnGrid()->cell(0, 1)->text());
    EXPECT_NE(list(1)->at(1), QStringLiteral("行1 中文"));
    EXPECT_EQ(window->twoColumnGrid()->scrollBar()->maximum(), 604);
    EXPECT_EQ(window->twoColumnGrid()->scrollBar()->value(), 0);
}

TEST_F(Exchange, FormulaResultsReachTheThreeGroups) {
    window->selectMethod(2);
    importFrom(copyOf("formulas.xls", QStringLiteral("f.XLS")));
    ASSERT_EQ(list(3)->count(), 6 + 14);
    EXPECT_EQ(list(3)->texts().mid(0, 4), (QStringList{"1", "2.5", "3.5", "0.333333333333333"}));
    EXPECT_EQ(list(4)->at(4), QStringLiteral("0.0000001"));
    EXPECT_EQ(list(5)->at(0), QStringLiteral("44927"));
    EXPECT_EQ(list(5)->at(5), QStringLiteral("123456789012346000"));
    EXPECT_EQ(list(1)->count(), 15);
    EXPECT_EQ(window->threeGroupGrid()->scrollBar()->maximum(), 10);
    EXPECT_EQ(window->findChild<NumericCell *>(QStringLiteral("Text30_2"))->text(), "3.5");
}

// A group whose visible rows are empty still gets the summary of what the file holds below
// them, not the one it had before the import.
TEST_F(Exchange, EveryGroupIsSummarisedAfterAnImport) {
    window->selectMethod(2);
    const QString first = dir.filePath(QStringLiteral("first.xlsx"));
    ASSERT_TRUE(writeWorkbook(first, {{"1"}, {"2"}, {"3"}}, WorkbookFormat::Xlsx).isEmpty());
    importFrom(first);
    QStringList third(14);
    third << "7"
          << "9";
    const QString second = dir.filePath(QStringLiteral("second.xlsx"));
    ASSERT_TRUE(writeWorkbook(second, {QStringList(16, "4"), QStringList(16, "5"), third},
                              WorkbookFormat::Xlsx)
                    .isEmpty());
    importFrom(second);
    EXPECT_TRUE(seams.messages.isEmpty());
    auto box = [this](int k) {
        return window->findChild<NumericCell *>(QStringLiteral("Text41_%1").arg(k))->text();
    };
    EXPECT_EQ(box(2), "16");
    EXPECT_EQ(box(8), "2");
    EXPECT_EQ(box(6), "8.0000");
}

// The two-column grid serves three methods and the three-group grid a fourth: an import pays for
// the shown method's picture only, and a hidden one is drawn when its method is chosen.
TEST_F(Exchange, AnImportDrawsNoHiddenMethodsPicture) {
    window->show();
    window->selectMethod(TwoSampleT);
    const QString path = dir.filePath(QStringLiteral("two.xlsx"));
    ASSERT_TRUE(
        writeWorkbook(path, {{"1", "2", "3"}, {"4", "5", "7"}}, WorkbookFormat::Xlsx).isEmpty());
    auto settle = [] {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 3 * PlotView::CoalesceMs)
            QApplication::processEvents(QEventLoop::AllEvents, 5);
    };
    settle();
    MethodPictures *pictures = window->pictures();
    std::array<int, MethodCount> before{};
    for (int m = 0; m < MethodCount; ++m)
        before[std::size_t(m)] = pictures->picture(m)->redrawCount();
    importFrom(path);
    settle();
    EXPECT_EQ(pictures->picture(TwoSampleT)->redrawCount(), before[TwoSampleT] + 1);
    for (int m : {PairedT, Correlation, Anova}) {
        EXPECT_EQ(pictures->picture(m)->redrawCount(), before[std::size_t(m)]) << "method " << m;
        EXPECT_TRUE(pictures->picture(m)->isPending()) << "method " << m;
    }
    // Shown, the paired picture is drawn at last.
    window->selectMethod(PairedT);
    settle();
    EXPECT_FALSE(pictures->picture(PairedT)->isPending());
}

struct FailureCase {
    const char *name;
    std::function<QByteArray(const QByteArray &)> damage;
    const char *fileName;
    const char *message;
};
void PrintTo(const FailureCase &c, std::ostream *os) {
    *os << c.name;
}

class ImportFailure : public Exchange, public testing::WithParamInterface<FailureCase> {};

TEST_P(ImportFailure, LeavesTheGridAsItWas) {
    window->twoColumnGrid()->cell(0, 0)->setText(QStringLiteral("12"));
    window->twoColumnGrid()->cell(1, 3)->setText(QStringLiteral("4.5"));
    const QStringList before1 = list(1)->texts(), before2 = list(2)->texts();
    QFile source(QStringLiteral(QUARBEL_TEST_DATA "/shared_strings.xlsx"));
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    const QString path = dir.filePath(QLatin1String(GetParam().fileName));
    QFile target(path);
    ASSERT_TRUE(target.open(QIODevice::WriteOnly));
    target.write(GetParam().damage(source.readAll()));
    target.close();
    importFrom(path);
    EXPECT_EQ(seams.messages,
              QStringList{QStringLiteral("提示|") + QString::fromUtf8(GetParam().message)});
    EXPECT_EQ(list(1)->texts(), before1);
    EXPECT_EQ(list(2)->texts(), before2);
    EXPECT_EQ(window->twoColumnGrid()->cell(0, 0)->text(), "12");
}

INSTANTIATE_TEST_SUITE_P(
    Files, ImportFailure,
    testing::Values(FailureCase{"WrongName", [](const QByteArray &b) { return b; }, "data.csv",
                                "请打开Excel文件！"},
                    FailureCase{"Truncated",
                                [](const QByteArray &b) { return b.left(b.size() / 2); },
                                "half.xlsx", "文件读取失败，数据未改变。"},
                    FailureCase{"Corrupted",
                                [](const QByteArray &b) {
                                    // Inside the sheet's compressed data.
                                    QByteArray c = b;
                                    const qsizetype at = c.indexOf("xl/worksheets/sheet1.xml") + 30;
                                    for (qsizetype i = at; i < at + 40; ++i)
                                        c[i] = char(c[i] ^ 0x33);
                                    return c;
                                },
                                "bad.xlsx", "文件读取失败，数据未改变。"},
                    FailureCase{"NotAWorkbook",
                                [](const QByteArray &) { return QByteArray("1;2\n"); }, "text.xls",
                                "文件读取失败，数据未改变。"}),
    [](const auto &row) { return std::string(row.param.name); });

TEST_F(Exchange, CancelledDialogsDoNothing) {
    window->twoColumnGrid()->cell(0, 0)->setText(QStringLiteral("3"));
    importFrom(QString());
    exportTo(QString());
    EXPECT_TRUE(seams.messages.isEmpty());
    EXPECT_EQ(list(1)->at(0), "3");
    EXPECT_EQ(seams.busy, 0);
}

struct NameCase {
    const char *name;
    const char *typed;
    const char *filter;
    const char *written;
    WorkbookFormat format;
};
void PrintTo(const NameCase &c, std::ostream *os) {
    *os << c.name;
}

class ExportName : public Exchange, public testing::WithParamInterface<NameCase> {};

TEST_P(ExportName, GetsItsExtensionOnce) {
    window->twoColumnGrid()->cell(0, 0)->setText(QStringLiteral("1.5"));
    seams.filter = QString::fromUtf8(GetParam().filter);
    exportTo(dir.filePath(QString::fromUtf8(GetParam().typed)));
    EXPECT_EQ(seams.messages, QStringList{QStringLiteral("提示|文件导出成功！")});
    const QString written = dir.filePath(QString::fromUtf8(GetParam().written));
    const SheetColumns read = readWorkbook(written, 2);
    EXPECT_TRUE(read.error.isEmpty()) << read.error.toStdString();
    EXPECT_EQ(read.columns.value(0), QStringList{"1.5"});
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);
    EXPECT_EQ(workbookFormatOfName(written), GetParam().format);
}

INSTANTIATE_TEST_SUITE_P(
    Names, ExportName,
    testing::Values(NameCase{"Plain", "data", "", "data.xls", WorkbookFormat::Xls},
                    NameCase{"AlreadyXls", "data.xls", "", "data.xls", WorkbookFormat::Xls},
                    NameCase{"UpperXls", "数据.XLS", "", "数据.XLS", WorkbookFormat::Xls},
                    NameCase{"XlsxType", "data", "Excel 工作簿(*.xlsx)", "data.xlsx",
                             WorkbookFormat::Xlsx},
                    NameCase{"XlsxTyped", "data.xlsx", "", "data.xlsx", WorkbookFormat::Xlsx}),
    [](const auto &row) { return std::string(row.param.name); });

TEST_F(Exchange, TooManyRowsForXlsAreRefusedBeforeAnythingIsWritten) {
    QStringList many(XlsMaxRows + 1, QStringLiteral("1"));
    many.append(QStringList(14));
    list(1)->replaceAll(many);
    list(2)->replaceAll(QStringList(many.size()));
    exportTo(dir.filePath(QStringLiteral("big")));
    ASSERT_EQ(seams.messages.size(), 1);
    EXPECT_TRUE(seams.messages[0].contains(QLatin1String("65536")));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("big.xls"))));

    seams.messages.clear();
    seams.filter = QStringLiteral("Excel 工作簿(*.xlsx)");
    exportTo(dir.filePath(QStringLiteral("big")));
    EXPECT_EQ(seams.messages, QStringList{QStringLiteral("提示|文件导出成功！")});
    EXPECT_EQ(readWorkbook(dir.filePath(QStringLiteral("big.xlsx")), 1).usedRows, XlsMaxRows + 1);
}

TEST_F(Exchange, ADeclinedOverwriteKeepsTheFileAndSaysNothing) {
    const QString path = dir.filePath(QStringLiteral("old.xls"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("old");
    f.close();
    seams.overwrite = false;
    window->twoColumnGrid()->cell(0, 0)->setText(QStringLiteral("2"));
    exportTo(path);
    EXPECT_EQ(seams.overwriteAsked, 1);
    EXPECT_TRUE(seams.messages.isEmpty());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "old");
}

TEST_F(Exchange, DialogsStartInTheLastFolderUsed) {
    exportTo(QString());
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    // Folders of earlier runs are gone, so the first dialog falls back to the documents.
    if (!documents.isEmpty()) {
        EXPECT_EQ(seams.dialogFolder, documents);
    }
    exportTo(dir.filePath(QStringLiteral("here.xls")));
    importFrom(QString());
    EXPECT_EQ(seams.dialogFolder, dir.path());
}

} // namespace
