#pragma once

#include "core/kgroups/k_groups.h"

#include <vector>

namespace quarbel {

class PlotView;

// Each group's values as jittered dots (a box plot above MaxDots values) with its mean and the
// 95% t interval as a whiskered square.
void drawKGroups(PlotView &view, const std::vector<KGroupPicture> &groups);

} // namespace quarbel
