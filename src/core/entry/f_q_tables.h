#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace quarbel {

// The F table for three groups (numerator df 2) and the q table of the studentized range, as
// the item texts of the hidden lists that carry them. Keys ascend; "000" (F) and "500" (q)
// stand for infinite degrees of freedom.
const QStringList &fTableItems();
const QStringList &qTableItems();

struct FCritical {
    QString f05; // "0.00"
    QString f01;
    friend bool operator==(const FCritical &, const FCritical &) = default;
};

// The row with the largest tabulated df not greater than df; nullopt below the first row
// (df < 1) or for a df that is not a number.
std::optional<FCritical> lookupF(double df);

struct QCritical {
    QString q05; // "0.00"
    double q01{0};
};

// The same row rule for the q table; m is the number of means spanned (2 or 3). nullopt for
// df below 5, the first tabulated row, and for m outside 2..3.
std::optional<QCritical> lookupQ(double df, int m);

} // namespace quarbel
