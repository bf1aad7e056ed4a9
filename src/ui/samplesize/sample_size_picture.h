#pragma once

#include "core/plots/sample_size_plot.h"

namespace quarbel {

class PlotView;

// The power against n (per group, pairs or subjects as the design counts them), the target
// power as a dashed line and the answer marked with its n.
void drawSampleSize(PlotView &view, const SampleSizePicture &picture, SizeDesign design);

} // namespace quarbel
