#include "core/means/pairwise.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace quarbel;
using quarbel::test::boxesOf;
using quarbel::test::ticksOf;

namespace {

// Groups of 5 with the worked example's within terms (df 12, mean square 4).
AnovaBoxes fivesWithMeans(const char *x1, const char *x2, const char *x3) {
    return boxesOf({x1, "2", "5", x2, "2", "5", x3, "2", "5"});
}
constexpr WithinTerms dfTwelve{48, 12};

struct QCase {
    const char *name;
    AnovaBoxes boxes;
    std::optional<WithinTerms> terms;
    std::array<const char *, 3> order; // {} when the list is left alone
    std::array<const char *, 3> lines;
};

void PrintTo(const QCase &c, std::ostream *os) {
    *os << c.name;
}

class QTest : public testing::TestWithParam<QCase> {};

TEST_P(QTest, WritesOneLinePerPair) {
    const QCase &c = GetParam();
    const QTestResult r = runQTest(c.boxes, c.terms);
    ASSERT_EQ(r.meanOrder.has_value(), c.order[0] != nullptr);
    if (r.meanOrder) {
        EXPECT_EQ(*r.meanOrder, (QStringList{c.order[0], c.order[1], c.order[2]}));
    }
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(r.lines[i].toStdString(), c.lines[i]) << "line " << i + 1;
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, QTest,
    testing::Values(
        QCase{"WorkedExample",
              fivesWithMeans("10", "12", "15"),
              dfTwelve,
              {"000000010.0000", "000000012.0000", "000000015.0000"},
              {"第1组与第2组比较：q = 2.2361  p > 0.05", "第1组与第3组比较：q = 5.5902  p < 0.01",
               "第2组与第3组比较：q = 3.3541  p < 0.05"}},
        // Group 1 the largest: the pair 2–3 holds the extremes and is judged on three means.
        QCase{"ExtremesFollowTheValues",
              fivesWithMeans("13", "10", "10.5"),
              dfTwelve,
              {"000000010.0000", "000000010.5000", "000000013.0000"},
              {"第1组与第2组比较：q = 3.3541  p > 0.05", "第1组与第3组比较：q = 2.7951  p > 0.05",
               "第2组与第3组比较：q = 0.5590  p > 0.05"}},
        QCase{"AdjacentPairOnTwoMeans",
              fivesWithMeans("12", "10", "15"),
              dfTwelve,
              {"000000010.0000", "000000012.0000", "000000015.0000"},
              {"第1组与第2组比较：q = 2.2361  p > 0.05", "第1组与第3组比较：q = 3.3541  p < 0.05",
               "第2组与第3组比较：q = 5.5902  p < 0.01"}},
        // As text, -0.5 would sort before -1.5 and make -1.5 the middle mean.
        QCase{"NegativeMeansByValue",
              fivesWithMeans("-1.5", "-0.5", "1.5"),
              dfTwelve,
              {"-000000001.5000", "-000000000.5000", "000000001.5000"},
              {"第1组与第2组比较：q = 1.1180  p > 0.05", "第1组与第3组比较：q = 3.3541  p > 0.05",
               "第2组与第3组比较：q = 2.2361  p > 0.05"}},
        // As text, 1000000002 would sort before 999999999.
        QCase{"BillionsByValue",
              fivesWithMeans("999999999", "1000000001", "1000000002"),
              dfTwelve,
              {"999999999.0000", "1000000001.0000", "1000000002.0000"},
              {"第1组与第2组比较：q = 2.2361  p > 0.05", "第1组与第3组比较：q = 3.3541  p > 0.05",
               "第2组与第3组比较：q = 1.1180  p > 0.05"}},
        // A mean equal to the middle one makes every pair containing it adjacent.
        QCase{"TieWithTheMiddle",
              fivesWithMeans("10", "13", "13"),
              dfTwelve,
              {"000000010.0000", "000000013.0000", "000000013.0000"},
              {"第1组与第2组比较：q = 3.3541  p < 0.05", "第1组与第3组比较：q = 3.3541  p < 0.05",
               "第2组与第3组比较：q = 0.0000  p > 0.05"}},
        // 2.99996 shows 3.0000 and reaches the 0.05 value 3.00 of 16 degrees of freedom.
        QCase{"JudgedAsShown",
              boxesOf({"10", "1", "6", "11.22473", "1", "6", "20", "1", "7"}),
              WithinTerms{16, 16},
              {"000000010.0000", "000000011.2247", "000000020.0000"},
              {"第1组与第2组比较：q = 3.0000  p < 0.05", "第1组与第3组比较：q = 25.4196  p < 0.01",
               "第2组与第3组比较：q = 22.3063  p < 0.01"}},
        // q equal to the 0.01 value of two means counts as reaching it.
        QCase{"EqualToQ01AsShown",
              boxesOf({"10", "2", "4", "14.32", "2", "4", "30", "2", "7"}),
              dfTwelve,
              {"000000010.0000", "000000014.3200", "000000030.0000"},
              {"第1组与第2组比较：q = 4.3200  p < 0.01", "第1组与第3组比较：q = 22.5630  p < 0.01",
               "第2组与第3组比较：q = 17.6894  p < 0.01"}},
        QCase{"FewerThanFiveDf",
              fivesWithMeans("10", "12", "15"),
              WithinTerms{16, 4},
              {"000000010.0000", "000000012.0000", "000000015.0000"},
              {"", "", ""}},
        QCase{"NoTermsYet",
              fivesWithMeans("10", "12", "15"),
              std::nullopt,
              {"000000010.0000", "000000012.0000", "000000015.0000"},
              {"", "", ""}},
        QCase{"ZeroBox",
              boxesOf({"10", "2", "5", "12", "2", "0", "15", "2", "5"}),
              dfTwelve,
              {},
              {"", "", ""}},
        // A vanished within mean square leaves nothing to divide by.
        QCase{"WithinMeanSquareZero",
              fivesWithMeans("10", "12", "15"),
              WithinTerms{0, 12},
              {"000000010.0000", "000000012.0000", "000000015.0000"},
              {"", "", ""}},
        // A negative size spoils the standard errors of its pairs only.
        QCase{"NegativeSize",
              boxesOf({"10", "2", "5", "12", "2", "5", "15", "2", "-2"}),
              dfTwelve,
              {"000000010.0000", "000000012.0000", "000000015.0000"},
              {"第1组与第2组比较：q = 2.2361  p > 0.05", "", ""}}),
    [](const auto &row) { return std::string(row.param.name); });

struct LsdCase {
    const char *name;
    AnovaBoxes boxes;
    std::optional<WithinTerms> terms;
    std::array<const char *, 3> lines;
};

void PrintTo(const LsdCase &c, std::ostream *os) {
    *os << c.name;
}

class LsdTest : public testing::TestWithParam<LsdCase> {};

TEST_P(LsdTest, WritesTAndItsTwoTailedP) {
    const LsdCase &c = GetParam();
    const LsdResult r = runLsdTest(c.boxes, c.terms);
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(r.lines[i].toStdString(), c.lines[i]) << "line " << i + 1;
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, LsdTest,
    testing::Values(
        LsdCase{"WorkedExample",
                fivesWithMeans("10", "12", "15"),
                dfTwelve,
                {"第1组与第2组比较：LSD-t=1.5811 p=0.1398",
                 "第1组与第3组比较：LSD-t=3.9528 p=0.0019",
                 "第2组与第3组比较：LSD-t=2.3717 p=0.0353"}},
        LsdCase{"EqualMeans",
                fivesWithMeans("10", "10", "15"),
                dfTwelve,
                {"第1组与第2组比较：LSD-t=0.0000 p=1.0000",
                 "第1组与第3组比较：LSD-t=3.9528 p=0.0019",
                 "第2组与第3组比较：LSD-t=3.9528 p=0.0019"}},
        LsdCase{
            "FewerThanFiveDf", fivesWithMeans("10", "12", "15"), WithinTerms{16, 4}, {"", "", ""}},
        LsdCase{"NoTermsYet", fivesWithMeans("10", "12", "15"), std::nullopt, {"", "", ""}},
        LsdCase{"ZeroBox",
                boxesOf({"", "2", "5", "12", "2", "5", "15", "2", "5"}),
                dfTwelve,
                {"", "", ""}}),
    [](const auto &row) { return std::string(row.param.name); });

struct TailCase {
    const char *name;
    double t;
    double df;
    double p; // R: 2 * pt(-t, df)
};

void PrintTo(const TailCase &c, std::ostream *os) {
    *os << c.name;
}

class TwoTailedT : public testing::TestWithParam<TailCase> {};

TEST_P(TwoTailedT, AgreesWithR) {
    const TailCase &c = GetParam();
    const auto p = twoTailedT(c.t, c.df);
    ASSERT_TRUE(p.has_value());
    EXPECT_NEAR(*p, c.p, 1e-12 + 1e-10 * c.p);
}

INSTANTIATE_TEST_SUITE_P(R, TwoTailedT,
                         testing::Values(TailCase{"PairOneTwo", 1.5811, 12, 0.13983996893756309},
                                         TailCase{"PairOneThree", 3.9528, 12,
                                                  0.0019180757460286438},
                                         TailCase{"PairTwoThree", 2.3717, 12, 0.035292076473150913},
                                         TailCase{"FiveDf", 0.5, 5, 0.63829887164092902},
                                         TailCase{"FractionalDf", 2.0, 57.5, 0.050231546773800713},
                                         TailCase{"FarTail", 10, 100, 9.9016889845940936e-17},
                                         TailCase{"HugeDf", 2.5, 1e6, 0.012419489502163233},
                                         TailCase{"Zero", 0, 30, 1.0},
                                         TailCase{"OneFifty", 1.96, 150, 0.051848985935918086}),
                         [](const auto &row) { return std::string(row.param.name); });

TEST(TwoTailedT, RefusesWhatHasNoDistribution) {
    EXPECT_FALSE(twoTailedT(1, 0));
    EXPECT_FALSE(twoTailedT(1, -2));
    EXPECT_FALSE(twoTailedT(std::nan(""), 5));
    EXPECT_FALSE(twoTailedT(HUGE_VAL, 5));
    EXPECT_FALSE(twoTailedT(1, std::nan("")));
}

TEST(MeanOrderForm, PadsToNineDigits) {
    EXPECT_EQ(meanOrderForm(12.5), "000000012.5000");
    EXPECT_EQ(meanOrderForm(0.00005), "000000000.0001");
    EXPECT_EQ(meanOrderForm(-3.25), "-000000003.2500");
    EXPECT_EQ(meanOrderForm(1234567890.5), "1234567890.5000");
}

} // namespace
