#pragma once

#include "ui/common/panel_parts.h"

#include <array>
#include <cstdint>
#include <span>

class QLabel;

namespace quarbel {

class DetailsBox;

// Result panel of the paired t-test, recomputed from both grid columns on every change.
class PairedPanel : public Panel {
    Q_OBJECT
  public:
    explicit PairedPanel(QWidget *parent);

    void recompute(std::span<const std::int64_t> first, std::span<const std::int64_t> second);
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
