#include "ui/correlation/correlation_panel.h"

#include "core/correlation/correlation.h"
#include "ui/common/details_box.h"
#include "ui/common/panel_parts.h"
#include "ui/rank/rank_box.h"

#include <QGridLayout>
#include <QLabel>
#include <QTabWidget>

namespace quarbel {

CorrelationPanel::CorrelationPanel(std::vector<const ColumnList *> lists, QWidget *parent)
    : Panel(parent) {
    setObjectName(QStringLiteral("Picture4_6"));
    auto *layout = new QGridLayout(this);
    m_n = resultField(QStringLiteral("Label13_6"), this);
    m_r = resultField(QStringLiteral("Label13_7"), this);
    m_t = resultField(QStringLiteral("Label13_12"), this);
    addFieldRows(layout, 0,
                 {{QStringLiteral("例数(N)="), m_n},
                  {QStringLiteral("<i>r</i> ="), m_r},
                  {QStringLiteral("<i>t</i><sub>r</sub> ="), m_t}});
    for (int i = 0; i < 3; ++i)
        m_critical[std::size_t(i)] = resultField(QStringLiteral("Label5_%1").arg(13 + i), this);
    addCriticalRows(layout, 3, QStringLiteral("r "), m_critical);

    auto *judgementCaption = new QLabel(QStringLiteral("结果判断："), this);
    makeBold(judgementCaption);
    m_judgement = resultField(QStringLiteral("Label5_16"), this, true);
    auto *equationCaption = new QLabel(QStringLiteral("回归方程："), this);
    makeBold(equationCaption);
    m_equation = resultField(QStringLiteral("Label5_17"), this, true);
    layout->addWidget(judgementCaption, 6, 0);
    layout->addWidget(m_judgement, 6, 1);
    layout->addWidget(equationCaption, 7, 0);
    layout->addWidget(m_equation, 7, 1);
    m_details = new DetailsBox(correlationDetailsLayout(), QStringLiteral("Note6"), this);
    m_rank = new RankBox(Correlation, std::move(lists), this);
    layout->addWidget(detailsWithRankTab(m_details, m_rank, QStringLiteral("RankTabs6"), this), 8,
                      0, 1, 2);
    layout->setRowStretch(9, 1);

    // The equation is assembled from these; they are never shown.
    m_slope = resultField(QStringLiteral("Label7"), this);
    m_intercept = resultField(QStringLiteral("Label8"), this);
    m_slope->hide();
    m_intercept->hide();
}

void CorrelationPanel::recompute(const PairTotals &pairs) {
    const CorrelationResult r = correlate(pairs);
    m_n->setText(r.n);
    m_r->setText(r.r);
    m_t->setText(r.t);
    m_critical[0]->setText(r.critical05);
    m_critical[1]->setText(r.critical01);
    m_critical[2]->setText(r.critical001);
    m_judgement->setText(r.judgement);
    m_equation->setText(r.equation);
    m_slope->setText(r.slope);
    m_intercept->setText(r.intercept);
    m_details->write(r.details);
}

void CorrelationPanel::clearResults() {
    for (QLabel *field : {m_n, m_r, m_t, m_judgement, m_equation})
        field->clear();
    for (QLabel *field : m_critical)
        field->clear();
    m_details->clear();
    m_rank->refresh();
}

} // namespace quarbel
