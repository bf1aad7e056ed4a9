#include "ui/shell/added_methods.h"

#include "ui/diagnostic/diagnostic_panel.h"
#include "ui/diagnostic/roc_panel.h"
#include "ui/kgroups/kgroups_panel.h"
#include "ui/samplesize/sample_size_panel.h"
#include "ui/survival/survival_panel.h"

namespace quarbel {

std::vector<MethodEntry> addedMethods(const MethodGrids &grids, QWidget *owner) {
    std::vector<MethodEntry> methods;
    methods.push_back(survivalMethod(grids.threeGroup, owner));
    methods.push_back(diagnosticMethod(grids.fourFold, owner));
    methods.push_back(rocMethod(grids.twoColumn, owner));
    methods.push_back(sampleSizeMethod(owner));
    methods.push_back(kGroupsMethod(grids.twoColumn, owner));
    return methods;
}

} // namespace quarbel
