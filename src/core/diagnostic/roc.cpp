#include "core/diagnostic/roc.h"

#include "core/diagnostic/diagnostic.h"

#include "core/entry/column_list.h"
#include "core/entry/number_rules.h"
#include "core/entry/wide_int.h"
#include "core/tables/exact_tests.h"

#include <QCoreApplication>

#include <boost/math/distributions/normal.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace quarbel {
namespace {

QString tr(const char *text) {
    return QCoreApplication::translate("Roc", text);
}

constexpr std::array<std::pair<const char *, const char *>, 11> Items{{
    {"RocNPos", "患病例数"},
    {"RocNNeg", "未患病例数"},
    {"RocAuc", "曲线下面积 AUC"},
    {"RocAucSe", "标准误 SE"},
    {"RocAucLow", "95%CI 下限"},
    {"RocAucHigh", "95%CI 上限"},
    {"RocP", "P（AUC = 0.5）"},
    {"RocCutoff", "最佳截断值"},
    {"RocCutoffSens", "灵敏度"},
    {"RocCutoffSpec", "特异度"},
    {"RocYouden", "约登指数"},
}};
enum Item { NPos, NNeg, Auc, AucSe, AucLow, AucHigh, P, Cutoff, CutoffSens, CutoffSpec, Youden };

constexpr std::int64_t One = Fixed4::Scale;

bool blank(std::span<const QString> texts, std::size_t i) {
    if (i >= texts.size())
        return true;
    for (QChar ch : texts[i])
        if (!ch.isSpace())
            return false;
    return true;
}

std::int64_t at(std::span<const std::int64_t> ticks, std::size_t i) {
    return i < ticks.size() ? ticks[i] : ColumnList::Missing;
}

// Least-significant-digit radix sort by bytes, skipping the bytes every key shares: values
// typed to a few decimals differ in two or three of their eight bytes, so a million of them
// sort in a few linear passes.
void radixSort(std::vector<std::int64_t> &keys) {
    if (keys.size() < 512) {
        std::sort(keys.begin(), keys.end());
        return;
    }
    constexpr std::uint64_t SignBit = std::uint64_t(1) << 63;
    auto digit = [](std::int64_t key, int d) {
        return std::size_t(((std::uint64_t(key) ^ SignBit) >> (8 * d)) & 0xFF);
    };
    std::array<std::array<std::size_t, 256>, 8> counts{};
    for (std::int64_t key : keys)
        for (int d = 0; d < 8; ++d)
            ++counts[std::size_t(d)][digit(key, d)];
    std::vector<std::int64_t> buffer(keys.size());
    for (int d = 0; d < 8; ++d) {
        auto &count = counts[std::size_t(d)];
        if (count[digit(keys.front(), d)] == keys.size())
            continue;
        std::size_t offset = 0;
        for (std::size_t &c : count)
            offset += std::exchange(c, offset);
        for (std::int64_t key : keys)
            buffer[count[digit(key, d)]++] = key;
        keys.swap(buffer);
    }
}

// The sums over the merged, sorted classes that the AUC, DeLong's variance and the
// coordinates need, all exact. With k = 2·#(controls below) + #(controls equal) for a case and
// m = 2·#(cases above) + #(cases equal) for a control (twice their placements), the AUC is
// Σk / (2·n1·n0), and the placements' sums of squares give their variances.
struct Placements {
    WideInt sumK{0};
    WideInt sumK2{0};
    WideInt sumM2{0};
};

} // namespace

Details rocLayout() {
    return emptyDetails(Items);
}

RocResult analyseRoc(const RocColumns &columns, bool lowerPositive) {
    RocResult result;
    result.lowerPositive = lowerPositive;
    result.details = rocLayout();
    auto put = [&](Item item, const QString &text) { result.details.items[item].text = text; };

    // Values are turned so that higher always means disease; Missing is the only value whose
    // negation would not fit, and it never enters.
    const std::size_t rows = std::max({columns.value.size(), columns.status.size(),
                                       columns.valueText.size(), columns.statusText.size()});
    std::vector<std::int64_t> cases, controls;
    std::size_t statusOne = 0;
    for (std::int64_t s : columns.status)
        statusOne += s == One;
    cases.reserve(statusOne);
    controls.reserve(columns.status.size() - statusOne);
    for (std::size_t i = 0; i < rows; ++i) {
        const std::int64_t v = at(columns.value, i), s = at(columns.status, i);
        if (v != ColumnList::Missing && (s == One || s == 0)) {
            (s == One ? cases : controls).push_back(lowerPositive ? -v : v);
        } else if (!blank(columns.valueText, i) || !blank(columns.statusText, i)) {
            ++result.unusable;
        }
    }
    const std::int64_t n1 = std::int64_t(cases.size()), n0 = std::int64_t(controls.size());
    result.cases = n1;
    result.controls = n0;
    put(NPos, QString::number(n1));
    put(NNeg, QString::number(n0));

    QStringList notes;
    if (result.unusable > 0)
        notes << tr("%1 行不可用（检测值不是数字，或金标准不是 1 或 0），未纳入分析")
                     .arg(result.unusable);
    if (n1 == 0 || n0 == 0) {
        if (n1 + n0 > 0)
            notes << tr("只有一类：需要金标准为 1（患病）和 0（未患病）的两类");
        result.details.note = notes.join(QStringLiteral("；"));
        return result;
    }

    radixSort(cases);
    radixSort(controls);

    // One merged pass over the distinct values in ascending order.
    Placements sums;
    std::vector<RocCoordinate> coords;
    std::size_t i = 0, j = 0;
    WideInt bestScore = -1;
    std::size_t bestAt = 0;
    while (i < cases.size() || j < controls.size()) {
        const std::int64_t u = j == controls.size() ? cases[i]
                               : i == cases.size()  ? controls[j]
                                                    : std::min(cases[i], controls[j]);
        const std::int64_t below1 = std::int64_t(i), below0 = std::int64_t(j);
        while (i < cases.size() && cases[i] == u)
            ++i;
        while (j < controls.size() && controls[j] == u)
            ++j;
        const std::int64_t equal1 = std::int64_t(i) - below1, equal0 = std::int64_t(j) - below0;
        const WideInt k = 2 * WideInt(below0) + equal0;
        const WideInt m = 2 * WideInt(n1 - std::int64_t(i)) + equal1;
        sums.sumK += equal1 * k;
        sums.sumK2 += equal1 * k * k;
        sums.sumM2 += equal0 * m * m;

        // "value ≥ u" is positive: cases from below1 on, controls below below0.
        const std::int64_t tp = n1 - below1, tn = below0;
        const WideInt score = WideInt(tp) * n0 + WideInt(tn) * n1;
        // Ascending u lowers the sensitivity, so the first maximum is the one with the highest.
        if (score > bestScore) {
            bestScore = score;
            bestAt = coords.size();
        }
        coords.push_back({lowerPositive ? -u : u, tp, tn});
    }

    const WideInt pairs = WideInt(n1) * n0;
    const double auc = toDouble(sums.sumK) / (2 * toDouble(pairs));
    put(Auc, displayForm(auc));
    if (sums.sumK < pairs)
        notes << (lowerPositive
                      ? tr("AUC < 0.5：检测值的方向可能反了，可取消勾选“检测值越低越可能患病”")
                      : tr("AUC < 0.5：检测值的方向可能反了，可勾选“检测值越低越可能患病”"));
    if (n1 < 10 || n0 < 10)
        notes << tr("患病或未患病者少于 10 例：AUC 的标准误和置信区间不可靠");

    if (n1 >= 2 && n0 >= 2) {
        // Σ(k − k̄)²·n1 = n1·Σk² − (Σk)², exact; the same for the controls' m, whose sum is Σk.
        const WideInt spread1 = WideInt(n1) * sums.sumK2 - sums.sumK * sums.sumK;
        const WideInt spread0 = WideInt(n0) * sums.sumM2 - sums.sumK * sums.sumK;
        const double d1 = double(n1), d0 = double(n0);
        const double s10 = toDouble(spread1) / (d1 * (d1 - 1) * 4 * d0 * d0);
        const double s01 = toDouble(spread0) / (d0 * (d0 - 1) * 4 * d1 * d1);
        const double se = std::sqrt(s10 / d1 + s01 / d0);
        const double half = normal975() * se;
        put(AucSe, displayForm(se));
        put(AucLow, displayForm(std::clamp(auc - half, 0.0, 1.0)));
        put(AucHigh, displayForm(std::clamp(auc + half, 0.0, 1.0)));
        if (spread1 > 0 || spread0 > 0)
            put(P, pValueForm(2 * boost::math::cdf(boost::math::normal_distribution<double>(),
                                                   -std::abs(auc - 0.5) / se)));
        else
            notes << tr("DeLong 标准误为 0：不计算 P");
    } else {
        notes << tr("某一类只有 1 例：DeLong 标准误无定义");
    }

    const RocCoordinate &best = coords[bestAt];
    put(Cutoff, displayForm(Fixed4::fromTicks(best.cutoff)));
    put(CutoffSens, displayForm(double(best.truePositive) / double(n1)));
    put(CutoffSpec, displayForm(double(best.trueNegative) / double(n0)));
    put(Youden, displayForm(toDouble(bestScore - pairs) / toDouble(pairs)));

    // The table lists the values ascending as typed.
    if (lowerPositive) {
        std::reverse(coords.begin(), coords.end());
        bestAt = coords.size() - 1 - bestAt;
    }
    result.coordinates = std::move(coords);
    result.best = std::ptrdiff_t(bestAt);
    result.details.note = notes.join(QStringLiteral("；"));
    return result;
}

QStringList rocCoordinateHeader() {
    return {tr("截断值"), tr("灵敏度"), tr("特异度"), tr("约登指数")};
}

QStringList rocCoordinateTexts(const RocResult &result, const RocCoordinate &row) {
    if (result.cases == 0 || result.controls == 0)
        return {};
    const double n1 = double(result.cases), n0 = double(result.controls);
    const WideInt pairs = WideInt(result.cases) * result.controls;
    const WideInt score =
        WideInt(row.truePositive) * result.controls + WideInt(row.trueNegative) * result.cases;
    return {displayForm(Fixed4::fromTicks(row.cutoff)), displayForm(double(row.truePositive) / n1),
            displayForm(double(row.trueNegative) / n0),
            displayForm(toDouble(score - pairs) / toDouble(pairs))};
}

RocCurve rocCurve(const RocResult &result) {
    RocCurve curve;
    const auto &coords = result.coordinates;
    if (coords.empty())
        return curve;
    const double n1 = double(result.cases), n0 = double(result.controls);
    curve.points.reserve(coords.size() + 1);
    curve.points.push_back({0, 0});
    // From the strictest cut-off to the loosest: the highest value first, the lowest when
    // lower values indicate disease.
    for (std::size_t k = 0; k < coords.size(); ++k) {
        const std::size_t idx = result.lowerPositive ? k : coords.size() - 1 - k;
        curve.points.push_back(
            {1 - double(coords[idx].trueNegative) / n0, double(coords[idx].truePositive) / n1});
        if (std::ptrdiff_t(idx) == result.best)
            curve.best = std::ptrdiff_t(curve.points.size() - 1);
    }
    const Details &d = result.details;
    curve.caption = QStringLiteral("AUC = ") + d.text(u"RocAuc");
    if (!d.text(u"RocAucLow").isEmpty())
        curve.caption +=
            QStringLiteral("（95% CI %1 ~ %2）").arg(d.text(u"RocAucLow"), d.text(u"RocAucHigh"));
    return curve;
}

ReportContent rocReport(const RocResult &result) {
    ReportContent c;
    const Details &d = result.details;
    if (d.text(u"RocAuc").isEmpty())
        return c;
    auto rt = [](const char *text) { return QCoreApplication::translate("RocReport", text); };
    c.inputs.header = {rt("金标准"), rt("例数")};
    c.inputs.rows = {{rt("患病（1）"), d.text(u"RocNPos")},
                     {rt("未患病（0）"), d.text(u"RocNNeg")}};
    const QString rule =
        result.lowerPositive ? rt("检测值 ≤ 截断值判为阳性") : rt("检测值 ≥ 截断值判为阳性");

    c.results.header = {rt("指标"), rt("结果")};
    const QString auc = d.text(u"RocAuc"), low = d.text(u"RocAucLow"), high = d.text(u"RocAucHigh");
    const bool ci = !low.isEmpty() && !high.isEmpty();
    c.results.rows.append({ci ? rt("AUC（95% CI）") : QStringLiteral("AUC"),
                           ci ? QStringLiteral("%1（%2 ~ %3）").arg(auc, low, high) : auc});
    auto row = [&](const QString &caption, const QString &value) {
        if (!value.isEmpty())
            c.results.rows.append({caption, value});
    };
    row(rt("标准误 SE"), d.text(u"RocAucSe"));
    row(QStringLiteral("P"), d.text(u"RocP"));
    row(rt("最佳截断值（约登指数）"), d.text(u"RocCutoff"));
    row(rt("灵敏度"), d.text(u"RocCutoffSens"));
    row(rt("特异度"), d.text(u"RocCutoffSpec"));
    row(rt("约登指数"), d.text(u"RocYouden"));
    row(rt("判定规则"), rule);

    const QString p = d.text(u"RocP");
    const QString pZh = p.isEmpty()          ? QString()
                        : p.startsWith(u'<') ? QStringLiteral("，P < ") + p.mid(1)
                                             : QStringLiteral("，P = ") + p;
    const QString pEn = pZh.isEmpty() ? QString() : QStringLiteral(", ") + pZh.mid(1);
    c.chinese = rt("ROC 曲线下面积 AUC 为 %1").arg(auc) +
                (ci ? QStringLiteral("（95% CI %1 ~ %2）").arg(low, high) : QString()) + pZh +
                rt("；按约登指数，最佳截断值为 %1（%2），灵敏度为 %3，特异度为 %4。")
                    .arg(d.text(u"RocCutoff"), rule, percentText(d.text(u"RocCutoffSens")),
                         percentText(d.text(u"RocCutoffSpec")));
    c.english =
        QStringLiteral("The area under the ROC curve was %1").arg(auc) +
        (ci ? QStringLiteral(" (95% CI %1 to %2)").arg(low, high) : QString()) + pEn +
        QStringLiteral("; by Youden's index the best cut-off was %1 (values %2 %1 positive), "
                       "with a sensitivity of %3 and a specificity of %4.")
            .arg(d.text(u"RocCutoff"),
                 result.lowerPositive ? QStringLiteral("≤") : QStringLiteral("≥"),
                 percentText(d.text(u"RocCutoffSens")), percentText(d.text(u"RocCutoffSpec")));
    if (!d.note.isEmpty())
        c.notes << d.note;
    return c;
}

} // namespace quarbel
