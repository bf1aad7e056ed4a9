#pragma once

#include "core/diagnostic/roc.h"
#include "ui/common/method_entry.h"
#include "ui/common/panel_parts.h"

#include <memory>

class QCheckBox;

namespace quarbel {

class DataGrid;
class DetailsBox;
class PendingWork;
class PlotView;
class TableWindow;

// Result panel of the ROC analysis (Picture4_10), computed from the two-column grid's lists:
// value and status. The direction check box, the AUC with its interval and P, the best cut-off,
// the note, the picture and the coordinates table in a window of its own.
class RocPanel : public Panel {
    Q_OBJECT
  public:
    RocPanel(DataGrid *grid, QWidget *parent);

    // A cell of the grid changed, or the direction.
    void recompute();
    void clearResults() override;
    ReportContent report() const;

  private:
    void run();
    void display(std::shared_ptr<const RocResult> result);

    DataGrid *m_grid{nullptr};
    PendingWork *m_work{nullptr};
    QCheckBox *m_lowerPositive{nullptr};
    DetailsBox *m_details{nullptr};
    PlotView *m_picture{nullptr};
    TableWindow *m_table{nullptr};
    // What the fields show; the picture and the table are drawn from the same result.
    std::shared_ptr<const RocResult> m_result;
};

// The ROC analysis on the two-column grid, captioned "检测值" and "金标准(1/0)".
MethodEntry rocMethod(DataGrid *twoColumn, QWidget *owner);

} // namespace quarbel
