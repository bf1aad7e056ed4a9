#include "ui/survival/survival_panel.h"

#include "core/entry/column_list.h"
#include "core/shell/methods.h"
#include "core/survival/survival_report.h"
#include "ui/common/pending_work.h"
#include "ui/common/plot_view.h"
#include "ui/common/table_window.h"
#include "ui/entry/data_grid.h"
#include "ui/survival/survival_picture.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>

namespace quarbel {
namespace {

constexpr CellRules boxRules{.fullStops = true, .trailingFilter = true, .caretToEnd = true};

// Object names of the fields of group g (1-based): "SurvN_1", "CoxHR_2".
constexpr std::array<const char *, 14> fieldArrays{
    "SurvN",    "SurvEvents",  "SurvMedian",   "SurvMedianLow", "SurvMedianHigh",
    "SurvRate", "SurvRateLow", "SurvRateHigh", "LogRankObs",    "LogRankExp",
    "CoxHR",    "CoxHRLow",    "CoxHRHigh",    "CoxP"};

std::array<QString, 14> textsOf(const SurvivalGroupTexts &g) {
    return {g.n,        g.events,     g.median,     g.medianLow, g.medianHigh, g.rate,   g.rateLow,
            g.rateHigh, g.logRankObs, g.logRankExp, g.hr,        g.hrLow,      g.hrHigh, g.coxP};
}

} // namespace

SurvivalPanel::SurvivalPanel(DataGrid *grid, QWidget *parent) : Panel(parent), m_grid(grid) {
    setObjectName(QStringLiteral("Picture4_8"));
    m_work = new PendingWork([this] { run(); }, this);
    buildFields();
    connect(m_time, &NumericCell::edited, this, &SurvivalPanel::recompute);
    connect(m_bands, &QCheckBox::toggled, m_picture, &PlotView::schedule);
    // The picture draws the last result: a run put off until the typing pauses redraws it.
    m_picture->setDrawer([this](PlotView &view) {
        drawSurvival(view, m_result ? survivalPicture(*m_result) : SurvivalPicture{},
                     m_bands->isChecked());
    });
}

void SurvivalPanel::buildFields() {
    auto *layout = new QGridLayout(this);
    layout->setHorizontalSpacing(6);
    layout->setVerticalSpacing(2);

    auto *top = new QHBoxLayout;
    top->addWidget(new QLabel(tr("时间 t* ="), this));
    m_time = new NumericCell(QStringLiteral("SurvTime"), boxRules, this);
    m_time->setFixedWidth(80);
    top->addWidget(m_time);
    top->addWidget(new QLabel(tr("（求 t* 时的生存率）"), this));
    top->addSpacing(12);
    m_bands = new QCheckBox(tr("显示95%可信带"), this);
    m_bands->setObjectName(QStringLiteral("SurvBands"));
    top->addWidget(m_bands);
    auto *open = new QPushButton(tr("寿命表…"), this);
    open->setObjectName(QStringLiteral("SurvTableButton"));
    top->addWidget(open);
    top->addStretch(1);
    layout->addLayout(top, 0, 0, 1, 10);

    // Two pages of one row a group, so eight groups and the picture fit a 768-pixel screen:
    // the curves' figures, then the tests'.
    auto *tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("SurvTabs"));
    auto *curves = new QWidget(tabs);
    auto *tests = new QWidget(tabs);
    tabs->addTab(curves, tr("中位生存时间与生存率"));
    tabs->addTab(tests, tr("log-rank检验与风险比"));
    auto *curveGrid = new QGridLayout(curves);
    auto *testGrid = new QGridLayout(tests);
    for (QGridLayout *grid : {curveGrid, testGrid}) {
        grid->setHorizontalSpacing(6);
        grid->setVerticalSpacing(2);
        grid->setContentsMargins(4, 4, 4, 4);
    }
    const QStringList first{tr("组别"),         tr("例数"),      tr("事件数"),
                            tr("中位生存时间"), tr("95%CI下限"), tr("95%CI上限"),
                            tr("S(t*)"),        tr("95%CI下限"), tr("95%CI上限")};
    const QStringList second{tr("组别"),      tr("观察事件数"), tr("期望事件数"), tr("HR"),
                             tr("95%CI下限"), tr("95%CI上限"),  tr("P")};
    for (int c = 0; c < first.size(); ++c)
        curveGrid->addWidget(columnHeader(first[c], curves), 0, c);
    for (int c = 0; c < second.size(); ++c)
        testGrid->addWidget(columnHeader(second[c], tests), 0, c);
    for (int g = 0; g < SurvivalMaxGroups; ++g) {
        m_labels[std::size_t(g)] = new QLabel(curves);
        curveGrid->addWidget(m_labels[std::size_t(g)], 1 + g, 0);
        auto *again = new QLabel(tests);
        again->setObjectName(controlName("SurvGroupLabel", g + 1));
        testGrid->addWidget(again, 1 + g, 0);
        for (int f = 0; f < FieldCount; ++f) {
            QWidget *page = f < Obs ? curves : tests;
            QLabel *field = fieldLabel(controlName(fieldArrays[std::size_t(f)], g + 1), page);
            field->setMinimumWidth(64);
            m_fields[std::size_t(g)][std::size_t(f)] = field;
            if (f < Obs)
                curveGrid->addWidget(field, 1 + g, 1 + f);
            else
                testGrid->addWidget(field, 1 + g, 1 + f - Obs);
        }
    }
    for (QGridLayout *grid : {curveGrid, testGrid}) {
        grid->setRowStretch(1 + SurvivalMaxGroups, 1);
        grid->setColumnStretch(10, 1);
    }
    layout->addWidget(tabs, 1, 0, 1, 10);
    const int testRow = 2;
    auto *test = new QHBoxLayout;
    m_chi2 = fieldLabel(QStringLiteral("LogRankChi2"), this);
    m_df = fieldLabel(QStringLiteral("LogRankDf"), this);
    m_p = fieldLabel(QStringLiteral("LogRankP"), this);
    test->addWidget(boldLabel(tr("log-rank检验："), this));
    for (auto [caption, field] :
         {std::pair{QStringLiteral("χ² ="), m_chi2}, std::pair{QStringLiteral("ν ="), m_df},
          std::pair{QStringLiteral("P ="), m_p}}) {
        test->addWidget(new QLabel(caption, this));
        field->setMinimumWidth(64);
        test->addWidget(field);
    }
    test->addStretch(1);
    layout->addLayout(test, testRow, 0, 1, 10);
    m_note = new QLabel(this);
    m_note->setObjectName(QStringLiteral("Note8"));
    m_note->setWordWrap(true);
    layout->addWidget(m_note, testRow + 1, 0, 1, 10);

    m_picture = new PlotView(QStringLiteral("Plot8"), this);
    m_picture->setMinimumSize(360, 280);
    layout->addWidget(m_picture, testRow + 2, 0, 1, 10);
    layout->setRowStretch(testRow + 2, 1);
    layout->setColumnStretch(10, 1);

    m_table = new TableWindow(QStringLiteral("SurvTable"), tr("寿命表"),
                              {tr("组别"), tr("时间"), tr("期初例数"), tr("事件数"), tr("删失数"),
                               tr("生存率 S(t)"), tr("标准误"), tr("95% CI下限"), tr("95% CI上限")},
                              this);
    connect(open, &QPushButton::clicked, this, [this] {
        m_work->flush();
        m_table->show();
        m_table->raise();
    });
    display(nullptr);
}

void SurvivalPanel::recompute() {
    m_work->request(m_grid->list(0)->count());
}

void SurvivalPanel::run() {
    auto ticks = [this](int c) { return m_grid->list(c)->ticks(); };
    auto texts = [this](int c) {
        const QStringList &list = m_grid->list(c)->texts();
        return std::span<const QString>(list.constData(), std::size_t(list.size()));
    };
    const SurvivalColumns input{ticks(0), ticks(1), ticks(2), texts(0), texts(1), texts(2)};
    display(std::make_shared<const SurvivalResult>(analyseSurvival(input, m_time->text())));
}

void SurvivalPanel::display(std::shared_ptr<const SurvivalResult> result) {
    m_result = std::move(result);
    const std::size_t used = m_result ? m_result->groups.size() : 0;
    for (std::size_t g = 0; g < m_fields.size(); ++g) {
        const bool shown = g < used || (g == 0 && used == 0);
        const std::array<QString, 14> texts =
            g < used ? textsOf(m_result->groups[g]) : std::array<QString, 14>{};
        const QString label = g < used ? m_result->groups[g].label : QString();
        m_labels[g]->setText(label);
        m_labels[g]->setVisible(shown);
        auto *again = findChild<QLabel *>(controlName("SurvGroupLabel", int(g) + 1));
        again->setText(label);
        again->setVisible(shown);
        for (std::size_t f = 0; f < texts.size(); ++f) {
            m_fields[g][f]->setText(texts[f]);
            m_fields[g][f]->setVisible(shown);
        }
    }
    m_chi2->setText(m_result ? m_result->logRankChi2 : QString());
    m_df->setText(m_result ? m_result->logRankDf : QString());
    m_p->setText(m_result ? m_result->logRankP : QString());
    m_note->setText(m_result ? m_result->note : QString());
    if (m_result)
        m_table->setRows(qsizetype(m_result->lifeTable.size()), [result = m_result](qsizetype row) {
            return lifeTableTexts(*result, result->lifeTable[std::size_t(row)]);
        });
    else
        m_table->setRows(0, {});
    m_picture->schedule();
}

void SurvivalPanel::clearInputs() {
    m_time->clear();
}

void SurvivalPanel::clearResults() {
    m_work->cancel();
    display(nullptr);
}

ReportContent SurvivalPanel::report() const {
    m_work->flush();
    return m_result ? survivalReport(*m_result, m_time->text()) : ReportContent{};
}

MethodEntry survivalMethod(DataGrid *threeGroup, QWidget *owner) {
    auto *panel = new SurvivalPanel(threeGroup, owner);
    MethodEntry entry;
    entry.method = Survival;
    entry.input = threeGroup;
    entry.result = panel;
    entry.grid = threeGroup;
    entry.columnCaptions = {QCoreApplication::translate("Survival", "时间"),
                            QCoreApplication::translate("Survival", "结局(1/0)"),
                            QCoreApplication::translate("Survival", "组别")};
    entry.firstCell = QStringLiteral("Text30_0");
    entry.stored = [panel](int) { panel->recompute(); };
    entry.clearInputs = [panel] { panel->clearInputs(); };
    entry.report = [panel] { return panel->report(); };
    return entry;
}

} // namespace quarbel
