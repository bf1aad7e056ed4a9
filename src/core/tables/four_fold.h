#pragma once

#include "core/entry/details.h"

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
    friend bool operator==(const FourFoldMargins &, const FourFoldMargins &) = default;
};

struct FourFoldResult {
    FourFoldMargins margins;
    std::array<QString, 4> expected; // theoretical counts of a, b, c, d
    QString n;
    QString chiSquare;
    QString judgment; // a significance label or the unsuitability message
    // Exact P values and the effect measures with their 95% intervals.
    Details details;
    friend bool operator==(const FourFoldResult &, const FourFoldResult &) = default;
};

struct PairedFourFoldResult {
    FourFoldMargins margins;
    QString n;
    QString chiSquare;
    QString judgment;
    Details details;
    friend bool operator==(const PairedFourFoldResult &, const PairedFourFoldResult &) = default;
};

inline const QString FourFoldUnsuitable =
    QStringLiteral("当n < 40或理论数(T)< 1时，不适合使用本法。");
inline constexpr double ChiSquare1df05 = 3.84;
inline constexpr double ChiSquare1df01 = 6.63;

// What decided the details, as the note under them says it.
namespace fourFoldNotes {
inline const QString Fisher = QStringLiteral("n < 40 或 T < 1：应报告 Fisher 确切概率法的 P");
inline const QString WholeCounts = QStringLiteral("例数含小数：确切概率法需要整数例数");
inline const QString FisherTooLarge =
    QStringLiteral("n > 10¹⁰：不计算 Fisher 确切概率，χ² 检验的 P 已足够准确");
inline const QString ZeroCell = QStringLiteral("有格子为 0：OR 和 RR 按每格加 0.5 计算");
inline const QString FewDiscordant = QStringLiteral("b + c < 25：应报告确切概率法（二项分布）的 P");
inline const QString NoDiscordantC = QStringLiteral("c = 0：配对 OR 及其上限无定义");
} // namespace fourFoldNotes

// Margins alone: what the table shows while neither four-fold method is active.
FourFoldMargins fourFoldMargins(const FourFoldTexts &cells);
// Chi-square test of a four-fold table, basic or continuity-corrected by the smallest
// theoretical count. A cell holding a number too large to keep exactly empties every result.
FourFoldResult fourFoldChiSquare(const FourFoldTexts &cells);
// Paired test of the discordant cells b and c, corrected by 1 while b + c is below 40.
PairedFourFoldResult pairedFourFoldChiSquare(const FourFoldTexts &cells);

} // namespace quarbel
