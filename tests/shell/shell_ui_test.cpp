#include "ui/common/details_box.h"
#include "ui/common/result_label.h"
#include "ui/common/seams.h"
#include "ui/shell/main_window.h"

#include <QAction>
#include <QApplication>
#include <QEnterEvent>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace quarbel;

namespace {

class RecordingSeams : public Seams {
  public:
    QStringList launched;
    int ended{0};

    void openUrl(const QUrl &url) override { launched << url.fileName(); }
    bool startProgram(const QString &program, const QStringList &) override {
        launched << program;
        return true;
    }
    void endProgram() override { ++ended; }
    // The toolbar's import and export open their file dialogs: cancel them.
    QString saveFileName(QWidget *, const QString &, const QString &, const QString &,
                         QString *) override {
        return {};
    }
    QString openFileName(QWidget *, const QString &, const QString &, const QString &) override {
        return {};
    }
};

class ShellTest : public testing::Test {
  protected:
    void SetUp() override {
        Seams::install(&seams);
        window = std::make_unique<MainWindow>();
        window->show();
    }
    void TearDown() override {
        window.reset();
        Seams::install(nullptr);
    }

    template <class T> T *find(const QString &name) const {
        T *found = window->findChild<T *>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }

    static void mouse(QWidget *w, QEvent::Type type, QPointF local) {
        const bool press = type == QEvent::MouseButtonPress;
        QMouseEvent event(type, local, w->mapToGlobal(local), Qt::LeftButton,
                          press ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(w, &event);
    }
    static void click(QWidget *w, QPointF releaseAt) {
        mouse(w, QEvent::MouseButtonPress, QPointF(w->width() / 2.0, w->height() / 2.0));
        mouse(w, QEvent::MouseButtonRelease, releaseAt);
    }

    int triggers(const char *action, const char *hitArea, QPointF releaseAt) {
        int count = 0;
        QObject::connect(find<QAction>(QString::fromUtf8(action)), &QAction::triggered,
                         window.get(), [&count] { ++count; });
        click(find<QWidget>(QLatin1String(hitArea)), releaseAt);
        return count;
    }

    RecordingSeams seams;
    std::unique_ptr<MainWindow> window;
};

struct ExchangeRow {
    const char *name;
    int method;
    bool enabled;
};
void PrintTo(const ExchangeRow &row, std::ostream *os) {
    *os << row.name;
}

class ToolbarExchange : public ShellTest, public testing::WithParamInterface<ExchangeRow> {};

// Import and export run their menu actions from the toolbar only for the grid methods, and the
// release counts wherever the pointer ends up.
TEST_P(ToolbarExchange, RunsTheMenuActionOnlyWhenEnabled) {
    window->selectMethod(GetParam().method);
    const int expected = GetParam().enabled ? 1 : 0;
    EXPECT_EQ(triggers("导入", "Label28_0", QPointF(5, 5)), expected);
    EXPECT_EQ(triggers("导出", "Label28_1", QPointF(-300, 900)), expected);
    EXPECT_TRUE(seams.launched.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Methods, ToolbarExchange,
    testing::Values(ExchangeRow{"TwoSample", 0, true}, ExchangeRow{"Paired", 1, true},
                    ExchangeRow{"Anova", 2, true}, ExchangeRow{"FourFold", 3, false},
                    ExchangeRow{"PairedFourFold", 4, false}, ExchangeRow{"RxC", 5, false},
                    ExchangeRow{"Correlation", 6, true}, ExchangeRow{"Graded", 7, false}),
    [](const auto &row) { return std::string(row.param.name); });

TEST_F(ShellTest, ReleaseFarOutsideTheEntryStillOpensItsPage) {
    click(find<QWidget>(QStringLiteral("Label28_3")), QPointF(2000, -500));
    click(find<QWidget>(QStringLiteral("Label28_2")), QPointF(-1, -1));
    EXPECT_EQ(seams.launched, (QStringList{"help.html", "tutorial.html"}));
    EXPECT_EQ(find<QWidget>(QStringLiteral("Picture14_3"))->property("replayValue"), "flat");
}

// A result can be selected and copied where the pointer is; elsewhere it stays a plain label, so
// typing does not pay for its text document. A selection outlives the pointer while it has the
// focus, for a keyboard copy.
TEST_F(ShellTest, AResultIsSelectableUnderThePointerAndKeepsItsSelection) {
    window->activateWindow();
    QCoreApplication::processEvents();
    auto *field = find<QLabel>(QStringLiteral("Label5_6"));
    field->setText(QStringLiteral("2.0154"));
    auto selectable = [field] { return field->textInteractionFlags() != Qt::NoTextInteraction; };
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), field->mapToGlobal(QPointF(1, 1)));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(field, &leave);
    EXPECT_FALSE(selectable());
    QApplication::sendEvent(field, &enter);
    ASSERT_TRUE(selectable());
    QApplication::sendEvent(field, &leave);
    EXPECT_FALSE(selectable());

    QApplication::sendEvent(field, &enter);
    field->setFocus(Qt::MouseFocusReason);
    field->setSelection(0, 4);
    QApplication::sendEvent(field, &leave);
    EXPECT_EQ(field->selectedText(), QStringLiteral("2.01"));
    find<QWidget>(QStringLiteral("Text1_0"))->setFocus();
    EXPECT_FALSE(selectable());
}

// A result label measures its text on one line and wraps it only where it does not fit, and
// draws a line from its measure; its hints and its pixels must be a plain label's (a wrapped
// one's least width aside), framed or not, in either script, wrapped or not, or the panels
// would lay out and look differently.
TEST(ResultLabelHints, AreAPlainLabels) {
    const char *texts[] = {
        "-12.3456", "X1与X2比较：q = 1.2345  P > 0.05",
        "F 界值表没有 ν = 2997 这一行，判断借用了 ν = ∞ 行的界值，报告时以精确 P "
        "为准；各组方差相差明显（Bartlett P < 0.05），应报告 Welch 方差分析的结果。"};
    for (const char *text : texts) {
        for (const bool framed : {false, true}) {
            for (const bool wrapped : {false, true}) {
                QLabel plain(QString::fromUtf8(text));
                ResultLabel result;
                result.setText(plain.text());
                for (QLabel *label : {&plain, static_cast<QLabel *>(&result)}) {
                    label->setWordWrap(wrapped);
                    if (framed) {
                        label->setFrameShape(QFrame::Panel);
                        label->setAlignment(Qt::AlignCenter);
                        label->setMinimumWidth(96);
                    }
                }
                SCOPED_TRACE(testing::Message() << text << framed << wrapped);
                EXPECT_EQ(result.sizeHint(), plain.sizeHint());
                EXPECT_EQ(result.minimumSizeHint().height(), plain.minimumSizeHint().height());
                EXPECT_LE(result.minimumSizeHint().width(), plain.minimumSizeHint().width());
                if (wrapped)
                    for (const int width : {60, 200, 420, 900})
                        EXPECT_EQ(result.heightForWidth(width), plain.heightForWidth(width));
                // Drawn alike at its own size, wider and taller (odd and even spare pixels
                // to centre in), and narrower than its text.
                const QSize hint = plain.sizeHint();
                for (const QSize size : {hint, hint + QSize(37, 9), hint + QSize(120, 4),
                                         QSize(hint.width() / 2, hint.height())}) {
                    plain.resize(size);
                    result.resize(size);
                    EXPECT_EQ(result.grab().toImage(), plain.grab().toImage()) << size.width();
                }
            }
        }
    }
}

// The details box keeps its frame drawn: it must look as a group box does, also after a resize.
TEST(DetailsBoxFrame, LooksAsAGroupBoxAtEverySize) {
    DetailsBox box(Details{}, QStringLiteral("Note"), nullptr);
    QGroupBox plain(box.title());
    for (const QSize size : {QSize(300, 120), QSize(520, 90)}) {
        box.resize(size);
        plain.resize(size);
        EXPECT_EQ(box.grab().toImage(), plain.grab().toImage()) << size.width();
        // A repaint of a few values' boxes, a corner of the frame and the title among them.
        const QRegion pieces = QRegion(20, 40, 60, 16) + QRegion(150, 60, 70, 16) +
                               QRegion(0, 0, 40, 30) + QRegion(size.width() - 30, 70, 30, 20);
        QImage drawn(size, QImage::Format_ARGB32_Premultiplied);
        QImage expected(size, QImage::Format_ARGB32_Premultiplied);
        drawn.fill(Qt::white);
        expected.fill(Qt::white);
        box.render(&drawn, {}, pieces);
        plain.render(&expected, {}, pieces);
        EXPECT_EQ(drawn, expected) << size.width();
    }
}

TEST_F(ShellTest, ExitEndsTheProgramWithAnotherWindowOpen) {
    find<QAction>(QStringLiteral("版本信息"))->trigger();
    find<QAction>(QStringLiteral("退出"))->trigger();
    EXPECT_EQ(seams.ended, 1);
}

TEST_F(ShellTest, VersionWindowIsMadeOnceAndCentred) {
    auto versionWindows = [] {
        QList<QWidget *> found;
        for (QWidget *top : QApplication::topLevelWidgets())
            if (top->objectName() == QLatin1String("Form3"))
                found << top;
        return found;
    };
    find<QAction>(QStringLiteral("版本信息"))->trigger();
    find<QAction>(QStringLiteral("版本信息"))->trigger();
    const QList<QWidget *> made = versionWindows();
    ASSERT_EQ(made.size(), 1);
    QWidget *form = made.front();
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(form->isModal());
    EXPECT_EQ(form->windowTitle(), QStringLiteral("版本信息"));
    EXPECT_EQ(form->findChild<QLabel *>(QStringLiteral("Label1"))->text(),
              QStringLiteral("QuarbelV15.0"));
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(form->x(), (screen.width() - form->width()) / 2);
    EXPECT_EQ(form->y(), (screen.height() - form->height()) / 2);

    // Closed and asked for again: the same window comes back.
    form->close();
    find<QAction>(QStringLiteral("版本信息"))->trigger();
    EXPECT_EQ(versionWindows(), made);
    EXPECT_TRUE(form->isVisible());

    // Its link opens the home page.
    QWidget *link = form->findChild<QWidget *>(QStringLiteral("Label5"));
    click(link, QPointF(link->width() / 2.0, link->height() / 2.0));
    EXPECT_EQ(seams.launched.size(), 1);

    window.reset();
    EXPECT_TRUE(versionWindows().isEmpty());
}

// The calculator is looked up on the search path; with none installed nothing is started.
TEST_F(ShellTest, CalculatorStartsTheFirstInstalledOrNothing) {
    const QByteArray savedPath = qgetenv("PATH");
    QTemporaryDir bin;
    qputenv("PATH", bin.path().toLocal8Bit());
    find<QPushButton>(QStringLiteral("Command5"))->click();
    EXPECT_TRUE(seams.launched.isEmpty());

    for (const char *program : {"xcalc", "kcalc"}) {
        QFile file(bin.filePath(QLatin1String(program)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\n");
        file.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    }
    find<QPushButton>(QStringLiteral("Command5"))->click();
    qputenv("PATH", savedPath);
    EXPECT_EQ(seams.launched, QStringList{"kcalc"});
}

TEST_F(ShellTest, TutorialButtonAndMenuOpenTheTutorial) {
    find<QPushButton>(QStringLiteral("Command4"))->click();
    find<QAction>(QStringLiteral("医学统计学傻瓜教程"))->trigger();
    EXPECT_EQ(seams.launched, (QStringList{"tutorial.html", "tutorial.html"}));
}

} // namespace
