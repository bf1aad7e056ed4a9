#include "ui/shell/added_methods.h"

#include "ui/survival/survival_panel.h"

namespace quarbel {

std::vector<MethodEntry> addedMethods(const MethodGrids &grids, QWidget *owner) {
    std::vector<MethodEntry> methods;
    methods.push_back(survivalMethod(grids.threeGroup, owner));
    return methods;
}

} // namespace quarbel
