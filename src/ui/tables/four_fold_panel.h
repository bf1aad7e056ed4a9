#pragma once

#include "core/tables/four_fold.h"

#include "core/shell/methods.h"
#include "ui/common/panel_parts.h"

#include <array>

class QLabel;

namespace quarbel {

class DetailsBox;

// Result panel of the four-fold chi-square test: theoretical counts, n, chi-square, judgment.
class FourFoldResultPanel : public Panel {
    Q_OBJECT
  public:
    explicit FourFoldResultPanel(QWidget *parent);
    void clearResults() override;
    void display(const FourFoldResult &result);

  private:
    std::array<QLabel *, 6> m_fields{}; // T of a..d, n, chi-square
    QLabel *m_judgment{nullptr};
    DetailsBox *m_details{nullptr};
};

// Result panel of the paired four-fold chi-square test.
class PairedFourFoldResultPanel : public Panel {
    Q_OBJECT
  public:
    explicit PairedFourFoldResultPanel(QWidget *parent);
    void clearResults() override;
    void display(const PairedFourFoldResult &result);

  private:
    QLabel *m_n{nullptr};
    QLabel *m_chiSquare{nullptr};
    QLabel *m_judgment{nullptr};
    DetailsBox *m_details{nullptr};
};

// The captions of the four-fold table: its title, the corner, the header over the two columns,
// the two columns and the two rows.
struct FourFoldCaptions {
    QString title, corner, columns, positive, negative, row1, row2;
};

// The four-fold table shared by the two four-fold methods. Which test it runs follows the
// method the switch sets; under any other method it only keeps its margins.
class FourFoldPanel : public Panel {
    Q_OBJECT
  public:
    FourFoldPanel(FourFoldResultPanel *results, PairedFourFoldResultPanel *pairedResults,
                  QWidget *parent);

    // The active method; the two four-fold methods also get their own headers and title.
    void setMethod(Method method);
    void clearInputs() override;
    // The cells as shown.
    FourFoldTexts cellTexts() const;
    // A method added after the eight that takes this table heads it with its own captions.
    void setCaptions(const FourFoldCaptions &captions);

  Q_SIGNALS:
    // A cell changed and the table's own results are written; added methods compute theirs.
    void cellsEdited();

  private:
    void recompute();
    void showMargins(const FourFoldMargins &margins);
    void writeHeaders(Method method);

    Method m_method{TwoSampleT};
    QLabel *m_title{nullptr};
    std::array<QLabel *, 5> m_headers{}; // items 0, 1, 3 and 4 are rewritten
    std::array<QLabel *, 2> m_columns{}; // "（+）", "（-）"
    FourFoldResultPanel *m_results{nullptr};
    PairedFourFoldResultPanel *m_pairedResults{nullptr};
    QList<NumericCell *> m_cells;
    std::array<QLabel *, 5> m_margins{};
};

} // namespace quarbel
