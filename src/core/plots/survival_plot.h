#pragma once

#include "core/survival/survival.h"

#include <QString>

#include <cstdint>
#include <vector>

namespace quarbel {

// One group's Kaplan–Meier curve as steps: S (and its interval) holds from time[i] until the
// next time; the first point is (0, 1). Censored times carry a mark at the curve's height.
struct SurvivalCurve {
    QString label;
    std::vector<double> time, survival, low, high;
    std::vector<double> censorTime, censorSurvival;
    friend bool operator==(const SurvivalCurve &, const SurvivalCurve &) = default;
};

// The numbers behind the survival picture: the curves, the time axis's ticks and each group's
// number at risk at every tick, printed under the axis.
struct SurvivalPicture {
    std::vector<SurvivalCurve> curves;
    std::vector<double> ticks;
    std::vector<std::vector<std::int64_t>> atRisk; // [group][tick]
    double lastTime{0.0};
    friend bool operator==(const SurvivalPicture &, const SurvivalPicture &) = default;
};

// Steps closer together than a two-thousandth of the time axis are drawn as one, so a
// million rows draw as fast as a few thousand with no visible difference.
SurvivalPicture survivalPicture(const SurvivalResult &result);

// Round tick positions from 0 to at least `last`: steps of 1, 2 or 5 times a power of ten,
// four to eight of them.
std::vector<double> timeTicks(double last);

} // namespace quarbel
