#pragma once

#include "core/plots/survival_plot.h"

namespace quarbel {

class PlotView;

// Kaplan–Meier steps per group with censored times marked "+", the 95% bands when asked for,
// a legend, and each group's number at risk at the time ticks in rows under the time axis.
void drawSurvival(PlotView &view, const SurvivalPicture &picture, bool bands);

} // namespace quarbel
