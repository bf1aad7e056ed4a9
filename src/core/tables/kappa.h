#pragma once

#include "core/entry/details.h"
#include "core/tables/four_fold.h"

namespace quarbel {

// Cohen's κ for the agreement of the two classifications of the paired table (a and d the
// concordant cells): KappaAgreement (observed agreement), Kappa, KappaLow, KappaHigh (κ ± 1.96
// times the large-sample non-null SE of Fleiss, Cohen and Everitt, clipped to [−1, 1]) and
// KappaP (two-sided, from the SE under κ = 0). Cells are read as the paired table reads them;
// the note says why a value is empty. Never throws.
Details pairedKappa(const FourFoldTexts &cells);

} // namespace quarbel
