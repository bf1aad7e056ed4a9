#pragma once

#include "ui/common/panel_parts.h"

#include <array>
#include <vector>

class QLabel;

namespace quarbel {

class ColumnList;
struct PairTotals;

class DetailsBox;
class RankBox;

// Result panel of linear correlation and regression, recomputed from both grid columns
// (X, Y) on every change.
class CorrelationPanel : public Panel {
    Q_OBJECT
  public:
    // `lists`: the grid's two columns, which the rank tests read raw.
    CorrelationPanel(std::vector<const ColumnList *> lists, QWidget *parent);

    void recompute(const PairTotals &pairs);
    void clearResults() override;

  private:
    QLabel *m_n{nullptr};
    QLabel *m_r{nullptr};
    QLabel *m_t{nullptr};
    std::array<QLabel *, 3> m_critical{};
    QLabel *m_judgement{nullptr};
    QLabel *m_equation{nullptr};
    QLabel *m_slope{nullptr};
    QLabel *m_intercept{nullptr};
    DetailsBox *m_details{nullptr};
    RankBox *m_rank{nullptr};
};

} // namespace quarbel
