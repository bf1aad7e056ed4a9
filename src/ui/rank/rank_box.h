#pragma once

#include "core/shell/methods.h"
#include "ui/common/details_box.h"

#include <vector>

class QTabWidget;

namespace quarbel {

class ColumnList;
class PendingWork;

// The "秩和检验与正态性" box of a grid method: medians and quartiles, the rank test and the
// normality checks, from the raw grid lists (never from summary boxes). It follows every
// change of the lists while its panel is the one shown; a run that would hold up a key waits
// until the typing pauses, and whatever reads results flushes it first.
class RankBox : public DetailsBox {
    Q_OBJECT
  public:
    // `lists` in the method's column order; `panel` is the result panel the box sits on.
    RankBox(Method method, std::vector<const ColumnList *> lists, QWidget *panel);

    // The lists may all have changed, or the panel was just shown: recompute when shown.
    void refresh();

  Q_SIGNALS:
    // After each run: whether a group is not normal, so the rank test is the one to report.
    void judged(bool reportRankTest);

  private:
    void compute();
    qsizetype rows() const;

    Method m_method;
    std::vector<const ColumnList *> m_lists;
    QWidget *m_panel;
    PendingWork *m_work{nullptr};
    QWidget *m_note{nullptr};
};

// The method's "详细结果" box and its rank box as the two tabs of one widget named `name`, so
// the panel grows little and its picture keeps its room; where the panel already fills the
// screen, the rank tab `scrolls` beyond the details tab's height instead of growing. The rank
// tab's title turns to the note's colour while the rank test is the one to report, so the
// advice is seen on either tab.
QTabWidget *detailsWithRankTab(DetailsBox *details, RankBox *rank, const QString &name,
                               QWidget *parent, bool scrolls = false);

} // namespace quarbel
