#pragma once

#include "ui/common/panel_parts.h"

#include <array>
#include <vector>

class QLabel;

namespace quarbel {

class ColumnList;
struct ColumnTotals;

class DetailsBox;
class RankBox;

// Result panel of the two-sample t-test: six summary boxes (Text4_0..5) that recompute the
// test on every change, typed or filled from the grid.
class TwoSamplePanel : public Panel {
    Q_OBJECT
  public:
    // `lists`: the grid's two columns, which the rank tests read raw.
    TwoSamplePanel(std::vector<const ColumnList *> lists, QWidget *parent);

    // Writes mean, SD and n of one grid column (0 or 1) into that column's three boxes.
    void fillSummary(int column, const ColumnTotals &totals);

    void clearInputs() override;
    // X1, S1, N1, X2, S2, N2 as shown.
    std::array<QString, 6> boxTexts() const;
    void clearResults() override;

  private:
    void recompute();

    std::array<NumericCell *, 6> m_boxes{};
    std::array<QLabel *, 3> m_critical{};
    QLabel *m_result{nullptr};
    DetailsBox *m_details{nullptr};
    RankBox *m_rank{nullptr};
    bool m_filling{false}; // fillSummary is writing the boxes: the test runs once, after
};

} // namespace quarbel
