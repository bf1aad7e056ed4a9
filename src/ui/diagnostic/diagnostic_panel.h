#pragma once

#include "core/diagnostic/diagnostic.h"
#include "ui/common/method_entry.h"
#include "ui/common/panel_parts.h"

namespace quarbel {

class DetailsBox;
class FourFoldPanel;
class PlotView;

// Result panel of the diagnostic test's evaluation (Picture4_9), computed from the four-fold
// table headed for this method: every proportion and ratio with its interval, the practice
// prevalence box (DiagPrevInput) and the predictive values at it, the note and the picture.
class DiagnosticPanel : public Panel {
    Q_OBJECT
  public:
    DiagnosticPanel(FourFoldPanel *table, QWidget *parent);

    void recompute();
    void clearInputs() override;
    void clearResults() override;
    ReportContent report() const;

  private:
    FourFoldPanel *m_table{nullptr};
    NumericCell *m_prevalence{nullptr};
    DetailsBox *m_details{nullptr};
    PlotView *m_picture{nullptr};
    DiagnosticResult m_result;
};

// The diagnostic test's evaluation on the four-fold table, rows "试验阳性"/"试验阴性" and
// columns "患病"/"未患病".
MethodEntry diagnosticMethod(FourFoldPanel *table, QWidget *owner);

} // namespace quarbel
