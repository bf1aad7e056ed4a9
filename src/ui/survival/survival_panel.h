#pragma once

#include "core/survival/survival.h"
#include "ui/common/method_entry.h"
#include "ui/common/panel_parts.h"

#include <array>
#include <memory>

class QCheckBox;
class QLabel;
class QWidget;

namespace quarbel {

class DataGrid;
class PendingWork;
class PlotView;
class TableWindow;

// Result panel of the survival analysis (Picture4_8): per group n, events, the median with its
// interval, S(t*) with its interval, the log-rank counts and the hazard ratio against the first
// group; the log-rank test; the note; the picture; the life table in a window of its own.
// Computed from the three-group grid's lists: time, outcome, group.
class SurvivalPanel : public Panel {
    Q_OBJECT
  public:
    SurvivalPanel(DataGrid *grid, QWidget *parent);

    // A cell of the grid or the time box changed.
    void recompute();
    void clearInputs() override;
    void clearResults() override;
    ReportContent report() const;

  private:
    enum Field {
        N,
        Events,
        Median,
        MedianLow,
        MedianHigh,
        Rate,
        RateLow,
        RateHigh,
        Obs,
        Exp,
        Hr,
        HrLow,
        HrHigh,
        CoxP,
        FieldCount
    };
    void buildFields();
    void run();
    void display(std::shared_ptr<const SurvivalResult> result);

    DataGrid *m_grid{nullptr};
    PendingWork *m_work{nullptr};
    NumericCell *m_time{nullptr};
    QCheckBox *m_bands{nullptr};
    std::array<QLabel *, SurvivalMaxGroups> m_labels{};
    std::array<std::array<QLabel *, FieldCount>, SurvivalMaxGroups> m_fields{};
    QLabel *m_chi2{nullptr};
    QLabel *m_df{nullptr};
    QLabel *m_p{nullptr};
    QLabel *m_note{nullptr};
    PlotView *m_picture{nullptr};
    TableWindow *m_table{nullptr};
    // What the fields show; the picture and the life table are drawn from the same result.
    std::shared_ptr<const SurvivalResult> m_result;
};

// The survival analysis as the shell registers it: on the three-group grid, captioned
// "时间", "结局(1/0)" and "组别".
MethodEntry survivalMethod(DataGrid *threeGroup, QWidget *owner);

} // namespace quarbel
