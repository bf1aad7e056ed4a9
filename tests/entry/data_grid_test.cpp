#include "core/entry/column_list.h"
#include "ui/entry/data_grid.h"
#include "ui/entry/numeric_cell.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QScrollBar>

#include <gtest/gtest.h>

#include <memory>

using namespace quarbel;

namespace {

// One grid over its own lists, shown and active so that focus moves can be observed.
struct Grid {
    explicit Grid(bool threeGroups) {
        for (int i = 0; i < (threeGroups ? 3 : 2); ++i) {
            lists.push_back(std::make_unique<ColumnList>(QStringLiteral("L%1").arg(i)));
            lists.back()->reset(15);
        }
        grid.reset(threeGroups
                       ? DataGrid::threeGroup(lists[0].get(), lists[1].get(), lists[2].get(),
                                              refresh, nullptr)
                       : DataGrid::twoColumn(lists[0].get(), lists[1].get(), refresh, nullptr));
        QObject::connect(grid.get(), &DataGrid::stored, grid.get(),
                         [this](int column) { storedColumns.push_back(column); });
        grid->show();
        grid->activateWindow();
        QApplication::processEvents();
    }

    void key(int column, int row, int code, QEvent::Type type) {
        QKeyEvent event(type, code, Qt::NoModifier);
        QApplication::sendEvent(grid->cell(column, row), &event);
    }
    void press(int column, int row, int code) { key(column, row, code, QEvent::KeyPress); }
    void release(int column, int row, int code) { key(column, row, code, QEvent::KeyRelease); }
    int focusedRow(int column) const {
        for (int r = 0; r < DataGrid::Rows; ++r)
            if (grid->cell(column, r)->hasFocus())
                return r;
        return -1;
    }
    int p() const { return grid->scrollBar()->value(); }
    int max() const { return grid->scrollBar()->maximum(); }

    bool refresh{false};
    std::vector<std::unique_ptr<ColumnList>> lists;
    std::unique_ptr<DataGrid> grid;
    std::vector<int> storedColumns;
};

struct GrowthCase {
    const char *name;
    bool threeGroups;
    int p;
    int column;
    int row;
    int listLengths[3]; // before; 0 where the grid has no such list
    int maxAfter;
    int lengthsAfter[3];
};

class Growth : public testing::TestWithParam<GrowthCase> {};

TEST_P(Growth, LastRowKeepsFourEntriesBelowTheWindow) {
    const GrowthCase &c = GetParam();
    Grid g(c.threeGroups);
    for (std::size_t i = 0; i < g.lists.size(); ++i)
        g.lists[i]->reset(c.listLengths[i]);
    g.grid->scrollBar()->setValue(c.p);
    g.grid->cell(c.column, c.row)->setText(QStringLiteral("4"));
    EXPECT_EQ(g.max(), c.maxAfter);
    for (std::size_t i = 0; i < g.lists.size(); ++i)
        EXPECT_EQ(g.lists[i]->count(), c.lengthsAfter[i]) << "list " << i;
    EXPECT_EQ(g.lists[std::size_t(c.column)]->at(c.p + c.row), "4");
}

INSTANTIATE_TEST_SUITE_P(
    Grids, Growth,
    testing::Values(
        GrowthCase{"TopWindowLeavesRoom", false, 0, 0, 9, {15, 15}, 5, {15, 15}},
        GrowthCase{"ScrolledTwoGrowsByOne", false, 2, 0, 9, {15, 15}, 6, {16, 16}},
        GrowthCase{"AtMaxGrowsByFour", false, 5, 1, 9, {15, 15}, 9, {19, 19}},
        GrowthCase{"RowAboveLastNeverGrows", false, 5, 0, 8, {15, 15}, 5, {15, 15}},
        // The two-column grid counts the first list whichever column changed.
        GrowthCase{"TwoColumnCountsFirstList", false, 2, 1, 9, {15, 20}, 6, {16, 21}},
        GrowthCase{"ThreeGroupsScrolledTwo", true, 2, 1, 9, {15, 15, 15}, 6, {16, 16, 16}},
        // The three-group grid counts the list of the group that changed.
        GrowthCase{"ThreeGroupsCountOwnList", true, 2, 1, 9, {15, 20, 15}, 6, {15, 20, 15}},
        GrowthCase{"ThreeGroupsOwnListShort", true, 2, 2, 9, {20, 20, 12}, 6, {24, 24, 16}}),
    [](const auto &row) { return std::string(row.param.name); });

TEST(DataGrid, StoresTrimmedTextAndAnnouncesTheColumn) {
    Grid g(true);
    g.grid->cell(2, 3)->setText(QStringLiteral("  7.5"));
    EXPECT_EQ(g.lists[2]->at(3), "7.5");
    EXPECT_EQ(g.storedColumns, std::vector<int>{2});
}

TEST(DataGrid, FilterWriteBacksStoreOnlyTheFinalText) {
    Grid g(false);
    g.grid->cell(1, 0)->setText(QStringLiteral("5 kg"));
    EXPECT_EQ(g.grid->cell(1, 0)->text(), "5");
    EXPECT_EQ(g.lists[1]->at(0), "5");
    EXPECT_EQ(g.storedColumns, std::vector<int>{1});
}

TEST(DataGrid, ScrollingNeitherStoresNorAnnounces) {
    Grid g(false);
    QStringList first, second;
    for (int i = 0; i < 15; ++i) {
        first << QString::number(i);
        second << (i % 3 ? QString::number(100 + i) : QString());
    }
    g.lists[0]->replaceAll(first);
    g.lists[1]->replaceAll(second);
    g.grid->scrollBar()->setValue(5);
    EXPECT_TRUE(g.storedColumns.empty());
    EXPECT_EQ(g.grid->cell(0, 0)->text(), "5");
    EXPECT_EQ(g.grid->cell(1, 0)->text(), "105");
    EXPECT_EQ(g.grid->cell(1, 1)->text(), "");
    EXPECT_EQ(g.grid->findChild<QLabel *>(QStringLiteral("Label3_9"))->text(), "15");
    g.grid->scrollBar()->setValue(0);
    EXPECT_EQ(g.grid->cell(0, 9)->text(), "9");
    EXPECT_EQ(g.lists[0]->texts(), first);
    EXPECT_EQ(g.lists[1]->texts(), second);
    EXPECT_TRUE(g.storedColumns.empty());
    EXPECT_FALSE(g.refresh);
}

TEST(DataGrid, SharedRefreshFlagSilencesCells) {
    Grid g(false);
    g.refresh = true;
    g.grid->cell(0, 0)->setText(QStringLiteral("3"));
    EXPECT_EQ(g.lists[0]->at(0), "");
    EXPECT_TRUE(g.storedColumns.empty());
}

TEST(DataGrid, ShortListsGrowRatherThanDropTypedText) {
    Grid g(false);
    g.lists[0]->reset(3);
    g.lists[1]->reset(3);
    g.grid->cell(0, 6)->setText(QStringLiteral("9"));
    EXPECT_EQ(g.lists[0]->at(6), "9");
    EXPECT_EQ(g.lists[1]->count(), g.lists[0]->count());
}

struct KeyCase {
    const char *name;
    bool threeGroups;
    int column;
    int row;
    int p;
    int code;
    bool onRelease; // the key event that should act
    int focusAfter;
    int pAfter;
};

class Keys : public testing::TestWithParam<KeyCase> {};

TEST_P(Keys, MoveWithinTheColumnOrScrollAtTheEdge) {
    const KeyCase &c = GetParam();
    Grid g(c.threeGroups);
    g.grid->scrollBar()->setValue(c.p);
    g.grid->cell(c.column, c.row)->setFocus();
    // The event that should not act leaves everything in place.
    if (c.onRelease)
        g.press(c.column, c.row, c.code);
    else
        g.release(c.column, c.row, c.code);
    EXPECT_EQ(g.focusedRow(c.column), c.row);
    EXPECT_EQ(g.p(), c.p);
    if (c.onRelease)
        g.release(c.column, c.row, c.code);
    else
        g.press(c.column, c.row, c.code);
    EXPECT_EQ(g.focusedRow(c.column), c.focusAfter);
    EXPECT_EQ(g.p(), c.pAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Grids, Keys,
    testing::Values(KeyCase{"EnterMovesDown", false, 0, 3, 0, Qt::Key_Return, false, 4, 0},
                    KeyCase{"KeypadEnterMovesDown", false, 1, 3, 0, Qt::Key_Enter, false, 4, 0},
                    KeyCase{"DownMovesDown", true, 2, 0, 0, Qt::Key_Down, false, 1, 0},
                    KeyCase{"EnterAtLastRowScrolls", false, 1, 9, 0, Qt::Key_Return, false, 9, 1},
                    KeyCase{"DownAtLastRowScrolls", true, 0, 9, 3, Qt::Key_Down, false, 9, 4},
                    KeyCase{"EnterAtMaxStays", false, 0, 9, 5, Qt::Key_Return, false, 9, 5},
                    KeyCase{"UpFirstColumnOnRelease", false, 0, 5, 0, Qt::Key_Up, true, 4, 0},
                    KeyCase{"UpSecondColumnOnPress", false, 1, 5, 0, Qt::Key_Up, false, 4, 0},
                    KeyCase{"UpFirstColumnAtTopScrolls", false, 0, 0, 3, Qt::Key_Up, true, 0, 2},
                    KeyCase{"UpSecondColumnAtTopScrolls", false, 1, 0, 3, Qt::Key_Up, false, 0, 2},
                    KeyCase{"UpAtTopOfListStays", false, 1, 0, 0, Qt::Key_Up, false, 0, 0},
                    KeyCase{"UpThreeGroupsFirstOnPress", true, 0, 5, 0, Qt::Key_Up, false, 4, 0},
                    KeyCase{"UpThreeGroupsAtTopScrolls", true, 2, 0, 1, Qt::Key_Up, false, 0, 0}),
    [](const auto &row) { return std::string(row.param.name); });

TEST(DataGrid, AutoRepeatedReleaseDoesNotMoveTheFirstColumn) {
    Grid g(false);
    g.grid->cell(0, 5)->setFocus();
    QKeyEvent repeat(QEvent::KeyRelease, Qt::Key_Up, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(g.grid->cell(0, 5), &repeat);
    EXPECT_EQ(g.focusedRow(0), 5);
}

TEST(DataGrid, EnterAtTheEdgeShowsTheNextEntryInTheLastRow) {
    Grid g(true);
    QStringList values;
    for (int i = 0; i < 15; ++i)
        values << QString::number(i * 10);
    g.lists[1]->replaceAll(values);
    g.grid->cell(1, 9)->setFocus();
    g.press(1, 9, Qt::Key_Return);
    EXPECT_EQ(g.grid->cell(1, 9)->text(), "100");
    EXPECT_EQ(g.grid->findChild<QLabel *>(QStringLiteral("Label30_9"))->text(), "11");
    EXPECT_EQ(g.focusedRow(1), 9);
}

} // namespace
