// The rank values of the four grid methods as the window shows them after an import, for every
// data set R was given (data/rank_reference.R): the same texts the computation's own table
// checks, now through the lists, the pending run and the labels.

#include "core/rank/rank_details.h"
#include "tables/data_rows.h"
#include "ui/common/pending_work.h"
#include "ui/entry/data_grid.h"
#include "ui/shell/main_window.h"

#include <gtest/gtest.h>

#include <QLabel>

using namespace quarbel;

namespace {

struct PanelCase {
    Method method;
    int columns;
    DataRow row;
};

void PrintTo(const PanelCase &c, std::ostream *os) {
    *os << c.row.name;
}

std::vector<PanelCase> panelCases() {
    std::vector<PanelCase> cases;
    const std::pair<Method, const char *> files[] = {{TwoSampleT, "two_sample.txt"},
                                                     {PairedT, "paired.txt"},
                                                     {Anova, "anova.txt"},
                                                     {Correlation, "correlation.txt"}};
    for (const auto &[method, file] : files)
        for (DataRow &row : dataRows(file))
            cases.push_back({method, method == Anova ? 3 : 2, std::move(row)});
    return cases;
}

// A column of the reference file as the grid holds it: "NA" is an empty cell.
QStringList cells(const QString &field) {
    QStringList texts = field.split(u' ', Qt::SkipEmptyParts);
    for (QString &t : texts)
        if (t == u"NA")
            t.clear();
    return texts;
}

class RankPanelAgainstR : public testing::TestWithParam<PanelCase> {};

TEST_P(RankPanelAgainstR, ShowsWhatRShowsAfterAnImport) {
    const PanelCase &c = GetParam();
    MainWindow window;
    window.selectMethod(c.method);
    QList<QStringList> columns;
    qsizetype rows = 0;
    for (int i = 0; i < c.columns; ++i) {
        columns.append(cells(c.row.fields.at(i)));
        rows = std::max(rows, columns.back().size());
    }
    DataGrid *grid = c.method == Anova ? window.threeGroupGrid() : window.twoColumnGrid();
    grid->load(columns, {}, rows + 10);
    PendingWork::flushAll();

    const Details layout = rankLayout(c.method);
    QStringList shown, expected;
    for (qsizetype i = 0; i < layout.items.size(); ++i) {
        const auto *label = window.findChild<QLabel *>(layout.items[i].name);
        shown << layout.items[i].name + u'=' +
                     (label ? label->text() : QStringLiteral("<missing>"));
        const QString &t = c.row.fields.at(c.columns + i);
        expected << layout.items[i].name + u'=' + (t == u"-" ? QString() : t);
    }
    EXPECT_EQ(shown, expected);
    // The note asks for the rank test exactly when R found a group not normal.
    const QString note =
        window.findChild<QLabel *>(QStringLiteral("NoteRank%1").arg(int(c.method)))->text();
    EXPECT_EQ(note.contains(QStringLiteral("请报告")),
              c.row.fields.at(c.columns + layout.items.size()) == u"1")
        << note.toStdString();
}

INSTANTIATE_TEST_SUITE_P(R, RankPanelAgainstR, testing::ValuesIn(panelCases()),
                         [](const auto &shown) {
                             return std::to_string(int(shown.param.method)) + '_' +
                                    shown.param.row.name;
                         });

} // namespace
