// The report's sentences and tables from the texts the panels show: each case runs the real
// computation of its method to get those texts, and adds the detail values R gave
// (data/report_details.R) where the case has them.

#include "core/correlation/correlation.h"
#include "core/means/anova.h"
#include "core/means/paired.h"
#include "core/means/two_sample.h"
#include "core/report/report.h"
#include "core/tables/four_fold.h"
#include "core/tables/graded.h"
#include "core/tables/rxc.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>

#include <QBuffer>
#include <QFile>

#include <functional>

namespace quarbel {

namespace {

using Fields = QHash<QString, QString>;

Fields detailsOf(const char *caseName) {
    Fields fields;
    QFile file(QStringLiteral(QUARBEL_TEST_DATA "/report_details.txt"));
    if (!file.open(QIODevice::ReadOnly))
        return fields;
    for (const QByteArray &line : file.readAll().split('\n')) {
        const QList<QByteArray> parts = line.split('\t');
        if (parts.size() == 3 && parts[0] == caseName)
            fields.insert(QString::fromUtf8(parts[1]), QString::fromUtf8(parts[2]));
    }
    return fields;
}

using test::ticksOf;

QString item(const char *array, int i) {
    return QStringLiteral("%1_%2").arg(QLatin1String(array)).arg(i);
}

Fields twoSample(const std::array<QString, 6> &boxes) {
    Fields f;
    for (int i = 0; i < 6; ++i)
        f[item("Text4", i)] = boxes[std::size_t(i)];
    f[QStringLiteral("Label5_6")] = twoSampleT(boxes).result;
    return f;
}

Fields paired(const QStringList &first, const QStringList &second) {
    const PairedResult r = pairedT(ticksOf(first), ticksOf(second));
    return {{QStringLiteral("Label13_5"), r.n},
            {QStringLiteral("Label13_4"), r.meanDifference},
            {QStringLiteral("Label13_3"), r.sdDifference},
            {QStringLiteral("Label5_7"), r.result}};
}

Fields anova(const AnovaBoxes &boxes) {
    Fields f;
    for (int i = 0; i < 9; ++i)
        f[item("Text41", i)] = boxes[std::size_t(i)];
    f[QStringLiteral("Label5_26")] = runAnova(boxes).fResult;
    return f;
}

Fields fourFoldTable(const FourFoldTexts &cells, const FourFoldMargins &m) {
    Fields f;
    for (int i = 0; i < 4; ++i)
        f[item("Text11", i)] = cells[std::size_t(i)];
    const std::array<QString, 5> margins{m.positive, m.negative, m.row1, m.row2, m.total};
    for (int i = 0; i < 5; ++i)
        f[item("Label18", i)] = margins[std::size_t(i)];
    return f;
}

Fields fourFold(const FourFoldTexts &cells) {
    const FourFoldResult r = fourFoldChiSquare(cells);
    Fields f = fourFoldTable(cells, r.margins);
    f[QStringLiteral("Label20_5")] = r.n;
    f[QStringLiteral("Label20_6")] = r.chiSquare;
    f[QStringLiteral("Label5_21")] = r.judgment;
    return f;
}

Fields pairedFourFold(const FourFoldTexts &cells) {
    const PairedFourFoldResult r = pairedFourFoldChiSquare(cells);
    Fields f = fourFoldTable(cells, r.margins);
    f[QStringLiteral("Label17_0")] = QStringLiteral("治疗后");
    f[QStringLiteral("Label17_1")] = QStringLiteral("  治疗前  ");
    f[QStringLiteral("Label17_3")] = QStringLiteral("（+）");
    f[QStringLiteral("Label17_4")] = QStringLiteral("（-）");
    f[QStringLiteral("Label20_8")] = r.n;
    f[QStringLiteral("Label20_7")] = r.chiSquare;
    f[QStringLiteral("Label5_23")] = r.judgment;
    return f;
}

Fields rxc(const RxCTexts &cells) {
    const RxCResult r = rxcChiSquare(cells);
    Fields f;
    for (int k = 0; k < 12; ++k)
        f[item("Text111", k)] = cells[std::size_t(k)];
    for (int c = 0; c < 4; ++c)
        f[item("Label18", 5 + c)] = r.columnTotals[std::size_t(c)];
    const std::array<int, 3> rowTotals{9, 10, 12};
    for (int i = 0; i < 3; ++i)
        f[item("Label18", rowTotals[std::size_t(i)])] = r.rowTotals[std::size_t(i)];
    f[QStringLiteral("Label18_20")] = r.grandTotal;
    f[QStringLiteral("Label20_12")] = r.n;
    f[QStringLiteral("Label20_13")] = r.chiSquare;
    f[QStringLiteral("Label5_35")] = r.judgment;
    if (r.warning)
        f[QStringLiteral("Label22")] = RxCWarning;
    return f;
}

Fields correlation(const QStringList &x, const QStringList &y) {
    const CorrelationResult r = correlate(ticksOf(x), ticksOf(y));
    return {{QStringLiteral("Label13_6"), r.n},        {QStringLiteral("Label13_7"), r.r},
            {QStringLiteral("Label13_12"), r.t},       {QStringLiteral("Label5_16"), r.judgement},
            {QStringLiteral("Label5_17"), r.equation}, {QStringLiteral("Label7"), r.slope},
            {QStringLiteral("Label8"), r.intercept}};
}

Fields graded(const GradedTexts &cells) {
    const GradedResult r = gradedAnalysis(cells);
    Fields f;
    for (int k = 0; k < 8; ++k)
        f[item("Text12", k)] = cells[std::size_t(k)];
    f[QStringLiteral("Label18_13")] = r.testTotal;
    f[QStringLiteral("Label18_11")] = r.controlTotal;
    for (int j = 0; j < 4; ++j)
        f[item("Label18", 14 + j)] = r.gradeTotals[std::size_t(j)];
    f[QStringLiteral("Label18_18")] = r.grandTotal;
    f[QStringLiteral("Label20_9")] = r.rankSumZ;
    f[QStringLiteral("Label5_44")] = r.rankSumJudgment;
    f[QStringLiteral("Label20_10")] = r.riditZ;
    f[QStringLiteral("Label5_43")] = r.riditJudgment;
    return f;
}

Fields with(Fields fields, const Fields &more) {
    for (auto it = more.begin(); it != more.end(); ++it)
        fields[it.key()] = it.value();
    return fields;
}

const QStringList BeforeBp{QStringLiteral("142"), QStringLiteral("150"), QStringLiteral("138"),
                           QStringLiteral("160"), QStringLiteral("155"), QStringLiteral("147"),
                           QStringLiteral("152"), QStringLiteral("144")};
const QStringList AfterBp{QStringLiteral("135"), QStringLiteral("141"), QStringLiteral("136"),
                          QStringLiteral("149"), QStringLiteral("146"), QStringLiteral("143"),
                          QStringLiteral("140"), QStringLiteral("139")};
const QStringList AfterBpAlike{QStringLiteral("145"), QStringLiteral("146"), QStringLiteral("140"),
                               QStringLiteral("155"), QStringLiteral("158"), QStringLiteral("143"),
                               QStringLiteral("154"), QStringLiteral("141")};
const QStringList Age{QStringLiteral("35"), QStringLiteral("42"), QStringLiteral("48"),
                      QStringLiteral("51"), QStringLiteral("55"), QStringLiteral("58"),
                      QStringLiteral("62"), QStringLiteral("66"), QStringLiteral("70"),
                      QStringLiteral("74")};
const QStringList Pressure{QStringLiteral("118"), QStringLiteral("121"), QStringLiteral("130"),
                           QStringLiteral("128"), QStringLiteral("135"), QStringLiteral("140"),
                           QStringLiteral("138"), QStringLiteral("146"), QStringLiteral("150"),
                           QStringLiteral("155")};
const QStringList Scattered{QStringLiteral("130"), QStringLiteral("118"), QStringLiteral("141"),
                            QStringLiteral("125"), QStringLiteral("122"), QStringLiteral("139"),
                            QStringLiteral("127"), QStringLiteral("120"), QStringLiteral("136"),
                            QStringLiteral("124")};

struct SentenceCase {
    const char *name;
    int method;
    std::function<Fields()> fields;
    const char *chinese; // empty: the report is the one line of no result
    const char *english;
};

QUARBEL_PRINT_ROW_NAME(SentenceCase)

class ReportSentences : public testing::TestWithParam<SentenceCase> {};

TEST_P(ReportSentences, FollowTheResult) {
    const SentenceCase &c = GetParam();
    ReportTexts texts{c.method, c.fields(), QStringLiteral("15.0"),
                      QDateTime(QDate(2026, 12, 8), QTime(9, 30)), false};
    const Report r = buildReport(texts);
    EXPECT_EQ(r.stamp, QStringLiteral("2026-12-08 09:30　Quarbel 15.0"));
    if (*c.chinese == '\0') {
        EXPECT_FALSE(r.emptyLine.isEmpty());
        EXPECT_TRUE(r.results.isEmpty());
        EXPECT_TRUE(r.chinese.isEmpty());
        EXPECT_EQ(reportPlainText(r).count(u'\n'), 3);
        return;
    }
    EXPECT_TRUE(r.emptyLine.isEmpty());
    EXPECT_EQ(r.chinese, QString::fromUtf8(c.chinese));
    EXPECT_EQ(r.english, QString::fromUtf8(c.english));
}

const std::array<QString, 6> HbSignificant{"132.4", "11.2", "20", "124.6", "10.8", "20"};
const std::array<QString, 6> HbAlike{"132.4", "11.2", "20", "128.9", "10.8", "20"};
const std::array<QString, 6> HbUnequal{"132.4", "18.5", "12", "120.1", "6.2", "30"};

INSTANTIATE_TEST_SUITE_P(
    EveryMethod, ReportSentences,
    testing::Values(
        SentenceCase{
            "two_sample_significant", 0,
            [] { return with(twoSample(HbSignificant), detailsOf("two_sample_significant")); },
            "两组均数差异有统计学意义（t = 2.2420，ν = 38，P = 0.031），"
            "均数差 7.8000（95% CI 0.7570 ~ 14.8430）。",
            "The mean difference was 7.8000 (95% CI 0.7570 to 14.8430; t = 2.2420, "
            "df = 38, P = 0.031)."},
        SentenceCase{
            "two_sample_not_significant", 0,
            [] { return with(twoSample(HbAlike), detailsOf("two_sample_not_significant")); },
            "两组均数差异无统计学意义（t = 1.0060，ν = 38，P = 0.321），"
            "均数差 3.5000（95% CI -3.5430 ~ 10.5430）。",
            "The mean difference was 3.5000 (95% CI -3.5430 to 10.5430; t = 1.0060, "
            "df = 38, P = 0.321), which was not statistically significant."},
        SentenceCase{"two_sample_welch", 0,
                     [] {
                         Fields f = with(twoSample(HbUnequal), detailsOf("two_sample_welch"));
                         f[QStringLiteral("Note0")] = QStringLiteral(
                             "两组方差不齐（方差齐性检验 P < 0.05）：合并方差的 t 检验"
                             "不宜报告，请报告 Welch 校正的 t′ 检验。");
                         return f;
                     },
                     "两组均数差异有统计学意义（t′ = 2.2531，ν = 12.0014，P = 0.044），"
                     "均数差 12.3000（95% CI 4.6755 ~ 19.9245）。",
                     "The mean difference was 12.3000 (95% CI 4.6755 to 19.9245; Welch's t′ = "
                     "2.2531, df = 12.0014, P = 0.044)."},
        SentenceCase{"two_sample_panel_only", 0, [] { return twoSample(HbSignificant); },
                     "两组均数差异有统计学意义（t = 2.2420，ν = 38，P < 0.05）。",
                     "The difference between the two means was statistically significant "
                     "(t = 2.2420, df = 38, P < 0.05)."},
        SentenceCase{"two_sample_undefined", 0,
                     [] {
                         return twoSample({"132.4", "11.2", "20", "", "10.8", "20"});
                     },
                     "", ""},
        SentenceCase{"paired_significant", 1, [] { return paired(BeforeBp, AfterBp); },
                     "配对差值均数与0的差异有统计学意义（t = 5.9556，ν = 7，P < 0.001）。",
                     "The mean paired difference was statistically significant (t = 5.9556, "
                     "df = 7, P < 0.001)."},
        SentenceCase{"paired_not_significant", 1, [] { return paired(BeforeBp, AfterBpAlike); },
                     "配对差值均数与0的差异无统计学意义（t = 0.6000，ν = 7，P > 0.05）。",
                     "The mean paired difference was not statistically significant "
                     "(t = 0.6000, df = 7, P > 0.05)."},
        SentenceCase{"paired_undefined", 1,
                     [] { return paired({QStringLiteral("142")}, {QStringLiteral("135")}); }, "",
                     ""},
        SentenceCase{"anova_significant", 2,
                     [] {
                         return with(anova({"10", "2", "5", "12", "2", "5", "15", "2", "5"}),
                                     {{QStringLiteral("AnovaEta2"), QStringLiteral("0.5689")}});
                     },
                     "三组均数差异有统计学意义（F = 7.9167，ν₁ = 2，ν₂ = 12，P < 0.01），"
                     "η² = 0.5689。",
                     "The difference among the three means was statistically significant "
                     "(F = 7.9167, df = 2, 12, P < 0.01); η² = 0.5689."},
        SentenceCase{"anova_not_significant", 2,
                     [] {
                         return anova({"10", "3", "4", "11", "3", "4", "12", "3", "4"});
                     },
                     "三组均数差异无统计学意义（F = 0.4444，ν₁ = 2，ν₂ = 9，P > 0.05）。",
                     "The difference among the three means was not statistically significant "
                     "(F = 0.4444, df = 2, 9, P > 0.05)."},
        SentenceCase{"anova_undefined", 2,
                     [] {
                         return anova({"10", "3", "4", "11", "3", "4", "12", "3", ""});
                     },
                     "", ""},
        SentenceCase{
            "four_fold_significant", 3,
            [] {
                return with(fourFold({"30", "10", "18", "22"}), detailsOf("four_fold_significant"));
            },
            "两组率差异有统计学意义（χ² = 7.5000，ν = 1，P = 0.006），"
            "OR = 3.6667（95% CI 1.4198 ~ 9.4696）。",
            "The odds ratio was 3.6667 (95% CI 1.4198 to 9.4696; χ² = 7.5000, df = 1, "
            "P = 0.006)."},
        SentenceCase{"four_fold_not_significant", 3,
                     [] {
                         return fourFold({"25", "15", "22", "18"});
                     },
                     "两组率差异无统计学意义（χ² = 0.4642，ν = 1，P > 0.05）。",
                     "The difference between the two proportions was not statistically "
                     "significant (χ² = 0.4642, df = 1, P > 0.05)."},
        SentenceCase{"four_fold_fisher", 3,
                     [] {
                         return with(fourFold({"7", "2", "2", "7"}), detailsOf("four_fold_small"));
                     },
                     "两组率差异无统计学意义（Fisher确切概率法，P = 0.057），"
                     "OR = 12.2500（95% CI 1.3273 ~ 113.0597）。",
                     "The odds ratio was 12.2500 (95% CI 1.3273 to 113.0597; Fisher's exact "
                     "test, P = 0.057), which was not statistically significant."},
        SentenceCase{"four_fold_unsuitable", 3,
                     [] {
                         return fourFold({"7", "2", "2", "7"});
                     },
                     "本资料n < 40或理论数T < 1，不宜用χ²检验，应改用Fisher确切概率法。",
                     "The χ² test is not suitable for these data (n < 40 or an expected count "
                     "below 1); Fisher's exact test should be used."},
        SentenceCase{"four_fold_undefined", 3,
                     [] {
                         return fourFold({"", "", "", ""});
                     },
                     "", ""},
        SentenceCase{"mcnemar_significant", 4,
                     [] {
                         return pairedFourFold({"20", "15", "4", "21"});
                     },
                     "配对两种结果的阳性率差异有统计学意义（McNemar χ² = 5.2632，ν = 1，"
                     "P < 0.05）。",
                     "The difference between the paired proportions was statistically "
                     "significant (McNemar χ² = 5.2632, df = 1, P < 0.05)."},
        SentenceCase{"mcnemar_exact", 4,
                     [] {
                         return with(
                             pairedFourFold({"20", "8", "2", "26"}),
                             {{QStringLiteral("McNemarExactP"), QStringLiteral("0.109")},
                              {QStringLiteral("Note4"),
                               QStringLiteral("b + c < 25：应报告确切概率法（二项分布）的 P")}});
                     },
                     "配对两种结果的阳性率差异无统计学意义（McNemar精确检验，P = 0.109）。",
                     "The difference between the paired proportions was not statistically "
                     "significant (exact McNemar test, P = 0.109)."},
        SentenceCase{"mcnemar_undefined", 4,
                     [] {
                         return pairedFourFold({"", "", "", ""});
                     },
                     "", ""},
        SentenceCase{
            "rxc_significant", 5,
            [] {
                return rxc({"45", "30", "25", "", "30", "35", "35", "", "20", "30", "50", ""});
            },
            "各组间率（构成比）的差异有统计学意义（χ² = 19.1627，ν = 4，P < 0.01）。",
            "The difference among the groups' proportions was statistically "
            "significant (χ² = 19.1627, df = 4, P < 0.01)."},
        SentenceCase{"rxc_not_significant", 5,
                     [] {
                         return rxc({"40", "35", "25", "", "38", "37", "25", "", "", "", "", ""});
                     },
                     "各组间率（构成比）的差异无统计学意义（χ² = 0.1068，ν = 2，P > 0.05）。",
                     "The difference among the groups' proportions was not statistically "
                     "significant (χ² = 0.1068, df = 2, P > 0.05)."},
        SentenceCase{"rxc_undefined", 5,
                     [] {
                         return rxc({"40", "60", "", "", "", "", "", "", "", "", "", ""});
                     },
                     "", ""},
        SentenceCase{
            "correlation_significant", 6,
            [] { return with(correlation(Age, Pressure), detailsOf("correlation_significant")); },
            "两变量间的线性相关有统计学意义（tr = 15.6210，ν = 8，P < 0.001），"
            "r = 0.9840（95% CI 0.9316 ~ 0.9963）。回归方程为 Y=82.1034+0.9625X。",
            "Pearson's r was 0.9840 (95% CI 0.9316 to 0.9963; t = 15.6210, df = 8, "
            "P < 0.001). The regression equation was Y=82.1034+0.9625X."},
        SentenceCase{"correlation_not_significant", 6, [] { return correlation(Age, Scattered); },
                     "两变量间的线性相关无统计学意义（tr = 0.0289，ν = 8，P > 0.05），"
                     "r = -0.0102。回归方程为 Y=128.5721-0.0066X。",
                     "The linear correlation between the two variables was not statistically "
                     "significant (t = 0.0289, df = 8, P > 0.05); r = -0.0102. The regression "
                     "equation was Y=128.5721-0.0066X."},
        SentenceCase{"correlation_undefined", 6,
                     [] { return correlation(Age.mid(0, 2), Pressure.mid(0, 2)); }, "", ""},
        SentenceCase{"graded_significant", 7,
                     [] {
                         return graded({"5", "10", "20", "15", "15", "20", "10", "5"});
                     },
                     "两组等级分布的差异有统计学意义（秩和检验，z = 3.9315，P < 0.01；"
                     "Ridit分析 z = 3.8105，P < 0.01）。",
                     "The difference in the distribution of grades between the two groups was "
                     "statistically significant (rank-sum test, z = 3.9315, P < 0.01; Ridit "
                     "analysis, z = 3.8105, P < 0.01)."},
        SentenceCase{"graded_not_significant", 7,
                     [] {
                         return graded({"10", "15", "15", "10", "12", "14", "14", "10"});
                     },
                     "两组等级分布的差异无统计学意义（秩和检验，z = 0.2855，P > 0.05；"
                     "Ridit分析 z = 0.2771，P > 0.05）。",
                     "The difference in the distribution of grades between the two groups was "
                     "not statistically significant (rank-sum test, z = 0.2855, P > 0.05; Ridit "
                     "analysis, z = 0.2771, P > 0.05)."},
        SentenceCase{"graded_undefined", 7,
                     [] {
                         return graded({"5", "10", "20", "15", "", "", "", ""});
                     },
                     "", ""}),
    [](const auto &row) { return std::string(row.param.name); });

// The report's numbers are the panel's texts, and its HTML and ODT tables carry three rules.
TEST(ReportTable, TwoSampleTablesAndRules) {
    ReportTexts texts{0, with(twoSample(HbSignificant), detailsOf("two_sample_significant")),
                      QStringLiteral("15.0"), QDateTime(QDate(2026, 12, 8), QTime(9, 30)), true};
    const Report r = buildReport(texts);
    const ReportTable inputs{{"组别", "n", "均数", "标准差"},
                             {{"组1", "20", "132.4", "11.2"}, {"组2", "20", "124.6", "10.8"}}};
    EXPECT_EQ(r.inputs, inputs);
    const QList<QStringList> rows{{"t", "2.2420"},
                                  {"自由度 ν", "38"},
                                  {"P", "0.031"},
                                  {"均数差（95% CI）", "7.8000（0.7570 ~ 14.8430）"},
                                  {"方差齐性检验 F", "1.0754"},
                                  {"方差齐性检验 P", "0.876"},
                                  {"Welch t′", "2.2420"},
                                  {"Welch 自由度 ν", "37.9499"},
                                  {"Welch P", "0.031"},
                                  {"结果判断", "p < 0.05"}};
    EXPECT_EQ(r.results.rows, rows);
    ASSERT_FALSE(r.notes.isEmpty());
    EXPECT_TRUE(r.notes.last().contains(QStringLiteral("模拟数据")));

    const QString text = reportPlainText(r);
    EXPECT_TRUE(text.contains(QStringLiteral("组1\t20\t132.4\t11.2\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("t\t2.2420\n")));

    // Heavy rule over the header, light under it, heavy under the last row; no side rules.
    const QString html = reportHtml(r);
    EXPECT_EQ(html.count(QStringLiteral("<th style=\"border-left:none;border-right:none;"
                                        "padding:2pt 8pt;border-top:1.5pt solid #000000;"
                                        "border-bottom:0.75pt solid #000000;")),
              4 + 2);
    EXPECT_EQ(html.count(QStringLiteral("border-bottom:1.5pt solid #000000;")), 4 + 2);
    EXPECT_EQ(html.count(QStringLiteral("frame=\"hsides\" rules=\"groups\"")), 2);
    EXPECT_FALSE(reportHtml(r, {}, true).contains(QStringLiteral("border=\"1\"")));

    QByteArray odt = reportOdt(r);
    ASSERT_FALSE(odt.isEmpty());
    EXPECT_TRUE(odt.mid(30, 8) == "mimetype");
    QBuffer buffer(&odt);
    QuaZip zip(&buffer);
    ASSERT_TRUE(zip.open(QuaZip::mdUnzip));
    ASSERT_TRUE(zip.setCurrentFile(QStringLiteral("content.xml")));
    QuaZipFile file(&zip);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString content = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(content.contains(QStringLiteral("style:name=\"Head\"")));
    EXPECT_TRUE(content.contains(QStringLiteral("fo:border-top=\"1.5pt solid #000000\" "
                                                "fo:border-bottom=\"0.75pt solid #000000\"")));
    EXPECT_TRUE(content.contains(QStringLiteral("fo:border-top=\"none\" "
                                                "fo:border-bottom=\"1.5pt solid #000000\"")));
    // Each table: header cells ruled above and below, the last row's cells below.
    EXPECT_EQ(content.count(QStringLiteral("table:style-name=\"Head\"")), 4 + 2);
    EXPECT_EQ(content.count(QStringLiteral("table:style-name=\"Last\"")), 4 + 2);
    EXPECT_TRUE(content.contains(QStringLiteral("7.8000（0.7570 ~ 14.8430）")));
    EXPECT_TRUE(content.contains(r.chinese.toHtmlEscaped()));
}

} // namespace
} // namespace quarbel
