#pragma once

#include "core/tables/rxc.h"

#include "ui/common/panel_parts.h"

#include <array>

class QLabel;

namespace quarbel {

class DetailsBox;

// Result panel of the R×C chi-square test; its critical values read "5.99" and "9.21" until
// the first computation.
class RxCResultPanel : public Panel {
    Q_OBJECT
  public:
    explicit RxCResultPanel(QWidget *parent);
    void clearResults() override;
    void display(const RxCResult &result);

  private:
    QLabel *m_n{nullptr};
    QLabel *m_chiSquare{nullptr};
    QLabel *m_critical05{nullptr};
    QLabel *m_critical01{nullptr};
    QLabel *m_judgment{nullptr};
    QLabel *m_warning{nullptr};
    DetailsBox *m_details{nullptr};
};

// The 3×4 count grid with its totals and the hidden store of theoretical counts.
class RxCPanel : public Panel {
    Q_OBJECT
  public:
    RxCPanel(RxCResultPanel *results, QWidget *parent);
    void clearInputs() override;
    // The cells as shown.
    RxCTexts cellTexts() const;

  private:
    void recompute();

    RxCResultPanel *m_results{nullptr};
    QList<NumericCell *> m_cells;
    std::array<QLabel *, 4> m_columnTotals{};
    std::array<QLabel *, 3> m_rowTotals{};
    QLabel *m_grandTotal{nullptr};
    std::array<QLabel *, 12> m_expected{};
};

} // namespace quarbel
