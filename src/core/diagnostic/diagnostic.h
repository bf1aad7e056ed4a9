#pragma once

#include "core/entry/details.h"
#include "core/report/report.h"
#include "core/tables/four_fold.h"

#include <QString>

namespace quarbel {

// The evaluation of a diagnostic test against a reference standard from the four-fold table:
// a true positives, b false positives, c false negatives, d true negatives.
struct DiagnosticResult {
    FourFoldMargins margins;
    QString n;
    // The cells as they were read (plain form), empty when the table was refused; the report's
    // inputs.
    FourFoldTexts counts;
    // The practice prevalence in percent (plain form) when the box holds an accepted value.
    QString practicePrevalence;
    // DiagSens … DiagYouden, DiagPpvAtPrev, DiagNpvAtPrev with their bounds, in the display
    // form; the note is what Note9 shows.
    Details details;
    friend bool operator==(const DiagnosticResult &, const DiagnosticResult &) = default;
};

// Every item of the details in display order, all empty: the layout of the results box.
Details diagnosticLayout();

// Sensitivity, specificity, predictive values, accuracy and prevalence with exact
// Clopper–Pearson intervals, the likelihood ratios with log intervals, the diagnostic odds
// ratio with Woolf's interval, Youden's index, and the predictive values at the prevalence
// typed in `practicePrevalence` (percent, accepted when 0 < value < 100). Cells are read as
// the four-fold table reads them; a negative or out-of-range count empties every value.
// Never throws.
DiagnosticResult evaluateDiagnostic(const FourFoldTexts &cells, const QString &practicePrevalence);

// The report: the table as entered, every value with its interval, and the sentences, with
// proportions written as percentages. Nothing to report while the table has no count.
ReportContent diagnosticReport(const DiagnosticResult &result);

// "0.9005" → "90.05%": a display-form proportion as a percentage with two decimals, exact from
// the text; empty stays empty.
QString percentText(const QString &proportion);

} // namespace quarbel
