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

// Result panel of the paired t-test, recomputed from both grid columns on every change.
class PairedPanel : public Panel {
    Q_OBJECT
  public:
    // `lists`: the grid's two columns, which the rank tests read raw.
    PairedPanel(std::vector<const ColumnList *> lists, QWidget *parent);

    void recompute(const PairTotals &pairs);
    void clearResults() override;

  private:
    QLabel *m_n{nullptr};
    QLabel *m_mean{nullptr};
    QLabel *m_sd{nullptr};
    std::array<QLabel *, 3> m_critical{};
    QLabel *m_result{nullptr};
    DetailsBox *m_details{nullptr};
    RankBox *m_rank{nullptr};
};

} // namespace quarbel
