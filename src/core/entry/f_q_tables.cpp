#include "core/entry/f_q_tables.h"

#include "core/entry/number_rules.h"

#include <cmath>
#include <vector>

namespace quarbel {
namespace {

// The df key of an item: its first three characters, trimmed, as a whole number; the 0.01
// lines of the q table carry blanks there and read as 0, so they never match.
double keyOf(const QString &item) {
    return std::round(leadingNumber(QStringView(item).left(3)));
}

// The keys of a table's items, read once: every keystroke in the analysis of variance looks
// its df up in both tables, several times.
std::vector<double> keysOf(const QStringList &items) {
    std::vector<double> keys;
    keys.reserve(std::size_t(items.size()));
    for (const QString &item : items)
        keys.push_back(keyOf(item));
    return keys;
}

// Table values have at most three decimals, so "0.00" never meets a rounding tie.
QString twoDecimals(QStringView field) {
    return QString::number(leadingNumber(field), 'f', 2);
}

} // namespace

const QStringList &fTableItems() {
    static const QStringList items{
        QStringLiteral("001@199.5@4999.5"),     QStringLiteral("002@19.00@99.000\t\t"),
        QStringLiteral("003@9.560@30.820\t\t"), QStringLiteral("004@6.940@18.000\t\t"),
        QStringLiteral("005@5.790@13.270\t\t"), QStringLiteral("006@5.140@10.920\t\t"),
        QStringLiteral("007@4.740@9.5500\t\t"), QStringLiteral("008@4.460@8.6500\t\t"),
        QStringLiteral("009@4.260@8.0200\t\t"), QStringLiteral("010@4.100@7.5600\t\t"),
        QStringLiteral("012@3.890@6.9300\t\t"), QStringLiteral("014@3.740@6.5100\t\t"),
        QStringLiteral("016@3.630@6.2300\t\t"), QStringLiteral("018@3.550@6.0100\t\t"),
        QStringLiteral("020@3.490@5.8500\t\t"), QStringLiteral("030@3.320@5.3900\t\t"),
        QStringLiteral("040@3.230@5.1800\t\t"), QStringLiteral("060@3.150@4.9800\t\t"),
        QStringLiteral("120@3.070@4.7900\t\t"), QStringLiteral("000@3.000@4.6100"),
    };
    return items;
}

// Two items per df: the 0.05 line (with the key) over the 0.01 line; columns for 2..10 means.
const QStringList &qTableItems() {
    static const QStringList items{
        QStringLiteral("005\t3.64\t4.60\t5.22\t5.67\t6.03\t6.33\t6.58\t6.80\t6.99"),
        QStringLiteral("   \t5.70\t6.98\t7.80\t8.42\t8.91\t9.32\t9.67\t9.97\t10.24"),
        QStringLiteral("006\t3.46\t4.34\t4.90\t5.30\t5.63\t5.90\t6.12\t6.32\t6.49"),
        QStringLiteral("   \t5.24\t6.33\t7.03\t7.56\t7.97\t8.32\t8.61\t8.87\t9.10"),
        QStringLiteral("007\t3.34\t4.16\t4.68\t5.06\t5.36\t5.61\t5.82\t6.00\t6.16"),
        QStringLiteral("   \t4.95\t5.92\t6.54\t7.01\t7.37\t7.68\t7.94\t8.17\t8.37"),
        QStringLiteral("008\t3.26\t4.04\t4.53\t4.89\t5.17\t5.40\t5.60\t5.77\t5.92"),
        QStringLiteral("   \t4.75\t5.64\t6.20\t6.62\t6.96\t7.24\t7.47\t7.68\t7.86"),
        QStringLiteral("009\t3.20\t3.95\t4.41\t4.76\t5.02\t5.24\t5.43\t5.59\t5.74"),
        QStringLiteral("   \t4.60\t5.43\t5.96\t6.35\t6.66\t6.91\t7.13\t7.33\t7.49"),
        QStringLiteral("010\t3.15\t3.88\t4.33\t4.65\t4.91\t5.12\t5.30\t5.46\t5.60"),
        QStringLiteral("   \t4.48\t5.27\t5.77\t6.14\t6.43\t6.67\t6.87\t7.05\t7.21"),
        QStringLiteral("012\t3.08\t3.77\t4.20\t4.51\t4.75\t4.95\t5.12\t5.27\t5.39"),
        QStringLiteral("   \t4.32\t5.05\t5.50\t5.84\t6.10\t6.32\t6.51\t6.67\t6.81"),
        QStringLiteral("014\t3.03\t3.70\t4.11\t4.41\t4.64\t4.83\t4.99\t5.13\t5.25"),
        QStringLiteral("   \t4.21\t4.89\t5.32\t5.63\t5.88\t6.08\t6.26\t6.41\t6.54"),
        QStringLiteral("016\t3.00\t3.65\t4.05\t4.33\t4.56\t4.74\t4.90\t5.03\t5.15"),
        QStringLiteral("   \t4.13\t4.79\t5.19\t5.49\t5.72\t5.92\t6.08\t6.22\t6.35"),
        QStringLiteral("018\t2.97\t3.61\t4.00\t4.28\t4.49\t4.67\t4.82\t4.96\t5.07"),
        QStringLiteral("   \t4.07\t4.70\t5.09\t5.38\t5.60\t5.79\t5.94\t6.08\t6.20"),
        QStringLiteral("020\t2.95\t3.58\t3.96\t4.23\t4.45\t4.62\t4.77\t4.90\t5.01"),
        QStringLiteral("   \t4.02\t4.64\t5.02\t5.29\t5.51\t5.69\t5.84\t5.97\t6.09"),
        QStringLiteral("030\t2.89\t3.49\t3.85\t4.10\t4.30\t4.46\t4.60\t4.72\t4.82"),
        QStringLiteral("   \t3.89\t4.45\t4.80\t5.05\t5.24\t5.40\t5.54\t5.65\t5.76"),
        QStringLiteral("040\t2.86\t3.44\t3.79\t4.04\t4.23\t4.39\t4.52\t4.63\t4.73"),
        QStringLiteral("   \t3.82\t4.37\t4.70\t4.93\t5.11\t5.26\t5.39\t5.50\t5.60"),
        QStringLiteral("060\t2.83\t3.40\t3.74\t3.98\t4.16\t4.31\t4.44\t4.55\t4.65"),
        QStringLiteral("   \t3.76\t4.28\t4.59\t4.82\t4.99\t5.13\t5.25\t5.36\t5.45"),
        QStringLiteral("120\t2.80\t3.36\t3.68\t3.92\t4.10\t4.24\t4.36\t4.47\t4.56"),
        QStringLiteral("   \t3.70\t4.20\t4.50\t4.71\t4.87\t5.01\t5.12\t5.21\t5.30"),
        QStringLiteral("500\t2.77\t3.31\t3.63\t3.86\t4.03\t4.17\t4.29\t4.39\t4.47"),
        QStringLiteral("   \t3.64\t4.12\t4.40\t4.60\t4.76\t4.88\t4.99\t5.08\t5.16"),
    };
    return items;
}

std::optional<FCritical> lookupF(double df) {
    const QStringList &items = fTableItems();
    static const std::vector<double> keys = keysOf(items);
    const int last = int(items.size()) - 1; // the infinity row
    int row = -1;
    int i = 0;
    for (; i < last; ++i)
        if (keys[std::size_t(i)] > df)
            break;
    if (i < last)
        row = i - 1;
    else if (df == 120)
        row = last - 1;
    else if (df > 120)
        row = last;
    if (row < 0)
        return std::nullopt;
    const QStringView item(items[row]);
    return FCritical{twoDecimals(item.mid(4, 5).trimmed()), twoDecimals(item.mid(10, 6).trimmed())};
}

std::optional<QCritical> lookupQ(double df, int m) {
    if (m < 2 || m > 3)
        return std::nullopt;
    const QStringList &items = qTableItems();
    static const std::vector<double> keys = keysOf(items);
    const int count = int(items.size());
    int line05 = -1;
    int i = 0;
    for (; i <= count - 3; ++i)
        if (keys[std::size_t(i)] > df)
            break;
    if (i <= count - 3)
        line05 = i - 2;
    else if (df == 120)
        line05 = count - 4;
    else if (df > 120)
        line05 = count - 2;
    if (line05 < 0)
        return std::nullopt;
    const int column = m == 2 ? 4 : 9;
    const QString q05 = twoDecimals(QStringView(items[line05]).mid(column, 4).trimmed());
    const QString q01 = twoDecimals(QStringView(items[line05 + 1]).mid(column, 4).trimmed());
    return QCritical{q05, q01.toDouble()};
}

} // namespace quarbel
