#include "ui/means/paired_panel.h"

#include "core/means/paired.h"
#include "ui/common/details_box.h"
#include "ui/common/panel_parts.h"
#include "ui/rank/rank_box.h"

#include <QGridLayout>
#include <QLabel>
#include <QTabWidget>

namespace quarbel {

PairedPanel::PairedPanel(std::vector<const ColumnList *> lists, QWidget *parent) : Panel(parent) {
    setObjectName(QStringLiteral("Picture4_1"));
    auto *layout = new QGridLayout(this);
    m_n = resultField(QStringLiteral("Label13_5"), this);
    m_mean = resultField(QStringLiteral("Label13_4"), this);
    m_sd = resultField(QStringLiteral("Label13_3"), this);
    addFieldRows(layout, 0,
                 {{QStringLiteral("对子数(N)="), m_n},
                  {QStringLiteral("对子差值均数(d)="), m_mean},
                  {QStringLiteral("对子差值均数标准差(Sd)="), m_sd}});
    // The critical values take items 10, 9 and 8 for the levels 0.05, 0.01 and 0.001.
    for (int i = 0; i < 3; ++i)
        m_critical[std::size_t(i)] = resultField(QStringLiteral("Label5_%1").arg(10 - i), this);
    addCriticalRows(layout, 3, QString(), m_critical);
    layout->addWidget(new QLabel(QStringLiteral("结果判断："), this), 6, 0);
    m_result = resultField(QStringLiteral("Label5_7"), this, true);
    layout->addWidget(m_result, 7, 0, 1, 2);
    m_details = new DetailsBox(pairedDetailsLayout(), QStringLiteral("Note1"), this, 3);
    m_rank = new RankBox(PairedT, std::move(lists), this);
    layout->addWidget(detailsWithRankTab(m_details, m_rank, QStringLiteral("RankTabs1"), this), 8,
                      0, 1, 2);
    layout->setRowStretch(9, 1);
}

void PairedPanel::recompute(const PairTotals &pairs) {
    const PairedResult r = pairedT(pairs);
    m_n->setText(r.n);
    m_mean->setText(r.meanDifference);
    m_sd->setText(r.sdDifference);
    m_critical[0]->setText(r.critical05);
    m_critical[1]->setText(r.critical01);
    m_critical[2]->setText(r.critical001);
    m_result->setText(r.result);
    m_details->write(r.details);
}

void PairedPanel::clearResults() {
    for (QLabel *field : {m_n, m_mean, m_sd, m_result})
        field->clear();
    for (QLabel *field : m_critical)
        field->clear();
    m_details->clear();
    m_rank->refresh();
}

} // namespace quarbel
