#include "core/entry/f_q_tables.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTextStream>

#include <cmath>
#include <limits>
#include <map>
#include <tuple>

using namespace quarbel;

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

TEST(FTableItems, HoldTheExactTexts) {
    const QStringList &items = fTableItems();
    ASSERT_EQ(items.size(), 20);
    EXPECT_EQ(items[0], "001@199.5@4999.5");
    EXPECT_EQ(items[1], "002@19.00@99.000\t\t");
    EXPECT_EQ(items[6], "007@4.740@9.5500\t\t");
    EXPECT_EQ(items[18], "120@3.070@4.7900\t\t");
    EXPECT_EQ(items[19], "000@3.000@4.6100");
    for (qsizetype i = 1; i < 19; ++i)
        EXPECT_TRUE(items[i].endsWith("\t\t") && items[i].size() == 18) << i;
}

TEST(QTableItems, HoldTheExactTexts) {
    const QStringList &items = qTableItems();
    ASSERT_EQ(items.size(), 32);
    EXPECT_EQ(items[0], "005\t3.64\t4.60\t5.22\t5.67\t6.03\t6.33\t6.58\t6.80\t6.99");
    EXPECT_EQ(items[1], "   \t5.70\t6.98\t7.80\t8.42\t8.91\t9.32\t9.67\t9.97\t10.24");
    EXPECT_EQ(items[28], "120\t2.80\t3.36\t3.68\t3.92\t4.10\t4.24\t4.36\t4.47\t4.56");
    EXPECT_EQ(items[31], "   \t3.64\t4.12\t4.40\t4.60\t4.76\t4.88\t4.99\t5.08\t5.16");
}

// Every tabulated value, all nine q columns included, against R's qf and qtukey: catches a
// mistyped digit anywhere in the tables (printed tables round, one F entry by 0.008).
TEST(CriticalTables, AgreeWithR) {
    QFile file(QStringLiteral(QUARBEL_TEST_DATA "/critical_values_r.txt"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text));
    std::map<std::tuple<QString, QString, QString, int>, double> reference;
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QStringList f = in.readLine().split(u' ');
        if (f.size() == 5 && !f[0].startsWith(u'#'))
            reference[{f[0], f[1], f[2], f[3].toInt()}] = f[4].toDouble();
    }
    ASSERT_EQ(reference.size(), 328u);
    int checked = 0;
    auto check = [&](const QString &table, int key, bool infinite, const QString &level, int m,
                     const QString &text) {
        const auto it = reference.find(
            {table, infinite ? QStringLiteral("Inf") : QString::number(key), level, m});
        ASSERT_NE(it, reference.end()) << table.toStdString() << key;
        EXPECT_NEAR(text.trimmed().toDouble(), it->second, 0.01)
            << table.toStdString() << " df " << key << " level " << level.toStdString() << " m "
            << m;
        ++checked;
    };
    for (const QString &item : fTableItems()) {
        const int key = item.left(3).toInt();
        check("F", key, key == 0, "0.05", 2, item.mid(4, 5));
        check("F", key, key == 0, "0.01", 2, item.mid(10, 6));
    }
    const QStringList &q = qTableItems();
    for (qsizetype i = 0; i < q.size(); i += 2) {
        const int key = q[i].left(3).toInt();
        const QStringList at05 = q[i].split(u'\t'), at01 = q[i + 1].split(u'\t');
        ASSERT_EQ(at05.size(), 10);
        ASSERT_EQ(at01.size(), 10);
        for (int m = 2; m <= 10; ++m) {
            check("q", key, key == 500, "0.05", m, at05[m - 1]);
            check("q", key, key == 500, "0.01", m, at01[m - 1]);
        }
    }
    EXPECT_EQ(checked, 328);
}

struct FCase {
    const char *name;
    double df;
    const char *f05; // nullptr: no row
    const char *f01;
};

void PrintTo(const FCase &c, std::ostream *os) {
    *os << c.name;
}

class FLookup : public testing::TestWithParam<FCase> {};

TEST_P(FLookup, TakesTheLargestTabulatedDfNotAbove) {
    const FCase &c = GetParam();
    const auto r = lookupF(c.df);
    ASSERT_EQ(r.has_value(), c.f05 != nullptr);
    if (r) {
        EXPECT_EQ(r->f05, c.f05);
        EXPECT_EQ(r->f01, c.f01);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FLookup,
    testing::Values(FCase{"First", 1, "199.50", "4999.50"}, FCase{"Second", 2, "19.00", "99.00"},
                    FCase{"Three", 3, "9.56", "30.82"},
                    FCase{"BetweenFirstRows", 1.5, "199.50", "4999.50"},
                    FCase{"ElevenUsesTen", 11, "4.10", "7.56"},
                    FCase{"TwelveIsItsOwnRow", 12, "3.89", "6.93"},
                    FCase{"TwentyFiveUsesTwenty", 25, "3.49", "5.85"},
                    FCase{"FractionUsesForty", 59.5, "3.23", "5.18"},
                    FCase{"JustBelow120UsesSixty", 119.5, "3.15", "4.98"},
                    FCase{"Exactly120", 120, "3.07", "4.79"},
                    FCase{"JustAbove120IsInfinite", 120.5, "3.00", "4.61"},
                    FCase{"OneFifty", 150, "3.00", "4.61"}, FCase{"Thousand", 1000, "3.00", "4.61"},
                    FCase{"Infinite", HUGE_VAL, "3.00", "4.61"},
                    FCase{"BelowOne", 0.999, nullptr, nullptr}, FCase{"Zero", 0, nullptr, nullptr},
                    FCase{"Negative", -3, nullptr, nullptr}, FCase{"NaN", NaN, nullptr, nullptr}),
    [](const auto &row) { return std::string(row.param.name); });

struct QCase {
    const char *name;
    double df;
    int m;
    const char *q05; // nullptr: no row
    double q01;
};

void PrintTo(const QCase &c, std::ostream *os) {
    *os << c.name;
}

class QLookup : public testing::TestWithParam<QCase> {};

TEST_P(QLookup, TakesTheColumnOfTheMeansSpanned) {
    const QCase &c = GetParam();
    const auto r = lookupQ(c.df, c.m);
    ASSERT_EQ(r.has_value(), c.q05 != nullptr);
    if (r) {
        EXPECT_EQ(r->q05, c.q05);
        EXPECT_DOUBLE_EQ(r->q01, c.q01);
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, QLookup,
                         testing::Values(QCase{"FiveTwoMeans", 5, 2, "3.64", 5.70},
                                         QCase{"FiveThreeMeans", 5, 3, "4.60", 6.98},
                                         QCase{"FractionUsesFive", 5.5, 2, "3.64", 5.70},
                                         QCase{"Six", 6, 3, "4.34", 6.33},
                                         QCase{"ThirteenUsesTwelve", 13, 3, "3.77", 5.05},
                                         QCase{"Sixteen", 16, 2, "3.00", 4.13},
                                         QCase{"JustBelow120UsesSixty", 119.5, 2, "2.83", 3.76},
                                         QCase{"Exactly120", 120, 2, "2.80", 3.70},
                                         QCase{"Exactly120ThreeMeans", 120, 3, "3.36", 4.20},
                                         QCase{"JustAbove120IsInfinite", 120.5, 3, "3.31", 4.12},
                                         QCase{"OneFifty", 150, 2, "2.77", 3.64},
                                         QCase{"BelowFive", 4.99, 2, nullptr, 0},
                                         QCase{"FourMeans", 12, 4, nullptr, 0},
                                         QCase{"NaN", NaN, 2, nullptr, 0}),
                         [](const auto &row) { return std::string(row.param.name); });

} // namespace
