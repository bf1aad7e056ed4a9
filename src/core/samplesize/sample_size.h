#pragma once

#include <QString>

#include <optional>

namespace quarbel {

// The designs of the sample size panel, in the order of its SizeDesign combo.
enum class SizeDesign {
    TwoMeans = 0,    // two-sample t-test
    PairedMeans = 1, // paired t-test
    TwoRates = 2,    // two proportions, normal approximation
    PairedRates = 3, // McNemar
    Anova = 4,       // one-way analysis of variance
    Correlation = 5, // Fisher's z
    LogRank = 6,     // Schoenfeld
    OneRate = 7,     // a confidence interval of one proportion
};

// What a design takes, for the computation and for the panel that shows only those boxes: two
// groups (a ratio and n2), a power (all but the single rate's interval), a choice of sides.
inline bool twoGroups(SizeDesign d) {
    return d == SizeDesign::TwoMeans || d == SizeDesign::TwoRates || d == SizeDesign::LogRank;
}
inline bool hasPower(SizeDesign d) {
    return d != SizeDesign::OneRate;
}
inline bool hasSides(SizeDesign d) {
    return d != SizeDesign::Anova && d != SizeDesign::OneRate;
}
inline constexpr int SizeDesignCount = 8;

// The texts of every box of the panel, as typed; the combos as their indices. A box the chosen
// design or mode does not use is ignored, whatever it holds.
struct SampleSizeInput {
    int design{0}; // SizeDesign
    QString delta;
    QString sd;
    QString p1;
    QString p2;
    QString p10;
    QString p01;
    QString groups;
    QString effectF;
    QString rho;
    QString hr;
    QString eventProb;
    QString p;
    QString halfWidth;
    QString alpha{QStringLiteral("0.05")};
    int sides{0}; // 0 two-sided, 1 one-sided
    QString power{QStringLiteral("0.80")};
    QString ratio{QStringLiteral("1")};
    QString dropout{QStringLiteral("0")}; // percent
    int solve{0};                         // 0 solve for n, 1 solve for power
    QString nInput;
};

// The inputs as read and accepted, with the n the results show. What the picture and the
// report are made from.
struct SizeParameters {
    SizeDesign design{SizeDesign::TwoMeans};
    double delta{0}; // |δ|
    double sd{0};
    double p1{0}, p2{0};
    double p10{0}, p01{0};
    int groups{0};
    double effectF{0};
    double rho{0}; // |ρ|
    double hr{0};
    double eventProb{0};
    double p{0};
    double halfWidth{0};
    double alpha{0.05};
    bool twoSided{true};
    double power{0.8}; // the target; unused when solving for power
    double ratio{1};
    double dropout{0}; // a share, 0 ≤ d < 1
    bool solveForPower{false};
    // The n1 and n2 the n fields show (n2 = n1 for one-n designs); above 10⁹ when they show
    // "> 10⁹". events: Schoenfeld's d for the log-rank design.
    double n1{0}, n2{0};
    double events{0};
    friend bool operator==(const SizeParameters &, const SizeParameters &) = default;
};

// Every text the panel shows: whole numbers without separators ("> 10⁹" beyond that), powers
// in the four-decimal display form, empty where the design or mode has no such value. An
// input out of range empties them all and `note` (Note11) says which and why.
struct SampleSizeResult {
    QString n1;
    QString n2;
    QString total;
    QString n1Dropout;
    QString n2Dropout;
    QString totalDropout;
    QString events;
    QString achievedPower;
    QString powerOut;
    QString n1Cc;
    QString n2Cc;
    QString note;
    // Present whenever the n fields show something.
    std::optional<SizeParameters> parameters;
    friend bool operator==(const SampleSizeResult &, const SampleSizeResult &) = default;
};

// The least n whose power reaches the target, or the power at the n typed, for the design
// chosen. Exact t and F powers for designs 0, 1 and 4, the normal formulas for the others;
// searches are bracketed, so every call is quick whatever the effect. Never throws.
SampleSizeResult computeSampleSize(const SampleSizeInput &input);

// The least n of a design: per group, pairs or subjects (4 for the correlation).
double leastSampleSize(SizeDesign design);

// The power at n1 per group (pairs, subjects) with n2 = ⌈ratio · n1⌉ where the design has two
// groups, by the definitions the results use. NaN for the one-rate design and where the power
// cannot be computed.
double powerAtSize(const SizeParameters &parameters, double n1);

// ⌈x⌉, leaving a value whole to within 10⁻⁹ as it is: ⌈1.1 · 100⌉ = 110.
double ceilWhole(double x);

} // namespace quarbel
