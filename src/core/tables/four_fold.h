#pragma once

#include <QString>

#include <array>

namespace quarbel {

// The four cells a, b, c, d of a four-fold table as typed (row 1: a, b; row 2: c, d).
using FourFoldTexts = std::array<QString, 4>;

// Margins shown under and beside the table, in the plain decimal form.
struct FourFoldMargins {
    QString positive; // a + c
    QString negative; // b + d
    QString row1;     // a + b
    QString row2;     // c + d
    QString total;    // (a + b) + (c + d)
};

struct FourFoldResult {
    FourFoldMargins margins;
    std::array<QString, 4> expected; // theoretical counts of a, b, c, d
    QString n;
    QString chiSquare;
    QString judgment; // a significance label or the unsuitability message
};

struct PairedFourFoldResult {
    FourFoldMargins margins;
    QString n;
    QString chiSquare;
    QString judgment;
};

inline const QString FourFoldUnsuitable =
    QStringLiteral("当n < 40或理论数(T)< 1时，不适合使用本法。");
inline constexpr double ChiSquare1df05 = 3.84;
inline constexpr double ChiSquare1df01 = 6.63;

// Margins alone: what the table shows while neither four-fold method is active.
FourFoldMargins fourFoldMargins(const FourFoldTexts &cells);
// Chi-square test of a four-fold table, basic or continuity-corrected by the smallest
// theoretical count.
FourFoldResult fourFoldChiSquare(const FourFoldTexts &cells);
// Paired test of the discordant cells b and c, corrected by 1 while b + c is below 40.
PairedFourFoldResult pairedFourFoldChiSquare(const FourFoldTexts &cells);

} // namespace quarbel
