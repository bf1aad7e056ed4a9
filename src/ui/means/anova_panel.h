#pragma once

#include "core/means/anova.h"
#include "core/means/group_summary.h"

#include "ui/common/panel_parts.h"

#include <array>
#include <optional>
#include <vector>

class QLabel;
class QListWidget;

namespace quarbel {

class ColumnList;
class DetailsBox;
class RankBox;

// Result panel of the analysis of variance: the nine summary boxes, the F test with its
// critical values, and the pairwise q and LSD-t comparisons sharing three result lines.
// Every change of a box reruns the F test and its details, then the q test.
class AnovaPanel : public Panel {
    Q_OBJECT
  public:
    // `lists`: the grid's three groups, which the rank tests read raw.
    explicit AnovaPanel(std::vector<const ColumnList *> lists, QWidget *parent = nullptr);

    // Writes a group's mean, SD and count boxes in that order; each write reruns the F test.
    void showGroup(int group, const GroupSummary &summary);
    void clearInputs() override;
    void clearResults() override;

    // The terms of the last run that got past the zero test; they outlive a method switch.
    std::optional<WithinTerms> withinTerms() const { return m_terms; }
    // The nine boxes as shown.
    AnovaBoxes boxes() const;

  private:
    void buildBoxes();
    void buildResults(std::vector<const ColumnList *> lists);
    void runFTest();
    void runQTest();
    void runLsdTest();
    void showLines(const std::array<QString, 3> &lines);

    std::array<NumericCell *, 9> m_boxes{};
    QLabel *m_fResult{nullptr};
    QLabel *m_f05{nullptr};
    QLabel *m_f01{nullptr};
    std::array<QLabel *, 3> m_lines{};
    QListWidget *m_meanOrder{nullptr};
    DetailsBox *m_details{nullptr};
    RankBox *m_rank{nullptr};
    bool m_writingGroup{false};
    std::optional<WithinTerms> m_terms;
};

} // namespace quarbel
