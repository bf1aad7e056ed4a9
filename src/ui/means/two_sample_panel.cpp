#include "ui/means/two_sample_panel.h"

#include "core/means/group_summary.h"
#include "core/means/two_sample.h"
#include "ui/common/details_box.h"
#include "ui/common/panel_parts.h"
#include "ui/rank/rank_box.h"

#include <QGridLayout>
#include <QLabel>
#include <QTabWidget>

namespace quarbel {

TwoSamplePanel::TwoSamplePanel(std::vector<const ColumnList *> lists, QWidget *parent)
    : Panel(parent) {
    setObjectName(QStringLiteral("Picture4_0"));
    auto *layout = new QGridLayout(this);
    const std::array<QString, 6> captions{
        QStringLiteral("均  数(X1)="), QStringLiteral("标准差(S1)="), QStringLiteral("例  数(N1)="),
        QStringLiteral("均  数(X2)="), QStringLiteral("标准差(S2)="), QStringLiteral("例  数(N2)="),
    };
    for (int i = 0; i < 6; ++i) {
        auto *box =
            new NumericCell(QStringLiteral("Text4_%1").arg(i), CellRules{.fullStops = true}, this);
        box->setMaximumWidth(160);
        connect(box, &NumericCell::edited, this, &TwoSamplePanel::recompute);
        const int row = i % 3, column = (i / 3) * 2;
        layout->addWidget(new QLabel(captions[std::size_t(i)], this), row, column);
        layout->addWidget(box, row, column + 1);
        m_boxes[std::size_t(i)] = box;
    }
    for (int i = 0; i < 3; ++i)
        m_critical[std::size_t(i)] = resultField(QStringLiteral("Label5_%1").arg(3 + i), this);
    addCriticalRows(layout, 3, QString(), m_critical);
    layout->addWidget(new QLabel(QStringLiteral("结果判断："), this), 6, 0);
    m_result = resultField(QStringLiteral("Label5_6"), this, true);
    layout->addWidget(m_result, 7, 0, 1, 4);
    m_details = new DetailsBox(twoSampleDetailsLayout(), QStringLiteral("Note0"), this, 3);
    m_rank = new RankBox(TwoSampleT, std::move(lists), this);
    layout->addWidget(detailsWithRankTab(m_details, m_rank, QStringLiteral("RankTabs0"), this), 8,
                      0, 1, 5);
    layout->setRowStretch(9, 1);
    layout->setColumnStretch(4, 1);
}

void TwoSamplePanel::fillSummary(int column, const ColumnTotals &totals) {
    const GroupSummary summary = summariseGroup(totals);
    const std::size_t first = column == 0 ? 0 : 3;
    // Each box that changes would rerun the test, and only the run after the last is ever
    // seen: the test runs once, when any of the three changed.
    const std::array<QString, 6> before = boxTexts();
    m_filling = true;
    m_boxes[first]->setText(summary.mean);
    m_boxes[first + 1]->setText(summary.sd);
    m_boxes[first + 2]->setText(summary.n);
    m_filling = false;
    if (boxTexts() != before)
        recompute();
}

std::array<QString, 6> TwoSamplePanel::boxTexts() const {
    std::array<QString, 6> texts;
    for (std::size_t i = 0; i < texts.size(); ++i)
        texts[i] = m_boxes[i]->text();
    return texts;
}

void TwoSamplePanel::recompute() {
    if (m_filling)
        return;
    const TwoSampleResult r = twoSampleT(boxTexts());
    m_critical[0]->setText(r.critical05);
    m_critical[1]->setText(r.critical01);
    m_critical[2]->setText(r.critical001);
    m_result->setText(r.result);
    m_details->write(r.details);
}

void TwoSamplePanel::clearInputs() {
    for (NumericCell *box : m_boxes)
        box->clear();
}

// The result line is left to the test, which empties it when a box is emptied.
void TwoSamplePanel::clearResults() {
    for (QLabel *field : m_critical)
        field->clear();
    m_details->clear();
    m_rank->refresh();
}

} // namespace quarbel
