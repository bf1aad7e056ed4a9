#pragma once

#include "core/plots/correlation_plot.h"
#include "core/plots/generator_plot.h"
#include "core/plots/means_plots.h"
#include "core/plots/tables_plots.h"

#include <QStringList>

namespace quarbel {

class PlotView;

// Each draws one method's picture from the numbers the core computed, on a frame that
// PlotView has just emptied; missing numbers leave the frame with its titles only.
void drawGroups(PlotView &view, const std::vector<GroupPicture> &groups);
void drawPaired(PlotView &view, const PairedPicture &picture);
void drawFourFold(PlotView &view, const std::array<std::optional<Estimate>, 2> &groups);
void drawPairedFourFold(PlotView &view, const std::array<std::optional<Estimate>, 2> &methods);
void drawRxC(PlotView &view, const RxCPicture &picture);
void drawCorrelation(PlotView &view, const CorrelationPicture &picture);
void drawGraded(PlotView &view, const std::array<std::optional<std::array<double, 4>>, 2> &shares);
void drawGenerator(PlotView &view, const GeneratorPicture &picture);

} // namespace quarbel
