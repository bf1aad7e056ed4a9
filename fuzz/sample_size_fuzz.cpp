// Arbitrary box texts into the sample size calculation, its report and its picture. Nothing
// may crash or throw; every n shown is a whole number no less than the design's least n (or
// "> 10⁹"), every power a display-form value in [0, 1], and an n found for a target power
// reaches it, where one fewer would not for the designs searched.
#include "core/entry/number_rules.h"
#include "core/plots/sample_size_plot.h"
#include "core/samplesize/sample_size.h"
#include "core/samplesize/sample_size_report.h"
#include "fuzz_support.h"

#include <cmath>

using namespace quarbel;
using quarbel::fuzz::isDisplayPattern;

namespace {

bool noNumberWords(const QString &s) {
    const QString l = s.toLower();
    return !l.contains(QLatin1String("nan")) && !l.contains(QLatin1String("inf"));
}

// Empty, "> 10⁹" or the digits of a whole number ≥ least; its value, or -1 when not whole.
double checkCount(const QString &s, double least) {
    if (s.isEmpty() || s == QStringLiteral("> 10⁹"))
        return -1;
    bool ok = false;
    const qlonglong n = s.toLongLong(&ok);
    FUZZ_CHECK(ok && QString::number(n) == s && n >= least && n <= 1000000000);
    return double(n);
}

void checkPower(const QString &s) {
    if (s.isEmpty())
        return;
    FUZZ_CHECK(isDisplayPattern(s));
    const double v = s.toDouble();
    FUZZ_CHECK(v >= 0 && v <= 1);
}

void check(const SampleSizeInput &in) {
    const SampleSizeResult r = computeSampleSize(in);
    const QString *fields[] = {&r.n1,        &r.n2,           &r.total,  &r.n1Dropout,
                               &r.n2Dropout, &r.totalDropout, &r.events, &r.achievedPower,
                               &r.powerOut,  &r.n1Cc,         &r.n2Cc,   &r.note};
    for (const QString *f : fields)
        FUZZ_CHECK(noNumberWords(*f));
    if (r.n1.isEmpty()) {
        for (const QString *f : fields)
            FUZZ_CHECK(f == &r.note || f->isEmpty());
        FUZZ_CHECK(!r.parameters);
    } else {
        FUZZ_CHECK(r.parameters);
        const SizeParameters &s = *r.parameters;
        const double least = leastSampleSize(s.design);
        const double n1 = checkCount(r.n1, least), n2 = checkCount(r.n2, least);
        const double total = checkCount(r.total, least);
        const double d1 = checkCount(r.n1Dropout, least), d2 = checkCount(r.n2Dropout, least);
        checkCount(r.totalDropout, least);
        checkCount(r.n1Cc, least);
        checkCount(r.n2Cc, least);
        checkCount(r.events, 0);
        checkPower(r.achievedPower);
        checkPower(r.powerOut);
        if (n1 > 0 && d1 > 0)
            FUZZ_CHECK(d1 >= n1);
        if (n2 > 0 && d2 > 0)
            FUZZ_CHECK(d2 >= n2);
        if (n1 > 0 && n2 > 0 && total > 0)
            FUZZ_CHECK(total == n1 + n2);
        if (s.solveForPower) {
            FUZZ_CHECK(r.events.isEmpty() && r.n1Cc.isEmpty() && !r.powerOut.isEmpty());
            FUZZ_CHECK(r.achievedPower.isEmpty() || r.achievedPower == r.powerOut);
        } else if (n1 > 0 && !r.achievedPower.isEmpty()) {
            FUZZ_CHECK(r.powerOut.isEmpty());
            const bool searched = s.design == SizeDesign::TwoMeans ||
                                  s.design == SizeDesign::PairedMeans ||
                                  s.design == SizeDesign::Anova;
            // A formula's n is whole to within 10⁻⁹ and may sit a hair under the target; Fleiss'
            // power need not rise with n2, so with n2 ≠ r·n1 it is not held to the target.
            const double power = powerAtSize(s, n1);
            if (searched)
                FUZZ_CHECK(power >= s.power);
            else if (s.design != SizeDesign::TwoRates || s.ratio == 1)
                FUZZ_CHECK(power >= s.power - 1e-6);
            if (searched && n1 > least)
                FUZZ_CHECK(powerAtSize(s, n1 - 1) < s.power);
        }
    }
    const ReportContent report = sampleSizeReport(in, r);
    FUZZ_CHECK(report.chinese.isEmpty() == r.n1.isEmpty());
    FUZZ_CHECK(noNumberWords(report.chinese) && noNumberWords(report.english));
    const SampleSizePicture picture = sampleSizePicture(r);
    for (const PlotPoint &p : picture.curve)
        FUZZ_CHECK(std::isfinite(p.x) && p.y >= 0 && p.y <= 1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QStringList lines = quarbel::fuzz::linesOf(data, size);
    auto line = [&lines](qsizetype i) { return i < lines.size() ? lines[i] : QString(); };
    SampleSizeInput in;
    in.design = line(0).toInt();
    in.sides = line(1).toInt();
    in.solve = line(2).toInt();
    QString *boxes[] = {&in.delta,     &in.sd,      &in.p1,        &in.p2,    &in.p10,
                        &in.p01,       &in.groups,  &in.effectF,   &in.rho,   &in.hr,
                        &in.eventProb, &in.p,       &in.halfWidth, &in.alpha, &in.power,
                        &in.ratio,     &in.dropout, &in.nInput};
    for (qsizetype i = 0; i < qsizetype(std::size(boxes)); ++i)
        if (i + 3 < lines.size())
            *boxes[i] = lines[i + 3];
    check(in);
    return 0;
}
