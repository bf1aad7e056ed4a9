#pragma once

#include "core/tables/graded.h"

#include "ui/common/panel_parts.h"

#include <array>

class QLabel;

namespace quarbel {

class DetailsBox;

// Result panel of the graded table: rank-sum test and Ridit analysis side by side.
class GradedResultPanel : public Panel {
    Q_OBJECT
  public:
    explicit GradedResultPanel(QWidget *parent);
    void display(const GradedResult &result);

  private:
    QLabel *m_rankSumZ{nullptr};
    QLabel *m_rankSumJudgment{nullptr};
    QLabel *m_riditZ{nullptr};
    QLabel *m_riditJudgment{nullptr};
    DetailsBox *m_details{nullptr};
};

// The two-group, four-grade table; every change recomputes both analyses.
class GradedPanel : public Panel {
    Q_OBJECT
  public:
    GradedPanel(GradedResultPanel *results, QWidget *parent);
    void clearInputs() override;
    // The cells as shown.
    GradedTexts cellTexts() const;

  private:
    void recompute();

    GradedResultPanel *m_results{nullptr};
    QList<NumericCell *> m_cells;
    QLabel *m_testTotal{nullptr};
    QLabel *m_controlTotal{nullptr};
    std::array<QLabel *, 4> m_gradeTotals{};
    QLabel *m_grandTotal{nullptr};
};

} // namespace quarbel
