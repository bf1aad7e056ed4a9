#include "ui/kgroups/kgroups_panel.h"

#include "core/entry/column_list.h"
#include "core/shell/methods.h"
#include "ui/common/details_box.h"
#include "ui/common/pending_work.h"
#include "ui/common/plot_view.h"
#include "ui/entry/data_grid.h"
#include "ui/kgroups/kgroups_picture.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTabWidget>
#include <QTableWidget>

namespace quarbel {
namespace {

// Object names of group g's fields (1-based): "KGroupCode_1", "KGroupShapiroP_10".
constexpr std::array<const char *, 8> fieldArrays{"KGroupCode",  "KGroupN",       "KGroupMean",
                                                  "KGroupSd",    "KGroupMedian",  "KGroupP25of",
                                                  "KGroupP75of", "KGroupShapiroP"};

std::array<QString, 8> textsOf(const KGroupTexts &g) {
    return {g.code, g.n, g.mean, g.sd, g.median, g.p25, g.p75, g.shapiroP};
}

} // namespace

KGroupsPanel::KGroupsPanel(DataGrid *grid, QWidget *parent) : Panel(parent), m_grid(grid) {
    setObjectName(QStringLiteral("Picture4_12"));
    m_work = new PendingWork([this] { run(); }, this);
    auto *layout = new QGridLayout(this);
    layout->setVerticalSpacing(4);

    // Two pages, so ten groups, the tests and the picture fit a 768-pixel screen.
    auto *tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("KGroupTabs"));
    // No pane frame: the style would draw it again under every value a key changes.
    tabs->setDocumentMode(true);
    auto *describe = new QWidget(tabs);
    tabs->addTab(describe, tr("各组统计描述"));
    auto *groupGrid = new QGridLayout(describe);
    groupGrid->setHorizontalSpacing(6);
    groupGrid->setVerticalSpacing(2);
    groupGrid->setContentsMargins(4, 4, 4, 4);
    const QStringList captions{tr("组别"),   tr("例数"), tr("均数"), tr("标准差"),
                               tr("中位数"), tr("P25"),  tr("P75"),  tr("正态性 P")};
    for (int c = 0; c < captions.size(); ++c)
        groupGrid->addWidget(columnHeader(captions[c], describe), 0, c);
    for (int g = 0; g < KGroupsMax; ++g)
        for (int f = 0; f < FieldCount; ++f) {
            // Without a frame: a framed field has the style draw its frame again for every
            // value a key changes, which alone would take most of a key's time.
            QLabel *field = resultField(controlName(fieldArrays[std::size_t(f)], g + 1), describe);
            field->setAlignment(Qt::AlignCenter);
            field->setMinimumWidth(f < 2 ? 48 : 72);
            m_fields[std::size_t(g)][std::size_t(f)] = field;
            groupGrid->addWidget(field, 1 + g, f);
        }
    groupGrid->setRowStretch(1 + KGroupsMax, 1);
    groupGrid->setColumnStretch(FieldCount, 1);

    m_pairs = new QTableWidget(0, int(kGroupPairHeader().size()), tabs);
    m_pairs->setObjectName(QStringLiteral("KGroupPairs"));
    m_pairs->setHorizontalHeaderLabels(kGroupPairHeader());
    m_pairs->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pairs->verticalHeader()->setVisible(false);
    // Rows as tall as a line of text, so more pairs show without scrolling.
    m_pairs->verticalHeader()->setDefaultSectionSize(m_pairs->fontMetrics().height() + 4);
    tabs->addTab(m_pairs, tr("两两比较"));
    layout->addWidget(tabs, 0, 0);

    m_tests = new DetailsBox(kGroupsLayout(), QStringLiteral("Note12"), this, 4);
    m_tests->setTitle(tr("方差分析、方差齐性检验与秩和检验"));
    layout->addWidget(m_tests, 1, 0);
    layout->setRowStretch(2, 1);
    m_picture = attachPicture(this, QStringLiteral("Plot12"));
    // The picture draws what the last complete run settled, from the numbers it made: a
    // redraw while the typing goes on sorts nothing.
    m_picture->setDrawer([this](PlotView &view) {
        drawKGroups(view, m_complete ? m_complete->picture : std::vector<KGroupPicture>{});
    });

    for (int c = 0; c < 2; ++c) {
        connect(m_grid->list(c), &ColumnList::entryChanged, this,
                [this, c](qsizetype row, std::int64_t before, std::int64_t after) {
                    entryChanged(c, row, before, after);
                });
        connect(m_grid->list(c), &ColumnList::replaced, this, [this] { m_totalsStale = true; });
    }
    display(nullptr);
}

// The totals follow every entry while the method waits too, as long as the codes stay within
// ten groups: beyond that they are rebuilt when next needed.
void KGroupsPanel::entryChanged(int column, qsizetype row, std::int64_t before,
                                std::int64_t after) {
    if (m_totalsStale)
        return;
    const std::span<const std::int64_t> other = m_grid->list(1 - column)->ticks();
    const std::int64_t partner =
        row < qsizetype(other.size()) ? other[std::size_t(row)] : ColumnList::Missing;
    if (column == 0)
        m_totals.valueChanged(before, after, partner);
    else
        m_totals.codeChanged(partner, before, after);
    m_totalsStale = m_totals.overflowed();
}

KGroupsColumns KGroupsPanel::columns() const {
    return {m_grid->list(0)->ticks(), m_grid->list(1)->ticks()};
}

void KGroupsPanel::recompute() {
    m_work->request(m_grid->list(0)->count());
    if (!m_work->isPending())
        return;
    // Put off: the means and their tests from the running totals now, the rest when the typing
    // pauses.
    if (m_totalsStale) {
        m_totals = KGroupTotals::of(columns());
        m_totalsStale = m_totals.overflowed();
    }
    display(std::make_shared<const KGroupsResult>(kGroupMeans(m_totals)));
}

void KGroupsPanel::run() {
    display(std::make_shared<const KGroupsResult>(analyseKGroups(columns())));
}

void KGroupsPanel::display(std::shared_ptr<const KGroupsResult> result) {
    m_result = std::move(result);
    if (!m_result || m_result->complete)
        m_complete = m_result;
    const std::size_t used = m_result ? m_result->groups.size() : 0;
    for (std::size_t g = 0; g < m_fields.size(); ++g) {
        const std::array<QString, 8> texts =
            g < used ? textsOf(m_result->groups[g]) : std::array<QString, 8>{};
        for (std::size_t f = 0; f < texts.size(); ++f)
            m_fields[g][f]->setText(texts[f]);
    }
    const std::vector<QStringList> none;
    const std::vector<QStringList> &pairs = m_result ? m_result->pairs : none;
    // A key changes a few texts of the table: only those are written, and the columns are
    // fitted to their texts only when the number of pairs changes or the result is complete.
    const bool resized = m_pairs->rowCount() != int(pairs.size());
    m_pairs->setRowCount(int(pairs.size()));
    for (std::size_t r = 0; r < pairs.size(); ++r)
        for (int c = 0; c < pairs[r].size(); ++c) {
            QTableWidgetItem *item = m_pairs->item(int(r), c);
            if (!item) {
                item = new QTableWidgetItem;
                item->setTextAlignment(Qt::AlignCenter);
                m_pairs->setItem(int(r), c, item);
            }
            if (item->text() != pairs[r][c])
                item->setText(pairs[r][c]);
        }
    // The rank columns fill in only with a complete result: the columns are fitted again then,
    // or Dunn's z would show elided.
    if (resized || (m_result && m_result->complete))
        m_pairs->resizeColumnsToContents();
    if (m_result)
        m_tests->write(m_result->tests);
    else
        m_tests->clear();
    // The picture shows the values, which only a complete run has settled.
    if (!m_result || m_result->complete)
        m_picture->schedule();
}

void KGroupsPanel::clearResults() {
    m_work->cancel();
    display(nullptr);
}

ReportContent KGroupsPanel::report() const {
    m_work->flush();
    return m_result ? kGroupsReport(*m_result) : ReportContent{};
}

MethodEntry kGroupsMethod(DataGrid *twoColumn, QWidget *owner) {
    auto *panel = new KGroupsPanel(twoColumn, owner);
    MethodEntry entry;
    entry.method = KGroups;
    entry.input = twoColumn;
    entry.result = panel;
    entry.grid = twoColumn;
    entry.columnCaptions = {QCoreApplication::translate("KGroupsPanel", "观察值"),
                            QCoreApplication::translate("KGroupsPanel", "组别")};
    entry.firstCell = QStringLiteral("Text1_0");
    entry.stored = [panel](int) { panel->recompute(); };
    entry.report = [panel] { return panel->report(); };
    return entry;
}

} // namespace quarbel
