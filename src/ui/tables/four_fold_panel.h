#pragma once

#include "core/tables/four_fold.h"

#include <QFrame>

#include <array>

class QLabel;

namespace quarbel {

class NumericCell;

// Result panel of the four-fold chi-square test: theoretical counts, n, chi-square, judgment.
class FourFoldResultPanel : public QFrame {
    Q_OBJECT
  public:
    explicit FourFoldResultPanel(QWidget *parent);
    void display(const FourFoldResult &result);

  private:
    std::array<QLabel *, 6> m_fields{}; // T of a..d, n, chi-square
    QLabel *m_judgment{nullptr};
};

// Result panel of the paired four-fold chi-square test.
class PairedFourFoldResultPanel : public QFrame {
    Q_OBJECT
  public:
    explicit PairedFourFoldResultPanel(QWidget *parent);
    void display(const PairedFourFoldResult &result);

  private:
    QLabel *m_n{nullptr};
    QLabel *m_chiSquare{nullptr};
    QLabel *m_judgment{nullptr};
};

// The four-fold table shared by the two four-fold methods. Which test it runs follows the
// method heading; under any other heading it only keeps its margins.
class FourFoldPanel : public QFrame {
    Q_OBJECT
  public:
    FourFoldPanel(const QLabel *heading, FourFoldResultPanel *results,
                  PairedFourFoldResultPanel *pairedResults, QWidget *parent);

  private:
    void recompute();
    void showMargins(const FourFoldMargins &margins);

    const QLabel *m_heading{nullptr};
    FourFoldResultPanel *m_results{nullptr};
    PairedFourFoldResultPanel *m_pairedResults{nullptr};
    std::array<NumericCell *, 4> m_cells{};
    std::array<QLabel *, 5> m_margins{};
};

} // namespace quarbel
