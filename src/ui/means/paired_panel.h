#pragma once

#include "ui/common/panel_parts.h"

#include <array>

class QLabel;

namespace quarbel {

struct PairTotals;

class DetailsBox;

// Result panel of the paired t-test, recomputed from both grid columns on every change.
class PairedPanel : public Panel {
    Q_OBJECT
  public:
    explicit PairedPanel(QWidget *parent);

    void recompute(const PairTotals &pairs);
    void clearResults() override;

  private:
    QLabel *m_n{nullptr};
    QLabel *m_mean{nullptr};
    QLabel *m_sd{nullptr};
    std::array<QLabel *, 3> m_critical{};
    QLabel *m_result{nullptr};
    DetailsBox *m_details{nullptr};
};

} // namespace quarbel
