// The report's menu entries and its files, through the real main window.

#include "core/exchange/workbook.h"
#include "ui/common/seams.h"
#include "ui/shell/main_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

using namespace quarbel;

namespace {

class FakeSeams : public Seams {
  public:
    QString answer;
    QStringList messages;
    int printed{0};

    QString saveFileName(QWidget *, const QString &, const QString &, const QString &,
                         QString *) override {
        return answer;
    }
    QString openFileName(QWidget *, const QString &, const QString &, const QString &) override {
        return answer;
    }
    bool confirmOverwrite(QWidget *, const QString &) override { return true; }
    void message(QWidget *, const QString &title, const QString &text) override {
        messages.append(title + u'|' + text);
    }
    bool printDocument(QWidget *, QTextDocument &) override {
        ++printed;
        return true;
    }
    void setBusy(bool) override {}
};

class Reports : public testing::Test {
  protected:
    void SetUp() override {
        Seams::install(&seams);
        window = std::make_unique<MainWindow>();
        window->selectMethod(0);
        const char *boxes[6] = {"132.4", "11.2", "20", "124.6", "10.8", "20"};
        for (int i = 0; i < 6; ++i)
            window->findChild<QLineEdit *>(QStringLiteral("Text4_%1").arg(i))
                ->setText(QLatin1String(boxes[i]));
    }
    void TearDown() override {
        window.reset();
        Seams::install(nullptr);
    }
    QAction *action(const char *name) const {
        return window->findChild<QAction *>(QString::fromUtf8(name));
    }
    void saveTo(const QString &path) {
        seams.answer = path;
        action("保存报告")->trigger();
    }

    FakeSeams seams;
    QTemporaryDir dir;
    std::unique_ptr<MainWindow> window;
};

TEST_F(Reports, EntriesFollowExportAndStayEnabledInEveryMethod) {
    QMenu *file = window->findChild<QMenu *>(QStringLiteral("文件"));
    ASSERT_NE(file, nullptr);
    QStringList names;
    for (const QAction *a : file->actions())
        names << a->objectName();
    EXPECT_EQ(names,
              (QStringList{"导入", "导出", "复制报告", "保存报告", "打印报告", "fg", "退出"}));
    EXPECT_EQ(action("复制报告")->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+C")));
    EXPECT_EQ(action("保存报告")->text(), QStringLiteral("保存报告…"));
    for (int method = 0; method < 8; ++method) {
        window->selectMethod(method);
        for (const char *name : {"复制报告", "保存报告", "打印报告"})
            EXPECT_TRUE(action(name)->isEnabled()) << name << " in method " << method;
    }
}

TEST_F(Reports, CopyPutsHtmlWithRulesAndTabbedText) {
    action("复制报告")->trigger();
    const QMimeData *data = QApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_TRUE(data->text().contains(QStringLiteral("组1\t20\t132.4\t11.2\n")));
    EXPECT_TRUE(data->text().contains(QStringLiteral("t\t2.2420\n")));
    EXPECT_TRUE(data->html().contains(QStringLiteral("border-top:1.5pt solid #000000")));
    EXPECT_TRUE(data->html().contains(QStringLiteral("两组均数差异有统计学意义")));
    // The method's picture goes along, as an image and inside the HTML.
    EXPECT_TRUE(data->hasImage());
    EXPECT_TRUE(data->html().contains(QStringLiteral("<img src=\"data:image/png;base64,")));
}

TEST_F(Reports, EachTypeIsSavedAndAFailureLeavesNothing) {
    saveTo(dir.filePath(QStringLiteral("r.odt")));
    saveTo(dir.filePath(QStringLiteral("r")));
    saveTo(dir.filePath(QStringLiteral("r.pdf")));
    EXPECT_TRUE(seams.messages.isEmpty()) << seams.messages.join(u'\n').toStdString();
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("r.html"))));
    QFile odt(dir.filePath(QStringLiteral("r.odt")));
    ASSERT_TRUE(odt.open(QIODevice::ReadOnly));
    EXPECT_TRUE(odt.read(80).mid(30).startsWith("mimetypeapplication/vnd.oasis.opendocument.text"));

    // pdftotext reads the Chinese text back when poppler-utils is installed.
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (!pdftotext.isEmpty()) {
        QProcess p;
        p.start(pdftotext, {dir.filePath(QStringLiteral("r.pdf")), QStringLiteral("-")});
        ASSERT_TRUE(p.waitForFinished(30000));
        const QString text = QString::fromUtf8(p.readAllStandardOutput());
        EXPECT_TRUE(text.contains(QStringLiteral("两样本均数t检验")));
        EXPECT_TRUE(text.contains(QStringLiteral("两组均数差异有统计学意义")));
    }

    // A directory in the file's place cannot be replaced: the message, and no stray file.
    QDir(dir.path()).mkdir(QStringLiteral("taken.html"));
    const QStringList before = QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries);
    saveTo(dir.filePath(QStringLiteral("taken.html")));
    EXPECT_EQ(seams.messages, QStringList{QStringLiteral("提示|报告保存失败！")});
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), before);

    seams.messages.clear();
    saveTo(QString());
    EXPECT_TRUE(seams.messages.isEmpty());
}

TEST_F(Reports, PrintGoesThroughTheSeam) {
    action("打印报告")->trigger();
    EXPECT_EQ(seams.printed, 1);
}

} // namespace

namespace {

// Data the generator saved are simulated: once imported, the report says so; typed data after
// a method switch are not.
TEST_F(Reports, ImportedGeneratedDataAreReportedAsSimulated) {
    const QString path = dir.filePath(QStringLiteral("sample.xls"));
    WorkbookProperties made = programProperties();
    made.title = SimulatedDataTitle;
    ASSERT_TRUE(
        writeWorkbook(path, {{"48", "52", "50", "55", "45"}}, WorkbookFormat::Xls, made).isEmpty());
    seams.answer = path;
    window->importData();
    for (int i = 3; i < 6; ++i)
        window->findChild<QLineEdit *>(QStringLiteral("Text4_%1").arg(i))
            ->setText(QStringList{"45", "4", "5"}[i - 3]);
    const QString note = QStringLiteral("模拟数据");
    action("复制报告")->trigger();
    EXPECT_TRUE(QApplication::clipboard()->text().contains(note));
    EXPECT_TRUE(QApplication::clipboard()->text().contains(QStringLiteral("组1\t5\t50.0000")));

    window->selectMethod(0);
    for (int i = 0; i < 6; ++i)
        window->findChild<QLineEdit *>(QStringLiteral("Text4_%1").arg(i))
            ->setText(QStringList{"50", "3", "5", "45", "4", "5"}[i]);
    action("复制报告")->trigger();
    EXPECT_FALSE(QApplication::clipboard()->text().contains(note));
}

} // namespace
