#include "ui/common/plot_view.h"
#include "ui/common/seams.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

using namespace quarbel;

namespace {

class SaveSeams : public Seams {
  public:
    QStringList messages;
    QString answer;
    QString filter; // the type the person picks in the dialog; empty keeps the default
    QString saveFileName(QWidget *, const QString &, const QString &, const QString &filters,
                         QString *selected) override {
        if (!filter.isEmpty())
            *selected = filters.split(QStringLiteral(";;")).filter(filter).value(0);
        return answer;
    }
    bool confirmOverwrite(QWidget *, const QString &) override { return true; }
    void message(QWidget *, const QString &title, const QString &text) override {
        messages << title + u' ' + text;
    }
};

struct InstalledSeams {
    SaveSeams seams;
    InstalledSeams() { Seams::install(&seams); }
    ~InstalledSeams() { Seams::install(nullptr); }
};

void runEventsFor(int ms) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
}

QByteArray headOf(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(64) : QByteArray();
}

// Redraws follow the changes but are coalesced, also after the picture was hidden and shown.
TEST(PlotViewRedraw, CoalescesChangesAndDrawsTheLastState) {
    PlotView view(QStringLiteral("Plot"), nullptr);
    int value = 0, drawn = -1;
    view.setDrawer([&](PlotView &) { drawn = value; });
    view.show();
    runEventsFor(PlotView::CoalesceMs + 50);
    const int start = view.redrawCount();
    for (value = 1; value <= 50; ++value)
        view.schedule();
    QApplication::processEvents();
    EXPECT_EQ(view.redrawCount(), start) << "a change must not draw at once";
    runEventsFor(PlotView::CoalesceMs + 80);
    EXPECT_EQ(view.redrawCount(), start + 1);
    EXPECT_EQ(drawn, 51);

    view.hide();
    view.schedule();
    runEventsFor(PlotView::CoalesceMs + 50);
    EXPECT_EQ(view.redrawCount(), start + 1) << "a hidden picture waits";
    view.show();
    runEventsFor(20);
    EXPECT_EQ(view.redrawCount(), start + 2) << "and is drawn once shown";
    // Showing must not shorten the coalescing period for later changes.
    view.schedule();
    runEventsFor(20);
    EXPECT_EQ(view.redrawCount(), start + 2);
    view.flush();
    EXPECT_EQ(view.redrawCount(), start + 3);
    EXPECT_FALSE(view.isPending());
}

// A picture slower to draw than a key may wait is put off while the changes keep coming, and
// drawn once when they pause.
TEST(PlotViewRedraw, ASlowPictureWaitsForThePauseInTyping) {
    PlotView view(QStringLiteral("Plot"), nullptr);
    view.setDrawer([](PlotView &) { QThread::msleep(PlotView::SlowRedrawMs + 10); });
    view.show();
    runEventsFor(PlotView::SlowRedrawMs + 20); // drawn once shown
    const int start = view.redrawCount();
    for (int key = 0; key < 10; ++key) {
        view.schedule();
        runEventsFor(PlotView::SlowRedrawMs + 10);
    }
    EXPECT_EQ(view.redrawCount(), start) << "drawn while the changes kept coming";
    runEventsFor(4 * (PlotView::SlowRedrawMs + 10) + PlotView::CoalesceMs);
    EXPECT_EQ(view.redrawCount(), start + 1);
    EXPECT_FALSE(view.isPending());
}

TEST(PlotViewSave, WritesEachTypeAndNothingOnFailure) {
    QTemporaryDir dir;
    PlotView view(QStringLiteral("Plot"), nullptr);
    view.resize(400, 300);
    view.setDrawer([](PlotView &v) {
        v.resetFrame(QStringLiteral("标题"), QStringLiteral("组别"), QStringLiteral("观察值"));
    });
    ASSERT_TRUE(view.saveTo(dir.filePath(QStringLiteral("a.png"))));
    ASSERT_TRUE(view.saveTo(dir.filePath(QStringLiteral("a.svg"))));
    ASSERT_TRUE(view.saveTo(dir.filePath(QStringLiteral("a.pdf"))));
    EXPECT_TRUE(headOf(dir.filePath(QStringLiteral("a.png"))).startsWith("\x89PNG"));
    EXPECT_TRUE(headOf(dir.filePath(QStringLiteral("a.pdf"))).startsWith("%PDF-"));
    QFile svg(dir.filePath(QStringLiteral("a.svg")));
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    EXPECT_TRUE(svg.readAll().contains("<svg"));

    // 300 dpi at the size on screen.
    const QImage png(dir.filePath(QStringLiteral("a.png")));
    const double scale = 300.0 / view.logicalDpiX();
    EXPECT_NEAR(png.width(), 400 * scale, 1);
    EXPECT_NEAR(png.height(), 300 * scale, 1);
    EXPECT_NEAR(png.dotsPerMeterX() * 0.0254, 300, 1);

    // A folder that does not exist, and a type no writer knows: false, and no file at all.
    EXPECT_FALSE(view.saveTo(dir.filePath(QStringLiteral("none/b.png"))));
    EXPECT_FALSE(view.saveTo(dir.filePath(QStringLiteral("b.bmp"))));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 3);
}

TEST(PlotViewSave, DialogAddsTheChosenTypeAndReportsFailure) {
    QTemporaryDir dir;
    InstalledSeams installed;
    PlotView view(QStringLiteral("Plot"), nullptr);
    view.resize(300, 240);
    installed.seams.answer = dir.filePath(QStringLiteral("chart"));
    installed.seams.filter = QStringLiteral("SVG");
    view.saveWithDialog();
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("chart.svg"))));
    EXPECT_TRUE(installed.seams.messages.isEmpty());

    installed.seams.answer = dir.filePath(QStringLiteral("missing/chart.pdf"));
    view.saveWithDialog();
    EXPECT_EQ(installed.seams.messages, QStringList{QStringLiteral("提示 图形保存失败！")});
    EXPECT_FALSE(QFile::exists(installed.seams.answer));

    // The context menu holds the two entries.
    QStringList entries;
    for (QAction *action : view.actions())
        entries << action->text();
    EXPECT_EQ(entries, (QStringList{QStringLiteral("复制图形"), QStringLiteral("保存图形…")}));
}

} // namespace
