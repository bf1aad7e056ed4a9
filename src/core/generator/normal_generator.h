#pragma once

#include "core/entry/wide_int.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

namespace quarbel {

class UniformSource;

// The texts of the generator window's inputs.
struct GeneratorInput {
    QString mean;
    QString sd;
    QString count;
    QString decimals;
};

// A checked request. `message` is empty when the inputs were accepted, else the text to show
// (and nothing else changes).
struct GeneratorPlan {
    QString message;
    QString meanText; // as typed, spaces trimmed
    QString sdText;
    int count{0};
    int decimals{0};     // of every generated value
    int meanDecimals{0}; // typed in the mean: the precision the mean is matched to
    int sdDecimals{0};
    double mean{0};
    double sd{0};
    std::int64_t meanScaled{0}; // mean × 10^meanDecimals, exact
    std::int64_t sdScaled{0};   // sd × 10^sdDecimals, exact
};

inline constexpr int MaxGeneratedValues = 1'000'000;

GeneratorPlan planGeneration(const GeneratorInput &input);

// Value text with exactly `decimals` places: units of 10^-decimals, "0" before the point.
QString scaledText(std::int64_t units, int decimals);

// What the window shows once a generation has ended.
struct GeneratorResult {
    QString message;   // set when a target cannot be met; the values are then discarded
    QString meanValue; // the typed mean until the mean adjustment has run
    QString sdValue;   // the typed SD until the SD adjustment has run
};

// Draws n values around the target mean by Box–Muller, rounds them to the chosen decimals, then
// moves single values by one unit of the last decimal until the mean, and then the standard
// deviation, round to the targets. Values are kept as whole units of 10^-d, and the sums the
// stop tests need are kept as exact running totals, so each step costs the same whatever n is
// and every test gives exactly what a full recomputation would.
//
// The work runs in slices through advance() so that a window can let events run between them.
class NormalGenerator {
  public:
    NormalGenerator(const GeneratorPlan &plan, UniformSource &source);

    // Runs at most `work` steps (a draw or an adjustment pick each); true once finished.
    bool advance(std::int64_t work);
    bool finished() const { return m_phase == Phase::Done; }
    const GeneratorResult &result() const { return m_result; }

    int decimals() const { return m_plan.decimals; }
    // The working list in units of 10^-decimals(); empty after a failure.
    const std::vector<std::int64_t> &values() const { return m_values; }
    QStringList valueTexts() const;
    std::vector<std::int64_t> takeValues() { return std::move(m_values); }

    // Adjustment steps taken so far, for tests and measurements.
    std::int64_t meanSteps() const { return m_meanStepsTaken; }
    std::int64_t sdPicks() const { return m_sdPicks; }

  private:
    enum class Phase { Sample, MeanUp, MeanDown, SdUp, SdDown, Done };

    bool step();
    bool sampleStep();
    bool meanStep();
    bool sdStep();
    void drawOne();
    void planMean();
    void startSd();
    void moveValue(std::size_t j, std::int64_t delta);
    int sideOf(std::int64_t units) const;
    void measureSd();
    bool sdStuck(bool growing) const;
    std::size_t pick();
    void fail();
    void finishSd();

    GeneratorPlan m_plan;
    UniformSource &m_source;
    Phase m_phase{Phase::Sample};
    GeneratorResult m_result;
    std::vector<std::int64_t> m_values;

    WideInt m_sum{0}; // Σ units
    std::int64_t m_meanUpLeft{0};
    std::int64_t m_meanDownLeft{0};
    std::int64_t m_meanStepsTaken{0};

    // Standard-deviation bookkeeping, in units measured from m_offset.
    std::int64_t m_offset{0};
    WideInt m_offsetSum{0};
    WideInt m_offsetSquares{0};
    std::int64_t m_currentSd{0}; // at min(sdDecimals, 4) decimals
    bool m_sdDirty{true};
    // Values strictly above and below the centre, for deciding that no pick can help.
    std::int64_t m_aboveCount{0};
    std::int64_t m_belowCount{0};
    WideInt m_aboveSum{0};
    WideInt m_belowSum{0};
    std::int64_t m_nearestAbove{0}; // smallest value above the centre, in units
    std::int64_t m_nearestBelow{0};
    std::int64_t m_sdPicks{0};
};

} // namespace quarbel
