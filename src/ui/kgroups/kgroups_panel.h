#pragma once

#include "core/kgroups/k_groups.h"
#include "ui/common/method_entry.h"
#include "ui/common/panel_parts.h"

#include <array>
#include <memory>

class QLabel;
class QTableWidget;

namespace quarbel {

class DataGrid;
class DetailsBox;
class PendingWork;
class PlotView;

// Result panel of the comparison of 2 to 10 groups (Picture4_12) from the two-column grid in
// long form: values and group codes. Each group's description, the pairwise comparisons in a
// table, the tests and the note, and the picture. The means and their tests follow running totals
// on every keystroke; the order statistics may wait until the typing pauses.
class KGroupsPanel : public Panel {
    Q_OBJECT
  public:
    KGroupsPanel(DataGrid *grid, QWidget *parent);

    // A cell of the grid was stored.
    void recompute();
    void clearResults() override;
    ReportContent report() const;

  private:
    static constexpr int FieldCount = 8;
    void entryChanged(int column, qsizetype row, std::int64_t before, std::int64_t after);
    KGroupsColumns columns() const;
    void run();
    void display(std::shared_ptr<const KGroupsResult> result);

    DataGrid *m_grid{nullptr};
    PendingWork *m_work{nullptr};
    std::array<std::array<QLabel *, FieldCount>, KGroupsMax> m_fields{};
    QTableWidget *m_pairs{nullptr};
    DetailsBox *m_tests{nullptr};
    PlotView *m_picture{nullptr};
    KGroupTotals m_totals;
    bool m_totalsStale{true};
    std::shared_ptr<const KGroupsResult> m_result;
    // The last complete result, which the picture draws: a result from totals alone, shown
    // while the typing goes on, has no order statistics to draw from.
    std::shared_ptr<const KGroupsResult> m_complete;
};

// The comparison of groups on the two-column grid, captioned "观察值" and "组别".
MethodEntry kGroupsMethod(DataGrid *twoColumn, QWidget *owner);

} // namespace quarbel
