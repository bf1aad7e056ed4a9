#pragma once

#include "core/samplesize/sample_size.h"
#include "ui/common/method_entry.h"
#include "ui/common/panel_parts.h"

#include <array>

class QComboBox;
class QLabel;
class QWidget;

namespace quarbel {

class PlotView;

// The sample size calculation's own input panel: the design, what to solve for, the design's
// expected values and the shared α, sides, power, allocation ratio and drop-out. Only the rows
// the design and mode use are shown; every change announces changed().
class SampleSizeInputPanel : public Panel {
    Q_OBJECT
  public:
    explicit SampleSizeInputPanel(QWidget *parent);

    SampleSizeInput input() const;
    // Every box back to its first text and both combos to their first entry.
    void clearInputs() override;

  Q_SIGNALS:
    void changed();

  private:
    enum Box {
        Delta,
        Sd,
        P1,
        P2,
        P10,
        P01,
        Groups,
        EffectF,
        Rho,
        Hr,
        EventProb,
        P,
        HalfWidth,
        Alpha,
        Power,
        NInput,
        Ratio,
        Dropout,
        BoxCount
    };
    void addBox(Box box, const char *name, const QString &text, const QString &initial);
    void showRows();

    QComboBox *m_design{nullptr};
    QComboBox *m_solve{nullptr};
    QComboBox *m_sides{nullptr};
    QLabel *m_solveCaption{nullptr};
    QLabel *m_sidesCaption{nullptr};
    std::array<NumericCell *, BoxCount> m_boxes{};
    std::array<QLabel *, BoxCount> m_captions{};
    std::array<QString, BoxCount> m_initial{};
};

// Result panel of the sample size calculation (Picture4_11): n per group with and without the
// drop-out, the events, the continuity-corrected n, the powers, the note and the power curve.
class SampleSizePanel : public Panel {
    Q_OBJECT
  public:
    SampleSizePanel(SampleSizeInputPanel *inputs, QWidget *parent);

    void recompute();
    void clearResults() override;
    ReportContent report() const;

  private:
    enum Field {
        N1,
        N2,
        Total,
        N1Dropout,
        N2Dropout,
        TotalDropout,
        N1Cc,
        N2Cc,
        Events,
        AchievedPower,
        PowerOut,
        FieldCount
    };
    void buildFields();
    void display();
    void showRows(const SampleSizeInput &input);

    SampleSizeInputPanel *m_inputs{nullptr};
    std::array<QLabel *, FieldCount> m_fields{};
    std::array<QLabel *, FieldCount> m_captions{};
    QLabel *m_sizeHeader{nullptr};
    QLabel *m_note{nullptr};
    PlotView *m_picture{nullptr};
    // What the fields show, with the input it came from; the picture and the report read it.
    SampleSizeInput m_input;
    SampleSizeResult m_result;
};

// The sample size calculation as the shell registers it: its own input panel, no grid.
MethodEntry sampleSizeMethod(QWidget *owner);

} // namespace quarbel
