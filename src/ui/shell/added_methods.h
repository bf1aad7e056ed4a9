#pragma once

#include "ui/common/method_entry.h"

#include <vector>

class QWidget;

namespace quarbel {

class DataGrid;
class FourFoldPanel;

// The shared input panels the added methods may take.
struct MethodGrids {
    DataGrid *twoColumn{nullptr};
    DataGrid *threeGroup{nullptr};
    FourFoldPanel *fourFold{nullptr};
};

// The methods after the eight, in index order from 8 on: one entry each.
std::vector<MethodEntry> addedMethods(const MethodGrids &grids, QWidget *owner);

} // namespace quarbel
