#include "core/plots/survival_plot.h"

#include "core/entry/number_rules.h"

#include <algorithm>
#include <cmath>

namespace quarbel {
namespace {

constexpr double Resolution = 1.0 / 2000.0;

double seconds(std::int64_t ticks) {
    return double(ticks) / double(Fixed4::Scale);
}

} // namespace

std::vector<double> timeTicks(double last) {
    if (!(last > 0.0) || !std::isfinite(last))
        return {0.0, 1.0};
    const double raw = last / 5.0;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    double step = power;
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (m * power >= raw) {
            step = m * power;
            break;
        }
    std::vector<double> ticks;
    for (int i = 0; i <= 10; ++i) {
        ticks.push_back(i * step);
        if (i * step >= last)
            break;
    }
    return ticks;
}

SurvivalPicture survivalPicture(const SurvivalResult &result) {
    SurvivalPicture picture;
    for (const LifeTableRow &row : result.lifeTable)
        picture.lastTime = std::max(picture.lastTime, seconds(row.time));
    picture.ticks = timeTicks(picture.lastTime);
    const double bin = std::max(picture.lastTime * Resolution, 1e-12);

    picture.curves.resize(result.groups.size());
    picture.atRisk.assign(result.groups.size(), std::vector<std::int64_t>(picture.ticks.size(), 0));
    for (std::size_t g = 0; g < result.groups.size(); ++g) {
        SurvivalCurve &c = picture.curves[g];
        c.label = result.groups[g].label;
        c.time.push_back(0.0);
        c.survival.push_back(1.0);
        c.low.push_back(1.0);
        c.high.push_back(1.0);
    }
    // Rows come group by group, each in time order: the first row at or after a tick holds the
    // number at risk there.
    std::vector<std::size_t> nextTick(result.groups.size(), 0);
    for (const LifeTableRow &row : result.lifeTable) {
        if (row.group < 0 || std::size_t(row.group) >= picture.curves.size())
            continue;
        const auto g = std::size_t(row.group);
        SurvivalCurve &c = picture.curves[g];
        const double t = seconds(row.time);
        for (std::size_t &k = nextTick[g]; k < picture.ticks.size() && picture.ticks[k] <= t; ++k)
            picture.atRisk[g][k] = row.atRisk;
        const double low = std::isfinite(row.low) ? row.low : 0.0;
        const double high = std::isfinite(row.high) ? row.high : 0.0;
        if (row.events > 0) {
            if (c.time.size() > 1 && t - c.time.back() < bin) {
                c.survival.back() = row.survival;
                c.low.back() = low;
                c.high.back() = high;
            } else {
                c.time.push_back(t);
                c.survival.push_back(row.survival);
                c.low.push_back(low);
                c.high.push_back(high);
            }
        }
        if (row.censored > 0 && (c.censorTime.empty() || t - c.censorTime.back() >= bin ||
                                 c.censorSurvival.back() != row.survival)) {
            c.censorTime.push_back(t);
            c.censorSurvival.push_back(row.survival);
        }
    }
    // The curve runs on to the group's last time.
    for (std::size_t g = 0; g < picture.curves.size(); ++g) {
        SurvivalCurve &c = picture.curves[g];
        double last = c.time.back();
        if (!c.censorTime.empty())
            last = std::max(last, c.censorTime.back());
        if (last > c.time.back()) {
            c.time.push_back(last);
            c.survival.push_back(c.survival.back());
            c.low.push_back(c.low.back());
            c.high.push_back(c.high.back());
        }
    }
    return picture;
}

} // namespace quarbel
