#pragma once

#include <QString>

namespace quarbel {

// The printed table of two-sided critical values of t, kept as its lines of text: the values
// are the table's own (df 1 reads 12.70), cut out of the lines by character position.
inline constexpr int TTableLineCount = 56;

// Line `line` (0-based) without its line break; a line outside the table is empty.
QString tTableLine(int line);
// The whole table, lines joined and ended by CR LF.
QString tTableText();

// The three critical values for the levels 0.05, 0.01 and 0.001, as cut from the table.
struct CriticalT {
    QString p05;
    QString p01;
    QString p001;
};

// The row of the largest tabulated df not above `df` (45 takes 40, 999 takes 500), 1000 its
// own row and anything above 1000 the row of infinity; no interpolation. A df below 1 falls
// on the rule above the first row, whose cut is five dashes and two empty texts.
CriticalT lookupCriticalT(double df);

// The df of the row that lookupCriticalT(df) takes: infinity for the row of infinity, 0 for
// the rule line above the first row.
double tableRowDf(double df);

// The significance label of a t against the critical values read back from their texts;
// reaching a critical value counts as significant at its level.
QString judgeT(double t, const CriticalT &critical);

} // namespace quarbel
