#include "core/tables/four_fold.h"
#include "core/entry/wide_int.h"

#include "core/entry/number_rules.h"
#include "core/tables/chi_square.h"
#include "core/tables/exact_tests.h"

#include <QStringList>

#include <cmath>
#include <limits>
#include <optional>

namespace quarbel {
namespace {

std::optional<Fixed4> add(std::optional<Fixed4> x, std::optional<Fixed4> y) {
    if (!x || !y)
        return std::nullopt;
    std::int64_t sum = x->ticks();
    if (addOverflows(sum, y->ticks()))
        return std::nullopt;
    return Fixed4::fromTicks(sum);
}

// The grand total as a whole count, half to even: 40.5 gives 40, 41.5 gives 42.
std::int64_t wholeCount(Fixed4 total) {
    const std::int64_t t = total.ticks();
    std::int64_t q = t / Fixed4::Scale;
    const std::int64_t r = t % Fixed4::Scale;
    const std::int64_t half = Fixed4::Scale / 2;
    const std::int64_t step = t < 0 ? -1 : 1;
    if (std::abs(r) > half || (std::abs(r) == half && q % 2 != 0))
        q += step;
    return q;
}

QString shown(const std::optional<Fixed4> &v) {
    return v ? plainForm(*v) : QString();
}

// A cell that is not a complete number counts as 0; typed values are rounded to four decimals.
// A number too large to hold is out of range: the sums it enters stay unknown.
struct Table {
    double a{}, b{}, c{}, d{};
    std::optional<Fixed4> positive, negative, row1, row2, total, discordant;
    std::optional<std::int64_t> n;
    bool anyNegative{false};
    bool outOfRange{false};
    std::array<bool, 4> whole{};

    explicit Table(const FourFoldTexts &cells) {
        std::array<std::optional<Fixed4>, 4> v{};
        for (std::size_t i = 0; i < 4; ++i) {
            if (Fixed4::outOfRange(cells[i])) {
                outOfRange = true;
                continue;
            }
            v[i] = Fixed4::parse(cells[i]).value_or(Fixed4{});
            anyNegative = anyNegative || v[i]->ticks() < 0;
            whole[i] = v[i]->ticks() % Fixed4::Scale == 0;
        }
        auto value = [](const std::optional<Fixed4> &x) { return x ? x->toDouble() : 0.0; };
        a = value(v[0]);
        b = value(v[1]);
        c = value(v[2]);
        d = value(v[3]);
        positive = add(v[0], v[2]);
        negative = add(v[1], v[3]);
        row1 = add(v[0], v[1]);
        row2 = add(v[2], v[3]);
        total = add(row1, row2);
        discordant = add(v[1], v[2]);
        if (total)
            n = wholeCount(*total);
    }

    FourFoldMargins margins() const {
        return {shown(positive), shown(negative), shown(row1), shown(row2), shown(total)};
    }
    QString nText() const { return n ? QString::number(*n) : QString(); }
    bool allWhole() const { return whole[0] && whole[1] && whole[2] && whole[3]; }
};

constexpr double Undefined = std::numeric_limits<double>::quiet_NaN();

struct ItemName {
    const char *name;
    const char *caption;
};

// The details of each method in display order: three estimates to a row, the P values last.
constexpr std::array<ItemName, 11> FourFoldItems{{
    {"OddsRatio", "比值比 OR"},
    {"OddsRatioLow", "95%CI 下限"},
    {"OddsRatioHigh", "95%CI 上限"},
    {"RiskRatio", "相对危险度 RR"},
    {"RiskRatioLow", "95%CI 下限"},
    {"RiskRatioHigh", "95%CI 上限"},
    {"RiskDiff", "率差 RD"},
    {"RiskDiffLow", "95%CI 下限"},
    {"RiskDiffHigh", "95%CI 上限"},
    {"FourFoldP", "χ² 检验 P"},
    {"FisherP", "Fisher 确切概率 P"},
}};
enum FourFoldItem {
    OddsRatio,
    OddsRatioLow,
    OddsRatioHigh,
    RiskRatio,
    RiskRatioLow,
    RiskRatioHigh,
    RiskDiff,
    RiskDiffLow,
    RiskDiffHigh,
    FourFoldP,
    FisherP
};

constexpr std::array<ItemName, 8> PairedItems{{
    {"PairedOddsRatio", "配对 OR (b/c)"},
    {"PairedOddsRatioLow", "95%CI 下限"},
    {"PairedOddsRatioHigh", "95%CI 上限"},
    {"PairedPropDiff", "两率之差 (b−c)/n"},
    {"PairedPropDiffLow", "95%CI 下限"},
    {"PairedPropDiffHigh", "95%CI 上限"},
    {"McNemarP", "χ² 检验 P"},
    {"McNemarExactP", "确切概率 P"},
}};
enum PairedItem {
    PairedOddsRatio,
    PairedOddsRatioLow,
    PairedOddsRatioHigh,
    PairedPropDiff,
    PairedPropDiffLow,
    PairedPropDiffHigh,
    McNemarP,
    McNemarExactP
};

template <std::size_t N>
Details makeDetails(const std::array<ItemName, N> &items, const std::array<QString, N> &texts,
                    const QStringList &notes) {
    Details details;
    for (std::size_t i = 0; i < N; ++i)
        details.items.append(
            {QString::fromUtf8(items[i].name), QString::fromUtf8(items[i].caption), texts[i]});
    details.note = notes.join(QStringLiteral("；"));
    return details;
}

// An estimate and its bounds, each in the display form (empty where undefined).
void putEstimate(QString *texts, double estimate, Interval interval) {
    texts[0] = displayForm(estimate);
    texts[1] = displayForm(interval.low);
    texts[2] = displayForm(interval.high);
}

// Log-scale interval of a ratio from the standard error of its logarithm.
Interval logInterval(double ratio, double logSe) {
    const double half = normal975() * logSe;
    return {std::exp(std::log(ratio) - half), std::exp(std::log(ratio) + half)};
}

Details fourFoldDetails(const Table &t, double chiSquare, bool unsuitable) {
    std::array<QString, FourFoldItems.size()> texts;
    QStringList notes;
    if (std::isfinite(chiSquare)) {
        texts[FourFoldP] = pValueForm(chiSquare1dfP(chiSquare));
        if (t.allWhole() && t.a + t.b + t.c + t.d > FisherLimit) {
            notes << fourFoldNotes::FisherTooLarge;
        } else if (t.allWhole()) {
            texts[FisherP] = pValueForm(fisherExactP(t.a, t.b, t.c, t.d));
            if (unsuitable)
                notes << fourFoldNotes::Fisher;
        } else {
            notes << fourFoldNotes::WholeCounts;
        }

        // A zero cell would make a ratio or its interval infinite: every cell gets 0.5 more.
        const bool zeroCell = t.a == 0 || t.b == 0 || t.c == 0 || t.d == 0;
        const double k = zeroCell ? 0.5 : 0.0;
        const double a = t.a + k, b = t.b + k, c = t.c + k, d = t.d + k;
        if (zeroCell)
            notes << fourFoldNotes::ZeroCell;
        const double odds = a * d / (b * c);
        putEstimate(&texts[OddsRatio], odds,
                    logInterval(odds, std::sqrt(1 / a + 1 / b + 1 / c + 1 / d)));
        const double risk = (a / (a + b)) / (c / (c + d));
        putEstimate(&texts[RiskRatio], risk,
                    logInterval(risk, std::sqrt(1 / a - 1 / (a + b) + 1 / c - 1 / (c + d))));

        const double r1 = t.a + t.b, r2 = t.c + t.d;
        putEstimate(&texts[RiskDiff], t.a / r1 - t.c / r2, newcombeInterval(t.a, r1, t.c, r2));
    }
    return makeDetails(FourFoldItems, texts, notes);
}

Details pairedDetails(const Table &t, double chiSquare) {
    std::array<QString, PairedItems.size()> texts;
    QStringList notes;
    if (std::isfinite(chiSquare)) {
        const double discordant = t.b + t.c;
        const bool whole = t.whole[1] && t.whole[2];
        texts[McNemarP] = pValueForm(chiSquare1dfP(chiSquare));
        if (whole) {
            texts[McNemarExactP] = pValueForm(binomialHalfP(t.b, discordant));
            if (discordant < 25)
                notes << fourFoldNotes::FewDiscordant;
        } else {
            notes << fourFoldNotes::WholeCounts;
        }

        // The odds of b among the discordant pairs: its exact interval comes from that of
        // b / (b + c).
        texts[PairedOddsRatio] = displayForm(t.c > 0 ? t.b / t.c : Undefined);
        if (whole) {
            const Interval p = clopperPearsonInterval(t.b, discordant);
            texts[PairedOddsRatioLow] = displayForm(p.low / (1 - p.low));
            texts[PairedOddsRatioHigh] =
                displayForm(p.high < 1 ? p.high / (1 - p.high) : Undefined);
        }
        if (t.c == 0)
            notes << fourFoldNotes::NoDiscordantC;

        const double n = t.total ? t.total->toDouble() : Undefined;
        const double diff = (t.b - t.c) / n;
        const double se = std::sqrt(discordant - (t.b - t.c) * (t.b - t.c) / n) / n;
        const double half = normal975() * se;
        putEstimate(&texts[PairedPropDiff], diff, {diff - half, diff + half});
    }
    return makeDetails(PairedItems, texts, notes);
}

double valueOf(const std::optional<Fixed4> &v) {
    return v ? v->toDouble() : std::numeric_limits<double>::quiet_NaN();
}

} // namespace

FourFoldMargins fourFoldMargins(const FourFoldTexts &cells) {
    return Table(cells).margins();
}

FourFoldResult fourFoldChiSquare(const FourFoldTexts &cells) {
    const Table t(cells);
    FourFoldResult result;
    result.margins = t.margins();
    result.n = t.nText();
    result.details = fourFoldDetails(t, Undefined, false);
    // A chi-square of negative counts means nothing; a count or total too large to hold has
    // no n to judge by.
    if (t.anyNegative || t.outOfRange || !t.total)
        return result;

    const double n = t.n ? double(*t.n) : 0.0;
    const double r1 = valueOf(t.row1), r2 = valueOf(t.row2);
    const double c1 = valueOf(t.positive), c2 = valueOf(t.negative);
    std::array<double, 4> expected{};
    bool expectedKnown = n != 0.0;
    if (expectedKnown) {
        expected = {r1 * c1 / n, r1 * c2 / n, r2 * c1 / n, r2 * c2 / n};
        for (std::size_t i = 0; i < 4; ++i) {
            expectedKnown = expectedKnown && std::isfinite(expected[i]);
            result.expected[i] = displayForm(expected[i]);
        }
    }

    const double product = r1 * r2 * c1 * c2;
    double chi = Undefined;
    if (expectedKnown && product != 0.0) {
        const double diff = t.a * t.d - t.b * t.c;
        bool basic = true;
        for (double e : expected)
            basic = basic && e >= 5.0;
        // The corrected difference is squared as it is, even when it falls below zero.
        const double corrected = std::sqrt(diff * diff) - n / 2.0;
        chi = basic ? n * (diff * diff) / product : n * (corrected * corrected) / product;
        result.chiSquare = displayForm(chi);
    }

    bool unsuitable = !expectedKnown || n < 40.0;
    for (double e : expected)
        unsuitable = unsuitable || e < 1.0;
    result.judgment = unsuitable
                          ? FourFoldUnsuitable
                          : judgeShownChiSquare(result.chiSquare, ChiSquare1df05, ChiSquare1df01);
    result.details = fourFoldDetails(t, result.chiSquare.isEmpty() ? Undefined : chi, unsuitable);
    return result;
}

PairedFourFoldResult pairedFourFoldChiSquare(const FourFoldTexts &cells) {
    const Table t(cells);
    PairedFourFoldResult result;
    result.margins = t.margins();
    result.n = t.nText();
    result.details = pairedDetails(t, Undefined);
    // Undefined without discordant pairs; meaningless with negative counts or out of range.
    if (t.anyNegative || t.outOfRange || !t.discordant || t.discordant->ticks() == 0)
        return result;

    const double sum = t.discordant->toDouble();
    const double diff = t.b - t.c;
    const double corrected = std::sqrt(diff * diff) - 1.0;
    const bool large = *t.discordant >= Fixed4::fromTicks(40 * Fixed4::Scale);
    const double chi = large ? diff * diff / sum : corrected * corrected / sum;
    result.chiSquare = displayForm(chi);
    result.judgment = judgeShownChiSquare(result.chiSquare, ChiSquare1df05, ChiSquare1df01);
    result.details = pairedDetails(t, chi);
    return result;
}

} // namespace quarbel
