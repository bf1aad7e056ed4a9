#include "core/entry/column_list.h"
#include "core/entry/t_table.h"
#include "core/means/paired.h"
#include "core/means/two_sample.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <ostream>

namespace quarbel {

// A failing comparison prints the statistic and every detail of both sides.
void PrintTo(const TwoSampleResult &r, std::ostream *os) {
    *os << r.result.toStdString() << " | ";
    PrintTo(r.details, os);
}
void PrintTo(const PairedResult &r, std::ostream *os) {
    *os << r.n.toStdString() << ' ' << r.result.toStdString() << " | ";
    PrintTo(r.details, os);
}

} // namespace quarbel

using namespace quarbel;

namespace {

// The layout's items with these texts ("-" for an empty one) and the note.
template <std::size_t N>
Details detailsOf(Details layout, const std::array<const char *, N> &texts, const char *note) {
    for (std::size_t i = 0; i < N; ++i)
        layout.items[qsizetype(i)].text =
            QString::fromUtf8(texts[i]) == u"-" ? QString() : QString::fromUtf8(texts[i]);
    layout.note = QString::fromUtf8(note);
    return layout;
}

const char *const welchNote =
    "两组方差不齐（方差齐性检验 P < 0.05）：合并方差的 t 检验不宜报告，请报告 "
    "Welch 校正的 t′ 检验。";
const char *const noRow45 = "t 界值表没有 ν = 45 这一行，判断借用了 ν = 40 行的界值，与精确 P "
                            "不一致，请报告精确 P。";

struct TwoSampleDetailsCase {
    const char *name;
    std::array<const char *, 6> boxes; // X1, S1, N1, X2, S2, N2
    double df;                         // the table row the panel shows
    const char *result;
    // P, F, P(F), X1 − X2, low, high, d, low, high, Welch t′, ν, P(Welch); "-" for empty.
    std::array<const char *, 12> details;
    const char *note;
};
QUARBEL_PRINT_ROW_NAME(TwoSampleDetailsCase)

class TwoSampleDetails : public testing::TestWithParam<TwoSampleDetailsCase> {};

TEST_P(TwoSampleDetails, AgreeWithR) {
    const TwoSampleDetailsCase &c = GetParam();
    std::array<QString, 6> boxes;
    for (std::size_t i = 0; i < boxes.size(); ++i)
        boxes[i] = QString::fromUtf8(c.boxes[i]);
    TwoSampleResult expected;
    if (*c.result) {
        const CriticalT critical = lookupCriticalT(c.df);
        expected = {critical.p05, critical.p01, critical.p001, QString::fromUtf8(c.result)};
    }
    expected.details = detailsOf(twoSampleDetailsLayout(), c.details, c.note);
    EXPECT_EQ(twoSampleT(boxes), expected);
}

constexpr std::array<const char *, 12> noDetails{"-", "-", "-", "-", "-", "-",
                                                 "-", "-", "-", "-", "-", "-"};

// R: tests/means/data/two_sample_details.R (t.test pooled and Welch, var.test, pt with ncp).
INSTANTIATE_TEST_SUITE_P(
    Boxes, TwoSampleDetails,
    testing::Values(
        TwoSampleDetailsCase{"Haemoglobin",
                             {"128.5242", "10.7945", "33", "123.8139", "14.5106", "36"},
                             67,
                             "t = 1.5186  p > 0.05",
                             {"0.134", "0.5534", "0.094", "4.7103", "-1.4808", "10.9014", "0.3660",
                              "-0.1117", "0.8410", "1.5380", "64.36", "0.129"},
                             ""},
        TwoSampleDetailsCase{"BirthWeight",
                             {"3.214", "0.421", "48", "3.053", "0.472", "52"},
                             98,
                             "t = 1.7944  p > 0.05",
                             {"0.076", "0.7956", "0.430", "0.1610", "-0.0171", "0.3391", "0.3592",
                              "-0.0372", "0.7538", "1.8026", "97.89", "0.075"},
                             ""},
        TwoSampleDetailsCase{"Cholesterol",
                             {"5.62", "0.98", "25", "4.97", "1.12", "22"},
                             45,
                             "t = 2.1224  p < 0.05",
                             {"0.039", "0.7656", "0.525", "0.6500", "0.0332", "1.2668", "0.6204",
                              "0.0301", "1.2042", "2.1041", "42.11", "0.041"},
                             ""},
        TwoSampleDetailsCase{"CrpUnequalVariances",
                             {"12.4", "9.8", "20", "4.1", "2.3", "24"},
                             42,
                             "t = 4.0270  p < 0.001",
                             {"<0.001", "18.1550", "<0.001", "8.3000", "4.1405", "12.4595",
                              "1.2192", "0.5653", "1.8610", "3.7036", "20.75", "0.001"},
                             welchNote},
        // t = 2.0199 reaches the exact 5% point of df 45 (2.0141), not the row of 40 (2.021).
        TwoSampleDetailsCase{"GlucoseBetweenRows",
                             {"6.121", "0.85", "24", "5.62", "0.85", "23"},
                             45,
                             "t = 2.0199  p > 0.05",
                             {"0.049", "1.0000", "0.997", "0.5010", "0.0014", "1.0006", "0.5894",
                              "0.0016", "1.1709", "2.0199", "44.91", "0.049"},
                             noRow45},
        TwoSampleDetailsCase{"EqualMeans",
                             {"10", "2", "10", "10", "2", "10"},
                             18,
                             "t = 0.0000  p > 0.05",
                             {"1.000", "1.0000", "1.000", "0.0000", "-1.8791", "1.8791", "0.0000",
                              "-0.8765", "0.8765", "0.0000", "18.00", "1.000"},
                             ""},
        // R's pooled test ignores the SD of a single case, as (N1 − 1)·S1² does.
        TwoSampleDetailsCase{"OneCaseInGroup1",
                             {"130", "12", "1", "118", "11", "15"},
                             14,
                             "t = 1.0563  p > 0.05",
                             {"0.309", "-", "-", "12.0000", "-12.3664", "36.3664", "1.0909",
                              "-0.9911", "3.1358", "-", "-", "-"},
                             "第 1 组例数不足 2 例：方差齐性检验和 Welch t′ 检验需要每组至少 2 "
                             "例。"},
        TwoSampleDetailsCase{"TwoPerGroup",
                             {"5.1", "0.4", "2", "4.3", "0.5", "2"},
                             2,
                             "t = 1.7669  p > 0.05",
                             {"0.219", "0.6400", "0.859", "0.8000", "-1.1481", "2.7481", "1.7669",
                              "-0.8659", "4.1984", "1.7669", "1.91", "0.225"},
                             ""},
        // df 1 is a row, but its printed 12.70 is 12.706 rounded: t = 12.7030 reaches it and
        // not the exact 5% point.
        TwoSampleDetailsCase{
            "TableRoundedRow",
            {"25.5579", "1", "2", "10", "1", "1"},
            1,
            "t = 12.7030  p < 0.05",
            {"0.050", "-", "-", "15.5579", "-0.0040", "31.1198", "15.5579", "-0.0002", "34.9794",
             "-", "-", "-"},
            "界值表的判断与精确 P 不一致（查表用的是舍入后的数值），请报告精确 P。"},
        // df 1500 takes the row of infinity (1.960); t = 1.9610 falls short of the exact 1.9615.
        // The lower bounds are -0.00002: R prints -0.0000, the display form 0.0000.
        TwoSampleDetailsCase{"DfAboveThousand",
                             {"10.1012", "1", "751", "10", "1", "751"},
                             1500,
                             "t = 1.9610  p < 0.05",
                             {"0.050", "1.0000", "1.000", "0.1012", "0.0000", "0.2024", "0.1012",
                              "0.0000", "0.2024", "1.9610", "1500.00", "0.050"},
                             "t 界值表没有 ν = 1500 这一行，判断借用了 ν = ∞ 行的界值，与精确 P "
                             "不一致，请报告精确 P。"},
        TwoSampleDetailsCase{"HugeValues",
                             {"1000000000.1234", "0.0123", "10", "1000000000.1334", "0.0145", "12"},
                             20,
                             "t = 1.7231  p > 0.05",
                             {"0.100", "0.7196", "0.631", "-0.0100", "-0.0221", "0.0021", "-0.7378",
                              "-1.5986", "0.1402", "-1.7501", "19.99", "0.095"},
                             ""},
        // Past |t| = 1000 the interval of d is not sought.
        TwoSampleDetailsCase{"GroupsFarApart",
                             {"100", "1", "300", "10", "1", "300"},
                             598,
                             "t = 1102.2704  p < 0.001",
                             {"<0.001", "1.0000", "1.000", "90.0000", "89.8396", "90.1604",
                              "90.0000", "-", "-", "1102.2704", "598.00", "<0.001"},
                             ""},
        TwoSampleDetailsCase{"SdZero", {"10", "0", "10", "12", "2", "10"}, 0, "", noDetails, ""},
        // One value typed in a grid column: its SD box shows 0.0000.
        TwoSampleDetailsCase{"GridSingleValue",
                             {"130.0000", "0.0000", "1", "118.0000", "11.0000", "15"},
                             0,
                             "",
                             noDetails,
                             "例数太少：每组至少需要 2 例才能计算。"},
        TwoSampleDetailsCase{"Empty", {"", "", "", "", "", ""}, 0, "", noDetails, ""}),
    [](const auto &row) { return std::string(row.param.name); });

// Parsed entries as a hidden list holds them.
std::vector<std::int64_t> ticksOf(const QStringList &texts) {
    ColumnList list(QStringLiteral("List"));
    list.replaceAll(texts);
    return {list.ticks().begin(), list.ticks().end()};
}

QStringList words(const char *text) {
    return QString::fromUtf8(text).split(u' ');
}

struct PairedPanelTexts {
    const char *n, *mean, *sd, *result;
};

struct PairedDetailsCase {
    const char *name;
    QStringList first, second;
    int df;
    PairedPanelTexts panel; // all null when the panel is empty
    // Mean of first − second, its 95% CI, P, dz; "-" for empty.
    std::array<const char *, 5> details;
    const char *note;
};
QUARBEL_PRINT_ROW_NAME(PairedDetailsCase)

class PairedDetails : public testing::TestWithParam<PairedDetailsCase> {};

TEST_P(PairedDetails, AgreeWithR) {
    const PairedDetailsCase &c = GetParam();
    PairedResult expected;
    if (c.panel.n) {
        const CriticalT critical = lookupCriticalT(c.df);
        expected = {c.panel.n,
                    c.panel.mean,
                    c.panel.sd,
                    critical.p05,
                    critical.p01,
                    critical.p001,
                    QString::fromUtf8(c.panel.result)};
    }
    expected.details = detailsOf(pairedDetailsLayout(), c.details, c.note);
    EXPECT_EQ(pairedT(ticksOf(c.first), ticksOf(c.second)), expected);
}

// R: tests/means/data/paired_details.R (t.test paired); the first five are realistic sets, the
// first of them typed through the grid in the story means_paired_details.
INSTANTIATE_TEST_SUITE_P(
    Columns, PairedDetails,
    testing::Values(
        PairedDetailsCase{"SystolicPressure",
                          words("147 153 154 131 165 122 166 182 145 161"),
                          words("136 141 157 124 168 121 158 182 136 156"),
                          9,
                          {"10", "4.7000", "5.5986", "t = 2.6547  p < 0.05"},
                          {"4.7000", "0.6950", "8.7050", "0.026", "0.8395"},
                          ""},
        PairedDetailsCase{"CholesterolDiet",
                          words("4.96 7.49 5.65 6.4 6.43 8.56 6.16 5.81 5.64"),
                          words("4.11 7.47 4.7 5.97 6.34 8.93 5.67 5.18 5.49"),
                          8,
                          {"9", "0.3600", "0.4255", "t = 2.5382  p < 0.05"},
                          {"0.3600", "0.0329", "0.6871", "0.035", "0.8461"},
                          ""},
        PairedDetailsCase{"HbA1c",
                          words("8.6 6.4 5.5 8.6 10.4 7.5 9.2 6.6"),
                          words("7.3 5.3 4.7 8.4 8.9 6.6 8.4 6.8"),
                          7,
                          {"8", "0.8000", "0.5606", "t = 4.0362  p < 0.01"},
                          {"0.8000", "0.3313", "1.2687", "0.005", "1.4270"},
                          ""},
        PairedDetailsCase{"BodyWeight",
                          words("86.5 79.3 94.3 91 81.4 93.2 82.6 88.4 98.3 87.3 87.7"),
                          words("84.6 76.7 93.8 90.8 82.3 93.4 82.4 87.2 97.9 83.3 86.3"),
                          10,
                          {"11", "1.0273", "1.3965", "t = 2.4397  p < 0.05"},
                          {"1.0273", "0.0891", "1.9654", "0.035", "0.7356"},
                          ""},
        PairedDetailsCase{"PainScore",
                          words("6 8 8 6 8 5 5 7 5 8 8 7"),
                          words("4 7 7 6 8 1 4 7 4 8 5 4"),
                          11,
                          {"12", "1.3333", "1.3707", "t = 3.3697  p < 0.01"},
                          {"1.3333", "0.4624", "2.2042", "0.006", "0.9727"},
                          ""},
        PairedDetailsCase{"TwoPairs",
                          words("12.5 14.1"),
                          words("11.2 13.6"),
                          1,
                          {"2", "0.9000", "0.5657", "t = 2.2500  p > 0.05"},
                          {"0.9000", "-4.1825", "5.9825", "0.266", "1.5910"},
                          ""},
        PairedDetailsCase{"HugeValues",
                          words("1000000000.1234 1000000000.2345 1000000000.3456 1000000000.1113"),
                          words("1000000000.1034 1000000000.2245 1000000000.3156 1000000000.1001"),
                          3,
                          {"4", "0.0178", "0.0093", "t = 3.8383  p < 0.05"},
                          {"0.0178", "0.0030", "0.0326", "0.031", "1.9191"},
                          ""},
        PairedDetailsCase{
            "BetweenRows",
            words("120 124 121 134 122 134 122 124 137 117 121 113 118 99 120 112 99 121 132 125 "
                  "141 115 105 135 122 114 109 103 107 141 116 113 110 99 130 122 129 115 121 111 "
                  "124 124 121 99 112 117"),
            words("115.6 120.6 111.8 136.3 123.5 123.5 122.8 124.9 134.1 114.4 129.9 118.6 113.7 "
                  "94.2 117.6 105.9 95 115.7 128.7 116.9 144.1 111.2 100.1 124.4 123.2 114.2 111.7 "
                  "104.3 109.6 142.4 117.2 110.3 105.7 93.8 139.3 121.7 119.9 115.6 121.8 115.2 "
                  "128.4 124.4 114.4 95.5 106.8 124.8"),
            45,
            {"46", "1.4413", "4.8423", "t = 2.0187  p > 0.05"},
            {"1.4413", "0.0033", "2.8793", "0.049", "0.2976"},
            noRow45},
        // Columns exchanged: the signed values change sign, the panel's fields stay.
        PairedDetailsCase{"SystolicExchanged",
                          words("136 141 157 124 168 121 158 182 136 156"),
                          words("147 153 154 131 165 122 166 182 145 161"),
                          9,
                          {"10", "4.7000", "5.5986", "t = 2.6547  p < 0.05"},
                          {"-4.7000", "-8.7050", "-0.6950", "0.026", "-0.8395"},
                          ""},
        PairedDetailsCase{"OnePair",
                          words("12.5"),
                          words("11.2"),
                          0,
                          {},
                          {"-", "-", "-", "-", "-"},
                          "只有 1 对数据：至少需要 2 对才能计算 t 和可信区间。"},
        PairedDetailsCase{"AllDifferencesEqual",
                          words("1 2 3 4"),
                          words("2 3 4 5"),
                          0,
                          {},
                          {"-", "-", "-", "-", "-"},
                          ""},
        PairedDetailsCase{"Empty", {}, {}, 0, {}, {"-", "-", "-", "-", "-"}, ""}),
    [](const auto &row) { return std::string(row.param.name); });

} // namespace
