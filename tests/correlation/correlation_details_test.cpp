#include "core/correlation/correlation.h"
#include "core/entry/column_list.h"
#include "core/entry/t_table.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <ostream>

namespace quarbel {

// A failing comparison prints every field of both sides.
void PrintTo(const CorrelationResult &r, std::ostream *os) {
    for (const QString &text : {r.n, r.r, r.t, r.judgement, r.equation})
        *os << text.toStdString() << ' ';
    *os << "| ";
    for (const DetailItem &item : r.details.items)
        *os << item.name.toStdString() << '=' << item.text.toStdString() << ' ';
    *os << "note=" << r.details.note.toStdString();
}

} // namespace quarbel

using namespace quarbel;

namespace {

std::vector<std::int64_t> ticksOf(const QStringList &texts) {
    ColumnList list(QStringLiteral("List"));
    list.replaceAll(texts);
    return {list.ticks().begin(), list.ticks().end()};
}

QStringList words(const char *text) {
    return QString::fromUtf8(text).split(u' ');
}

struct PanelTexts {
    const char *n, *r, *t, *judgement, *equation, *slope, *intercept;
};

struct CorrelationDetailsCase {
    const char *name;
    QStringList x, y;
    int df;
    PanelTexts panel; // all null when the panel shows nothing but n
    // P, r², r's CI, b's CI, a's CI, s(y·x); "-" for empty.
    std::array<const char *, 9> details;
    const char *note;
};
QUARBEL_PRINT_ROW_NAME(CorrelationDetailsCase)

class CorrelationDetails : public testing::TestWithParam<CorrelationDetailsCase> {};

TEST_P(CorrelationDetails, AgreeWithR) {
    const CorrelationDetailsCase &c = GetParam();
    CorrelationResult expected;
    if (c.panel.r) {
        const CriticalT critical = lookupCriticalT(c.df);
        expected = {c.panel.n,
                    c.panel.r,
                    c.panel.t,
                    critical.p05,
                    critical.p01,
                    critical.p001,
                    QString::fromUtf8(c.panel.judgement),
                    c.panel.equation,
                    c.panel.slope,
                    c.panel.intercept};
    } else {
        expected.n = QString::fromUtf8(c.panel.n);
    }
    expected.details = correlationDetailsLayout();
    for (std::size_t i = 0; i < c.details.size(); ++i)
        if (QString text = QString::fromUtf8(c.details[i]); text != u"-")
            expected.details.items[qsizetype(i)].text = text;
    expected.details.note = QString::fromUtf8(c.note);
    EXPECT_EQ(correlate(ticksOf(c.x), ticksOf(c.y)), expected);
}

const char *const threePairs = "只有 3 对数据：r 的 95% 可信区间至少需要 4 对。";
const char *const noRow45 = "t 界值表没有 ν = 45 这一行，判断借用了 ν = 40 行的界值，与精确 P "
                            "不一致，请报告精确 P。";

// R: tests/correlation/data/correlation_details.R (cor.test, confint(lm), summary(lm)$sigma);
// the first five are realistic sets, the first of them typed through the grid in the story
// correlation_details.
INSTANTIATE_TEST_SUITE_P(
    Pairs, CorrelationDetails,
    testing::Values(
        CorrelationDetailsCase{
            "AgeSystolic",
            words("72 41 74 33 68 61 65 45 70 64"),
            words("146 119 146 126 149 145 135 129 139 157"),
            8,
            {"10", "0.7912", "3.6593", "p < 0.01", "Y=100.7072+0.6474X", "+0.6474", "100.7072"},
            {"0.006", "0.6260", "0.3219", "0.9484", "0.2394", "1.0555", "75.8811", "125.5334",
             "7.6230"},
            ""},
        CorrelationDetailsCase{
            "HeightWeight",
            words("166.3 168.5 168.7 165.2 177.4 155.1 172.9 160.1 169.8 162.3 166.3 163.6"),
            words("62.6 65.5 62.4 58.3 71.3 54.3 57.5 61.9 69 59.9 60.2 62.4"),
            10,
            {"12", "0.6676", "2.8356", "p < 0.05", "Y=-28.0601+0.5420X", "+0.5420", "-28.0601"},
            {"0.018", "0.4457", "0.1519", "0.8976", "0.1161", "0.9680", "-98.9541", "42.8339",
             "3.7164"},
            ""},
        CorrelationDetailsCase{
            "DoseResponse",
            words("0.5 1 1.5 2 2.5 3 3.5 4"),
            words("16.3 19.7 19.2 25.7 31.7 28.7 33.8 41.6"),
            6,
            {"8", "0.9594", "8.3320", "p < 0.001", "Y=11.9750+6.7167X", "+6.7167", "11.9750"},
            {"<0.001", "0.9205", "0.7864", "0.9928", "4.7442", "8.6891", "6.9949", "16.9551",
             "2.6120"},
            ""},
        CorrelationDetailsCase{
            "HbA1cGlucose",
            words("6.5 7.6 9.1 4.2 7.6 7.5 9.5 7 6.9 7 7.1"),
            words("6.5 8.7 10.5 2.5 10.4 8.4 13.2 9 7.1 7.8 8.2"),
            9,
            {"11", "0.9563", "9.8120", "p < 0.001", "Y=-5.2143+1.8707X", "+1.8707", "-5.2143"},
            {"<0.001", "0.9145", "0.8360", "0.9889", "1.4394", "2.3020", "-8.4017", "-2.0268",
             "0.8294"},
            ""},
        CorrelationDetailsCase{
            "BmiWaist",
            words("31.3 22 28.7 22.8 20.3 25.2 21.7 25 26.5"),
            words("106 83 92 79 70 84 77 87 82"),
            7,
            {"9", "0.9225", "6.3231", "p < 0.001", "Y=19.1630+2.6288X", "+2.6288", "19.1630"},
            {"<0.001", "0.8510", "0.6671", "0.9839", "1.6457", "3.6118", "-5.4732", "43.7993",
             "4.2036"},
            ""},
        CorrelationDetailsCase{
            "ThreePairs",
            words("1.2 2.9 4.1"),
            words("3.3 4 6.2"),
            1,
            {"3", "0.9251", "2.4362", "p > 0.05", "Y=1.8739+0.9608X", "+0.9608", "1.8739"},
            {"0.248", "0.8559", "-", "-", "-4.0489", "5.9704", "-13.0600", "16.8079", "0.8125"},
            threePairs},
        CorrelationDetailsCase{
            "PerfectLine",
            words("1 2 3 4 5"),
            words("3.5 5.5 7.5 9.5 11.5"),
            3,
            {"5", "1.0000", "", "完全正相关", "Y=1.5000+2.0000X", "+2.0000", "1.5000"},
            {"<0.001", "1.0000", "1.0000", "1.0000", "2.0000", "2.0000", "1.5000", "1.5000",
             "0.0000"},
            ""},
        CorrelationDetailsCase{"HugeValues",
                               words("1000000000.11 1000000000.13 1000000000.12 1000000000.18 "
                                     "1000000000.15 1000000000.21"),
                               words("1000000000.31 1000000000.36 1000000000.30 1000000000.47 "
                                     "1000000000.40 1000000000.52"),
                               4,
                               {"6", "0.9864", "12.0027", "p < 0.001", "Y=-1256756756.7019+2.2568X",
                                "+2.2568", "-1256756756.7019"},
                               {"<0.001", "0.9730", "0.8766", "0.9986", "1.7350", "2.7786",
                                "-1778557049.8227", "-734956463.5812", "0.0162"},
                               ""},
        CorrelationDetailsCase{
            "BetweenRows",
            words("42 51 38 48 31 49 58 62 39 46 41 50 51 76 47 41 55 51 48 58 59 53 48 35 38 57 "
                  "45 62 60 51 40 57 56 54 50 44 53 63 29 53 53 60 51 45 52 50 61"),
            words("24.5 21.8 25.4 24.3 18.7 28 26.7 29 22.4 23.1 25.1 30.7 24.6 34.2 28.1 25.9 "
                  "20.9 23.5 26.3 26.2 25.8 22.2 22.8 19.5 22.3 22.2 27.5 26 22.6 28 27 22.6 25.7 "
                  "31.2 30 27.1 31 21.7 25 23.7 20.7 26.6 25.2 26.7 22.8 29.4 21.7"),
            45,
            {"47", "0.2883", "2.0197", "p > 0.05", "Y=19.9525+0.1053X", "+0.1053", "19.9525"},
            {"0.049", "0.0831", "0.0012", "0.5314", "0.0003", "0.2103", "14.5932", "25.3119",
             "3.2004"},
            noRow45},
        CorrelationDetailsCase{
            "PerfectThreePairs",
            words("1 2 3"),
            words("2 4 6"),
            1,
            {"3", "1.0000", "", "完全正相关", "Y=0.0000+2.0000X", "+2.0000", "0.0000"},
            {"<0.001", "1.0000", "-", "-", "2.0000", "2.0000", "0.0000", "0.0000", "0.0000"},
            threePairs},
        // All Y equal: the line is defined (b = 0, a = Y) and its intervals have no width.
        CorrelationDetailsCase{"AllYEqual",
                               words("1 2 3 4"),
                               words("5 5 5 5"),
                               2,
                               {"4", "", "", "", "Y=5.0000+0.0000X", "+0.0000", "5.0000"},
                               {"-", "-", "-", "-", "0.0000", "0.0000", "5.0000", "5.0000", "-"},
                               ""},
        CorrelationDetailsCase{"AllXEqual",
                               words("2 2 2 2"),
                               words("1 5 3 8"),
                               0,
                               {"4"},
                               {"-", "-", "-", "-", "-", "-", "-", "-", "-"},
                               ""},
        CorrelationDetailsCase{"TwoPairs",
                               words("1 2"),
                               words("3 5"),
                               0,
                               {""},
                               {"-", "-", "-", "-", "-", "-", "-", "-", "-"},
                               "至少需要 3 对数据才能计算相关与回归。"}),
    [](const auto &row) { return std::string(row.param.name); });

} // namespace
