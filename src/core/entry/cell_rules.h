#pragma once

#include <QString>

namespace quarbel {

// Replaces every ideographic full stop (what a Chinese input method types for the period key)
// by ".".
QString replaceFullStops(const QString &text);

// The trailing character filter, run to its end: trailing characters other than digits, "-"
// and "." are removed one after the other ("12ab" becomes "12", "5 kg" becomes "5"), while
// unwanted characters before the last acceptable one stay ("1a2" is left as it is). Every
// non-ASCII character counts as unwanted.
QString filterTrailing(const QString &text);

// Which rules a cell family applies on every change of its text.
struct CellRules {
    bool fullStops{false};
    bool trailingFilter{false};
    bool caretToEnd{false};
};

// Applies the family's rules to a text and returns the text the cell ends up holding.
QString applyCellRules(const QString &text, CellRules rules);

} // namespace quarbel
