#include "core/exchange/workbook.h"
#include "ui/common/seams.h"
#include "ui/generator/generator_window.h"
#include "ui/shell/main_window.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

using namespace quarbel;

namespace {

class RecordingSeams : public Seams {
  public:
    QStringList messages;
    QString savePath; // what the save dialog answers; empty cancels
    QString saveFileName(QWidget *, const QString &, const QString &, const QString &,
                         QString *) override {
        return savePath;
    }
    bool confirmOverwrite(QWidget *, const QString &) override { return true; }
    void message(QWidget *, const QString &title, const QString &text) override {
        messages << title + u' ' + text;
    }
    void setBusy(bool) override {}
};

// Messages carry the application's title.
QString titled(const char *text) {
    return QApplication::applicationName() + u' ' + QString::fromUtf8(text);
}

QList<QWidget *> generatorWindows() {
    QList<QWidget *> found;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->property("replayPrefix").toString() == u"gen" && w->isVisible())
            found << w;
    return found;
}

class GeneratorWindowTest : public testing::Test {
  protected:
    RecordingSeams m_seams;
    QPointer<GeneratorWindow> m_window;

    void SetUp() override {
        Seams::install(&m_seams);
        m_window = new GeneratorWindow;
        m_window->show();
    }
    void TearDown() override {
        delete m_window.data();
        Seams::install(nullptr);
    }

    template <class W> W *child(const char *name) {
        return m_window->findChild<W *>(QLatin1String(name));
    }
    void fill(const QString &mean, const QString &sd, const QString &count,
              const QString &decimals = QStringLiteral("2")) {
        child<QLineEdit>("Text1")->setText(mean);
        child<QLineEdit>("Text2")->setText(sd);
        child<QLineEdit>("Text3")->setText(count);
        child<QComboBox>("Combo1")->setCurrentText(decimals);
    }
    int rows() { return child<QListView>("List2")->model()->rowCount(); }
};

TEST_F(GeneratorWindowTest, ButtonsAreDisabledAndTheBarShownWhileGenerating) {
    fill(QStringLiteral("50"), QStringLiteral("10"), QStringLiteral("1000000"));
    bool sawRun = false, generateEnabled = true, saveEnabled = true, barVisible = false;
    QTimer::singleShot(0, m_window, [&] {
        sawRun = m_window->isGenerating();
        generateEnabled = child<QPushButton>("Command3")->isEnabled();
        saveEnabled = child<QPushButton>("Command4")->isEnabled();
        barVisible = child<QLabel>("Label3")->isVisible();
    });
    child<QPushButton>("Command3")->click();
    ASSERT_TRUE(sawRun) << "the run never let events through";
    EXPECT_FALSE(generateEnabled);
    EXPECT_FALSE(saveEnabled);
    EXPECT_TRUE(barVisible);
    EXPECT_TRUE(child<QPushButton>("Command3")->isEnabled());
    EXPECT_TRUE(child<QPushButton>("Command4")->isEnabled());
    EXPECT_FALSE(child<QLabel>("Label3")->isVisible());
    EXPECT_EQ(rows(), 1'000'000);
    EXPECT_EQ(child<QLabel>("MeanValue")->text(), "50");
    EXPECT_EQ(child<QLabel>("SdValue")->text(), "10");
    EXPECT_TRUE(m_seams.messages.isEmpty());
}

TEST_F(GeneratorWindowTest, RefusedInputChangesNothing) {
    fill(QStringLiteral("50"), QStringLiteral("10"), QStringLiteral("40"));
    child<QPushButton>("Command3")->click();
    ASSERT_EQ(rows(), 40);
    const QString firstValue = child<QListView>("List2")->model()->index(0, 0).data().toString();

    fill(QStringLiteral("50"), QStringLiteral("10"), QStringLiteral("40x"));
    child<QPushButton>("Command3")->click();
    fill(QString(), QStringLiteral("10"), QStringLiteral("40"));
    child<QPushButton>("Command3")->click();
    EXPECT_EQ(m_seams.messages,
              QStringList({titled("请输入有效的数字！"), titled("请把数据填写完整！")}));
    EXPECT_EQ(rows(), 40);
    EXPECT_EQ(child<QListView>("List2")->model()->index(0, 0).data().toString(), firstValue);
    EXPECT_TRUE(child<QLabel>("MeanCaption")->isVisible());
}

TEST_F(GeneratorWindowTest, SaveWritesTheValuesIntoTheFirstColumn) {
    QTemporaryDir dir;
    m_seams.savePath = dir.filePath(QStringLiteral("sample"));
    child<QPushButton>("Command4")->click();
    EXPECT_EQ(m_seams.messages, QStringList{"提示 文件导出成功！"})
        << "saving before any generation";
    EXPECT_EQ(readWorkbook(m_seams.savePath + ".xls", 1).columns.value(0).join(u'|'), QString());

    fill(QStringLiteral("50"), QStringLiteral("10"), QStringLiteral("40"));
    child<QPushButton>("Command3")->click();
    QStringList shown;
    for (int r = 0; r < rows(); ++r)
        shown << child<QListView>("List2")->model()->index(r, 0).data().toString();
    child<QPushButton>("Command4")->click();
    EXPECT_EQ(m_seams.messages.size(), 2);
    const SheetColumns sheet = readWorkbook(m_seams.savePath + ".xls", 2);
    ASSERT_TRUE(sheet.error.isEmpty()) << sheet.error.toStdString();
    EXPECT_EQ(sheet.columns.value(0), shown);
    EXPECT_EQ(sheet.columns.value(1).join(QString()), QString()) << "column B stays empty";

    m_seams.savePath.clear(); // cancelled: nothing happens
    child<QPushButton>("Command4")->click();
    EXPECT_EQ(m_seams.messages.size(), 2);
}

TEST_F(GeneratorWindowTest, UnreachableTargetShowsTheMessageAndNoValues) {
    fill(QStringLiteral("50.5"), QStringLiteral("1"), QStringLiteral("3"), QStringLiteral("0"));
    child<QPushButton>("Command3")->click();
    EXPECT_EQ(m_seams.messages, QStringList{titled("无法生成符合要求的数据，请调整输入！")});
    EXPECT_EQ(rows(), 0);
    EXPECT_FALSE(child<QLabel>("MeanCaption")->isVisible());
    EXPECT_TRUE(child<QPushButton>("Command3")->isEnabled());
}

TEST_F(GeneratorWindowTest, ClosingDuringARunStopsItAndDiscardsTheWindow) {
    fill(QStringLiteral("50"), QStringLiteral("10"), QStringLiteral("1000000"));
    QTimer::singleShot(0, m_window, [this] { m_window->close(); });
    child<QPushButton>("Command3")->click();
    EXPECT_TRUE(m_seams.messages.isEmpty());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(m_window.isNull());
}

TEST(GeneratorWindowOpening, ToolButtonOpensOneCentredWindow) {
    MainWindow main;
    main.show();
    auto *button = main.findChild<QPushButton *>(QStringLiteral("Command2"));
    ASSERT_NE(button, nullptr);
    button->click();
    button->click();
    const QList<QWidget *> windows = generatorWindows();
    ASSERT_EQ(windows.size(), 1);
    EXPECT_EQ(windows[0]->windowTitle(), "正态分布数据生成工具");
    EXPECT_FALSE(windows[0]->isModal());
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_NEAR(windows[0]->x(), (screen.width() - windows[0]->width()) / 2, 1);
    EXPECT_EQ(windows[0]->findChild<QComboBox *>(QStringLiteral("Combo1"))->count(), 7);

    QPointer<QWidget> first = windows[0];
    first->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull()) << "closing discards the window and what it held";
    button->click();
    EXPECT_EQ(generatorWindows().size(), 1);
}

TEST_F(GeneratorWindowTest, QuittingDuringARunStopsIt) {
    fill(QStringLiteral("50"), QStringLiteral("10"), QStringLiteral("1000000"));
    // Inside the program's event loop, as when the main window closes during a run.
    int rowsAfterRun = -1;
    QTimer::singleShot(0, m_window, [this, &rowsAfterRun] {
        QTimer::singleShot(0, m_window, [] { QCoreApplication::quit(); });
        child<QPushButton>("Command3")->click();
        rowsAfterRun = rows();
    });
    QApplication::exec();
    EXPECT_EQ(rowsAfterRun, 0) << "the run went on after the program was asked to end";
}

} // namespace
