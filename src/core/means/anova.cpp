#include "core/means/anova.h"

#include "core/entry/number_rules.h"
#include "core/entry/quiet_policy.h"
#include "core/means/studentized_range.h"

#include <boost/math/distributions/chi_squared.hpp>
#include <boost/math/distributions/fisher_f.hpp>

#include <cmath>

namespace quarbel {
namespace {

struct Groups {
    std::array<double, 3> mean{}, sd{}, n{};
};

Groups groupsOf(const AnovaBoxes &boxes) {
    Groups g;
    for (std::size_t i = 0; i < 3; ++i) {
        g.mean[i] = leadingNumber(boxes[3 * i]);
        g.sd[i] = leadingNumber(boxes[3 * i + 1]);
        g.n[i] = leadingNumber(boxes[3 * i + 2]);
    }
    return g;
}

// The quantities the F test forms, unrounded; the details start from these.
struct Sums {
    double ssBetween{0}, ssWithin{0}, dfWithin{0}, f{0};
};

struct Pair {
    std::size_t a, b;
    const char *digits;
};
constexpr std::array<Pair, 3> pairs{{{0, 1, "12"}, {0, 2, "13"}, {1, 2, "23"}}};

QString itemName(const char *stem, const char *digits = "") {
    return QLatin1String("Anova") + QLatin1String(stem) + QLatin1String(digits);
}

// The one list of the details: names, captions and order.
const Details &detailsLayout() {
    static const Details layout = [] {
        Details d;
        auto add = [&d](const QString &name, const QString &caption) {
            d.items.append(DetailItem{name, caption, QString()});
        };
        for (const Pair &p : pairs) {
            const QString diff = QStringLiteral("X%1−X%2").arg(p.a + 1).arg(p.b + 1);
            add(itemName("TukeyDiff", p.digits), diff);
            add(itemName("TukeyLow", p.digits), diff + QStringLiteral(" 95%下限"));
            add(itemName("TukeyHigh", p.digits), diff + QStringLiteral(" 95%上限"));
            add(itemName("TukeyP", p.digits), diff + QStringLiteral(" Tukey P"));
        }
        add(itemName("P"), QStringLiteral("F 检验精确 P"));
        add(itemName("Eta2"), QStringLiteral("效应量 η²"));
        add(itemName("BartlettChi2"), QStringLiteral("方差齐性 Bartlett χ²"));
        add(itemName("BartlettP"), QStringLiteral("Bartlett P"));
        add(itemName("WelchF"), QStringLiteral("Welch F"));
        add(itemName("WelchDf2"), QStringLiteral("Welch 分母自由度"));
        add(itemName("WelchP"), QStringLiteral("Welch P"));
        return d;
    }();
    return layout;
}

void put(Details &d, const QString &name, const QString &text) {
    for (DetailItem &item : d.items)
        if (item.name == name)
            item.text = text;
}

QString groupWord(std::size_t g) {
    return QStringLiteral("第 %1 组").arg(g + 1);
}

double upperF(double f, double df1, double df2) {
    if (!std::isfinite(f) || !(df2 > 0) || !std::isfinite(df2))
        return NAN;
    const boost::math::fisher_f_distribution<double, Quiet> dist(df1, df2);
    return boost::math::cdf(boost::math::complement(dist, std::max(f, 0.0)));
}

// The degrees of freedom of the F table row a lookup used ("000" is infinity); the row rule is
// the lookup's own: the largest key not greater than df, 120 itself, else infinity.
double fTableRowDf(double df) {
    const QStringList &items = fTableItems();
    double row = NAN;
    for (qsizetype i = 0; i + 1 < items.size(); ++i) {
        const double key = items[i].left(3).toDouble();
        if (key > df)
            return row;
        row = key;
    }
    return df == 120 ? 120 : INFINITY;
}

QString dfText(double df) {
    return std::isinf(df) ? QStringLiteral("∞") : plainForm(df);
}

// Levels as the panel's labels say them, so the table's judgment and the exact P compare.
const QString &levelOf(double p) {
    return p <= 0.01 ? labels::P01 : p <= 0.05 ? labels::P05 : labels::NotSignificant;
}

// Why the zero test stopped, when every box holds a number and one of them is zero: a
// standard deviation of 0 is real data (all values equal, or a single value) that the panel
// cannot use.
QString zeroNote(const AnovaBoxes &boxes, const Groups &g) {
    for (const QString &box : boxes)
        if (!Fixed4::parse(box))
            return {};
    static const std::array<QString, 3> what{QStringLiteral("均数"), QStringLiteral("标准差"),
                                             QStringLiteral("例数")};
    for (std::size_t k = 0; k < boxes.size(); ++k) {
        if (leadingNumber(boxes[k]) != 0.0)
            continue;
        const std::size_t group = k / 3;
        if (k % 3 == 1 && g.n[group] == 1)
            return groupWord(group) + QStringLiteral("只有 1 个数据，标准差记为 0，面板不作计算");
        return groupWord(group) + QStringLiteral("的") + what[k % 3] +
               QStringLiteral("为 0，面板把 0 当作未填，不作计算");
    }
    return {};
}

// The 95% point of the range of three means. It depends on the within-group df alone, which
// most keystrokes leave as it was (editing a value, a mean or an SD): remembering the last df
// spares the quadrature's root search then.
std::optional<double> tukeyCritical(double dfWithin) {
    thread_local double lastDf = NAN;
    thread_local std::optional<double> lastQ;
    if (!(dfWithin == lastDf)) {
        lastQ = studentizedRangeQuantile(0.95, 3, dfWithin);
        lastDf = dfWithin;
    }
    return lastQ;
}

// Bartlett's and Welch's tests need every group's own variance: two values at least.
bool variancesKnown(const Groups &g, QStringList &notes) {
    for (std::size_t i = 0; i < 3; ++i) {
        if (!(g.n[i] > 1)) {
            notes << groupWord(i) +
                         QStringLiteral("不足 2 个数据，无法检验方差齐性，也无法作 Welch 方差分析");
            return false;
        }
    }
    return true;
}

// Bartlett's test of equal variances; gives its P.
double putBartlett(Details &d, const Groups &g, const Sums &s) {
    const double pooled = s.ssWithin / s.dfWithin;
    double logs = 0, reciprocal = 0;
    for (std::size_t i = 0; i < 3; ++i) {
        const double nu = g.n[i] - 1;
        logs += nu * std::log(pooled / (g.sd[i] * g.sd[i]));
        reciprocal += 1 / nu;
    }
    const double chi2 = std::max(0.0, logs / (1 + (reciprocal - 1 / s.dfWithin) / 6));
    const double bartlettP =
        std::isfinite(chi2) ? boost::math::cdf(boost::math::complement(
                                  boost::math::chi_squared_distribution<double, Quiet>(2), chi2))
                            : NAN;
    put(d, itemName("BartlettChi2"), displayForm(chi2));
    put(d, itemName("BartlettP"), pValueForm(bartlettP));
    return bartlettP;
}

void putWelch(Details &d, const Groups &g) {
    // Weighted about the first mean, so means of 10^9 keep the digits of their spread.
    double weights = 0, shift = 0;
    std::array<double, 3> w{};
    for (std::size_t i = 0; i < 3; ++i) {
        w[i] = g.n[i] / (g.sd[i] * g.sd[i]);
        weights += w[i];
        shift += w[i] * (g.mean[i] - g.mean[0]);
    }
    shift /= weights;
    double between = 0, lambda = 0;
    for (std::size_t i = 0; i < 3; ++i) {
        const double dev = g.mean[i] - g.mean[0] - shift;
        between += w[i] * dev * dev;
        lambda += (1 - w[i] / weights) * (1 - w[i] / weights) / (g.n[i] - 1);
    }
    // Three groups: k − 1 = 2 and k² − 1 = 8.
    const double welchF = (between / 2) / (1 + 2.0 / 8 * lambda);
    const double df2 = 8 / (3 * lambda);
    if (std::isfinite(welchF) && std::isfinite(df2)) {
        put(d, itemName("WelchF"), displayForm(welchF));
        put(d, itemName("WelchDf2"), fixedForm(df2, 2));
        put(d, itemName("WelchP"), pValueForm(upperF(welchF, 2, df2)));
    }
}

// The table's judgment against the exact P: a df between rows borrows the row below (or
// infinity above 120), and the tabulated values carry two decimals only.
void noteTableRow(QStringList &notes, double dfWithin, const QString &judgment, double p) {
    const double row = fTableRowDf(dfWithin);
    const bool agrees = judgment.endsWith(levelOf(p));
    if (row != dfWithin)
        notes << QStringLiteral("F 界值表没有 ν = %1 这一行，判断借用了 ν = %2 行的界值%3")
                     .arg(dfText(dfWithin), dfText(row),
                          agrees ? QStringLiteral("，报告时以精确 P 为准")
                                 : QStringLiteral("，与精确 P 不一致，应以精确 P 为准"));
    else if (!agrees)
        notes << QStringLiteral("F 界值表的界值只有两位小数，判断与精确 P 不一致，应以精确 P 为准");
}

// Tukey–Kramer: the range of three means over the standard error of a pair. The
// differences stand whether or not the range has a distribution for this df.
void putTukey(Details &d, const Groups &g, const Sums &s, QStringList &notes) {
    const double msWithin = s.ssWithin / s.dfWithin;
    const auto q95 = tukeyCritical(s.dfWithin);
    for (const Pair &pair : pairs) {
        const double diff = g.mean[pair.a] - g.mean[pair.b];
        put(d, itemName("TukeyDiff", pair.digits), displayForm(diff));
        const double se = std::sqrt(msWithin / 2 * (1 / g.n[pair.a] + 1 / g.n[pair.b]));
        const auto cdf = studentizedRangeCdf(std::fabs(diff) / se, 3, s.dfWithin);
        if (!q95 || !cdf || !std::isfinite(se))
            continue;
        put(d, itemName("TukeyLow", pair.digits), displayForm(diff - *q95 * se));
        put(d, itemName("TukeyHigh", pair.digits), displayForm(diff + *q95 * se));
        put(d, itemName("TukeyP", pair.digits), pValueForm(1 - *cdf));
    }
    if (!q95)
        notes << QStringLiteral("组内自由度不足 2，数据太少，无法给出 Tukey 区间和校正 P");
    else if (s.dfWithin < 5)
        notes << QStringLiteral("组内自由度小于 5，q 检验不作，两两比较请看 Tukey 校正 P");
}

void fillDetails(Details &d, const Groups &g, const Sums &s, const QString &judgment) {
    QStringList notes;
    const double p = upperF(s.f, 2, s.dfWithin);
    put(d, itemName("P"), pValueForm(p));
    put(d, itemName("Eta2"), displayForm(s.ssBetween / (s.ssBetween + s.ssWithin)));
    if (variancesKnown(g, notes)) {
        const double bartlettP = putBartlett(d, g, s);
        putWelch(d, g);
        if (bartlettP < 0.05)
            notes << QStringLiteral("各组方差相差明显（Bartlett P < 0.05），应报告 Welch "
                                    "方差分析的结果");
    }
    noteTableRow(notes, s.dfWithin, judgment, p);
    putTukey(d, g, s, notes);
    if (!notes.isEmpty())
        d.note = notes.join(QStringLiteral("；")) + QStringLiteral("。");
}

} // namespace

bool anyBoxZero(const AnovaBoxes &boxes) {
    bool zero = false;
    for (const QString &box : boxes)
        zero = zero || leadingNumber(box) == 0.0;
    return zero;
}

AnovaResult runAnova(const AnovaBoxes &boxes, bool withDetails) {
    AnovaResult r;
    r.details = detailsLayout();
    const Groups g = groupsOf(boxes);
    if (anyBoxZero(boxes)) {
        if (const QString note = zeroNote(boxes, g); !note.isEmpty())
            r.details.note = note + QStringLiteral("。");
        return r;
    }

    const double total = g.n[0] + g.n[1] + g.n[2];
    const double grandMean = (g.n[0] * g.mean[0] + g.n[1] * g.mean[1] + g.n[2] * g.mean[2]) / total;
    // Deviations from the grand mean and the groups' own variances give the same sums of
    // squares as the textbook totals minus the correction term, without losing every digit
    // to cancellation when the means are large beside their spread.
    Sums s;
    for (std::size_t i = 0; i < 3; ++i) {
        s.ssBetween += g.n[i] * (g.mean[i] - grandMean) * (g.mean[i] - grandMean);
        s.ssWithin += (g.n[i] - 1) * g.sd[i] * g.sd[i];
    }
    s.dfWithin = total - 3;
    r.terms = WithinTerms{s.ssWithin, s.dfWithin};

    r.critical = lookupF(s.dfWithin);
    const double msWithin = s.ssWithin / s.dfWithin;
    s.f = (s.ssBetween / 2) / msWithin;
    if (!r.critical || !(s.dfWithin > 0) || !(msWithin > 0) || !std::isfinite(s.f)) {
        if (s.dfWithin < 1)
            r.details.note = QStringLiteral("组内自由度不足 1，数据太少，无法作方差分析。");
        return r;
    }

    const QString shown = displayForm(s.f);
    const double f05 = readDisplayed(r.critical->f05);
    const double f01 = readDisplayed(r.critical->f01);
    const QString &label = s.f >= f01   ? labels::P01
                           : s.f >= f05 ? labels::P05
                                        : labels::NotSignificant;
    r.fResult = QStringLiteral("F = ") + shown + labels::Gap + label;
    if (withDetails)
        fillDetails(r.details, g, s, r.fResult);
    return r;
}

} // namespace quarbel
