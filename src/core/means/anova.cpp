#include "core/means/anova.h"

#include "core/entry/number_rules.h"

#include <cmath>

namespace quarbel {

bool anyBoxZero(const AnovaBoxes &boxes) {
    bool zero = false;
    for (const QString &box : boxes)
        zero = zero || leadingNumber(box) == 0.0;
    return zero;
}

AnovaResult runAnova(const AnovaBoxes &boxes) {
    AnovaResult r;
    if (anyBoxZero(boxes))
        return r;

    std::array<double, 3> mean{}, sd{}, n{};
    for (std::size_t g = 0; g < 3; ++g) {
        mean[g] = leadingNumber(boxes[3 * g]);
        sd[g] = leadingNumber(boxes[3 * g + 1]);
        n[g] = leadingNumber(boxes[3 * g + 2]);
    }
    const double total = n[0] + n[1] + n[2];
    const double grandMean = (n[0] * mean[0] + n[1] * mean[1] + n[2] * mean[2]) / total;
    // Deviations from the grand mean and the groups' own variances give the same sums of
    // squares as the textbook totals minus the correction term, without losing every digit
    // to cancellation when the means are large beside their spread.
    double ssBetween = 0;
    double ssWithin = 0;
    for (std::size_t g = 0; g < 3; ++g) {
        ssBetween += n[g] * (mean[g] - grandMean) * (mean[g] - grandMean);
        ssWithin += (n[g] - 1) * sd[g] * sd[g];
    }
    const double dfWithin = total - 3;
    r.terms = WithinTerms{ssWithin, dfWithin};

    r.critical = lookupF(dfWithin);
    const double msWithin = ssWithin / dfWithin;
    const double f = (ssBetween / 2) / msWithin;
    if (!r.critical || !(dfWithin > 0) || !(msWithin > 0) || !std::isfinite(f))
        return r;

    const QString shown = displayForm(f);
    const double f05 = readDisplayed(r.critical->f05);
    const double f01 = readDisplayed(r.critical->f01);
    const QString &label = f >= f01 ? labels::P01 : f >= f05 ? labels::P05 : labels::NotSignificant;
    r.fResult = QStringLiteral("F = ") + shown + labels::Gap + label;
    return r;
}

} // namespace quarbel
