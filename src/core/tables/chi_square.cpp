#include "core/tables/chi_square.h"

#include "core/entry/number_rules.h"

namespace quarbel {

QString judgeShownChiSquare(const QString &shown, double critical05, double critical01) {
    const double value = readDisplayed(shown);
    if (value >= critical01)
        return labels::P01;
    if (value >= critical05)
        return labels::P05;
    return labels::NotSignificant;
}

} // namespace quarbel
