#include "core/diagnostic/diagnostic.h"
#include "core/diagnostic/roc.h"
#include "core/entry/column_list.h"
#include "core/tables/kappa.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <QFile>

#include <string>
#include <vector>

using namespace quarbel;

namespace {

// Lines of a reference file written by an R script under data/, split at spaces; comments
// left out.
std::vector<QStringList> referenceLines(const char *file) {
    std::vector<QStringList> lines;
    QFile f(QStringLiteral(QUARBEL_TEST_DATA "/") + QString::fromUtf8(file));
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return lines;
    for (const QString &line : QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts))
        if (!line.startsWith(u'#'))
            lines.push_back(line.split(u' ', Qt::SkipEmptyParts));
    return lines;
}

// R writes "-" where a box stays empty.
QString boxText(const QString &field) {
    return field == u"-" ? QString() : field;
}

// Every item of `details` from `first` on against R's texts, in order.
void expectTexts(const Details &details, qsizetype first, const QStringList &expected) {
    ASSERT_EQ(details.items.size() - first, expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i)
        EXPECT_EQ(details.items[first + i].text, boxText(expected[i]))
            << details.items[first + i].name.toStdString();
}

struct TableCase {
    std::string name;
    FourFoldTexts cells;
    QString extra; // the practice prevalence of method 9
    QStringList expected;
};
QUARBEL_PRINT_ROW_NAME(TableCase)

std::vector<TableCase> tableCases(const char *file, bool withPrevalence) {
    std::vector<TableCase> cases;
    for (const QStringList &f : referenceLines(file)) {
        const qsizetype values = withPrevalence ? 6 : 5;
        cases.push_back({f[0].toStdString(),
                         {f[1], f[2], f[3], f[4]},
                         withPrevalence ? boxText(f[5]) : QString(),
                         f.mid(values)});
    }
    return cases;
}

std::string rowName(const testing::TestParamInfo<TableCase> &info) {
    return info.param.name;
}

class DiagnosticAgreesWithR : public testing::TestWithParam<TableCase> {};

TEST_P(DiagnosticAgreesWithR, EveryValue) {
    const TableCase &c = GetParam();
    expectTexts(evaluateDiagnostic(c.cells, c.extra).details, 0, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Tables, DiagnosticAgreesWithR,
                         testing::ValuesIn(tableCases("diagnostic.txt", true)), rowName);

class KappaAgreesWithR : public testing::TestWithParam<TableCase> {};

TEST_P(KappaAgreesWithR, EveryValue) {
    const TableCase &c = GetParam();
    expectTexts(pairedKappa(c.cells), 0, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Tables, KappaAgreesWithR,
                         testing::ValuesIn(tableCases("kappa.txt", false)), rowName);

// One set of data/roc.txt: the two columns as typed and pROC's results.
struct RocCase {
    std::string name;
    bool lowerPositive{false};
    QStringList value, status;
    QStringList expected; // RocNPos … RocYouden
    std::vector<QStringList> coordinates;
};
QUARBEL_PRINT_ROW_NAME(RocCase)

std::vector<RocCase> rocCases() {
    std::vector<RocCase> cases;
    for (const QStringList &f : referenceLines("roc.txt")) {
        auto typed = [&] {
            QStringList texts = f.mid(1);
            for (QString &t : texts)
                t = t == u"_" ? QString() : t;
            return texts;
        };
        if (f[0] == u"SET")
            cases.push_back({f[1].toStdString(), f[2] == u"1", {}, {}, {}, {}});
        else if (f[0] == u"V")
            cases.back().value = typed();
        else if (f[0] == u"S")
            cases.back().status = typed();
        else if (f[0] == u"R")
            cases.back().expected = f.mid(1);
        else if (f[0] == u"C")
            cases.back().coordinates.push_back(f.mid(1));
    }
    return cases;
}

class RocAgreesWithPRoc : public testing::TestWithParam<RocCase> {};

TEST_P(RocAgreesWithPRoc, ValuesAndCoordinates) {
    const RocCase &c = GetParam();
    const std::vector<std::int64_t> value = test::ticksOf(c.value),
                                    status = test::ticksOf(c.status);
    const RocResult r = analyseRoc({value, status, c.value, c.status}, c.lowerPositive);
    expectTexts(r.details, 0, c.expected);
    ASSERT_EQ(r.coordinates.size(), c.coordinates.size());
    for (std::size_t i = 0; i < c.coordinates.size(); ++i)
        EXPECT_EQ(rocCoordinateTexts(r, r.coordinates[i]), c.coordinates[i]) << "cut-off " << i;
    ASSERT_GE(r.best, 0);
    EXPECT_EQ(rocCoordinateTexts(r, r.coordinates[std::size_t(r.best)]).front(),
              r.details.text(u"RocCutoff"));
    // The rows R was not given are the ones counted as unusable.
    EXPECT_EQ(r.unusable, c.value.size() - (r.cases + r.controls));
}

INSTANTIATE_TEST_SUITE_P(Sets, RocAgreesWithPRoc, testing::ValuesIn(rocCases()),
                         [](const auto &row) { return row.param.name; });

TEST(ReferenceFiles, AreRead) {
    EXPECT_EQ(tableCases("diagnostic.txt", true).size(), 11u);
    EXPECT_EQ(tableCases("kappa.txt", false).size(), 8u);
    EXPECT_EQ(rocCases().size(), 9u);
}

FourFoldTexts cells(const char *a, const char *b, const char *c, const char *d) {
    return {QString::fromUtf8(a), QString::fromUtf8(b), QString::fromUtf8(c), QString::fromUtf8(d)};
}

// What R cannot say: the table's refusals and the note.
TEST(Diagnostic, RefusesAndExplains) {
    const DiagnosticResult negative = evaluateDiagnostic(cells("10", "-2", "3", "40"), {});
    EXPECT_EQ(negative.details, [] {
        Details d = diagnosticLayout();
        d.note = QStringLiteral("例数不能为负数");
        return d;
    }());
    const DiagnosticResult huge =
        evaluateDiagnostic(cells("10", "1234567890123456789", "3", "40"), {});
    EXPECT_TRUE(huge.details.text(u"DiagSens").isEmpty());
    EXPECT_FALSE(huge.details.note.isEmpty());

    // Denominators past 10¹¹ keep the estimates without exact bounds.
    const Details large = evaluateDiagnostic(cells("200000000000", "1", "2", "3"), {}).details;
    EXPECT_EQ(large.text(u"DiagSens"), QStringLiteral("1.0000"));
    EXPECT_TRUE(large.text(u"DiagSensLow").isEmpty());
    EXPECT_FALSE(large.text(u"DiagSpecLow").isEmpty());

    // Fractional counts keep the estimates and the log intervals, not the exact ones.
    const Details fractional = evaluateDiagnostic(cells("10.5", "2", "3", "40"), {}).details;
    EXPECT_EQ(fractional.text(u"DiagSens"), QStringLiteral("0.7778"));
    EXPECT_TRUE(fractional.text(u"DiagSensLow").isEmpty());
    EXPECT_FALSE(fractional.text(u"DiagLrPosLow").isEmpty());
    EXPECT_TRUE(fractional.note.contains(QStringLiteral("小数")));

    // The box's prevalence must lie strictly between 0 and 100; the table's own one draws no
    // remark about prevalence.
    for (const char *refused : {"0", "100", "abc"}) {
        const Details d = evaluateDiagnostic(cells("9", "2", "1", "8"), refused).details;
        EXPECT_TRUE(d.text(u"DiagPpvAtPrev").isEmpty()) << refused;
        EXPECT_TRUE(d.note.contains(QStringLiteral("0 且小于 100"))) << refused;
    }
    const Details same =
        evaluateDiagnostic(cells("9", "2", "1", "8"), QStringLiteral("50")).details;
    EXPECT_EQ(same.text(u"DiagPpvAtPrev"), same.text(u"DiagPpv"));
    EXPECT_TRUE(same.note.isEmpty());
    EXPECT_TRUE(evaluateDiagnostic(cells("9", "2", "1", "8"), QStringLiteral("10"))
                    .details.note.contains(QStringLiteral("依赖患病率")));
}

TEST(Diagnostic, ReportWritesPercentages) {
    EXPECT_EQ(percentText(QStringLiteral("1.0000")), QStringLiteral("100.00%"));
    EXPECT_EQ(percentText(QStringLiteral("0.0313")), QStringLiteral("3.13%"));
    const ReportContent r =
        diagnosticReport(evaluateDiagnostic(cells("670", "202", "74", "640"), QStringLiteral("5")));
    EXPECT_TRUE(r.chinese.contains(QStringLiteral("灵敏度为 90.05%（95% CI 87.67% ~ 92.11%）")))
        << r.chinese.toStdString();
    EXPECT_TRUE(
        r.english.contains(QStringLiteral("sensitivity of 90.05% (95% CI 87.67% to 92.11%)")));
    EXPECT_TRUE(r.chinese.contains(QStringLiteral("按实际患病率 5% 计算")));
    EXPECT_EQ(r.inputs.rows.back(), (QStringList{QStringLiteral("合计"), "744", "842", "1586"}));
    EXPECT_TRUE(diagnosticReport(evaluateDiagnostic(cells("", "", "", ""), {})).results.isEmpty());
}

TEST(Kappa, PerfectAgreementAndEmptyTable) {
    const Details perfect = pairedKappa(cells("30", "0", "0", "20"));
    EXPECT_EQ(perfect.text(u"KappaLow"), QStringLiteral("1.0000"));
    EXPECT_TRUE(pairedKappa(cells("", "", "", "")).items.size() == 5);
    const Details oneCell = pairedKappa(cells("12", "0", "0", "0"));
    EXPECT_EQ(oneCell.text(u"KappaAgreement"), QStringLiteral("1.0000"));
    EXPECT_TRUE(oneCell.text(u"Kappa").isEmpty());
    EXPECT_FALSE(oneCell.note.isEmpty());
}

// Two cut-offs with the same Youden index: the one with the higher sensitivity wins; the curve
// runs from (0, 0) to (1, 1) through it.
TEST(Roc, TieGoesToHigherSensitivityAndCurveEnds) {
    const QStringList value{"1", "2", "3", "4", "5", "6"}, status{"0", "1", "0", "1", "0", "1"};
    const std::vector<std::int64_t> v = test::ticksOf(value), s = test::ticksOf(status);
    const RocResult r = analyseRoc({v, s, value, status}, false);
    EXPECT_EQ(r.details.text(u"RocCutoff"), QStringLiteral("2.0000"));
    EXPECT_EQ(r.details.text(u"RocCutoffSens"), QStringLiteral("1.0000"));
    const RocCurve curve = rocCurve(r);
    EXPECT_EQ(curve.points.front(), (RocPoint{0, 0}));
    EXPECT_EQ(curve.points.back(), (RocPoint{1, 1}));
    EXPECT_DOUBLE_EQ(curve.points[std::size_t(curve.best)].falsePositive, 2.0 / 3);
    EXPECT_EQ(curve.points[std::size_t(curve.best)].sensitivity, 1.0);
    EXPECT_TRUE(rocReport(r).chinese.contains(QStringLiteral("灵敏度为 100.00%")));

    const RocResult flipped = analyseRoc({v, s, value, status}, true);
    EXPECT_EQ(flipped.coordinates.front().cutoff, 10000);
    EXPECT_TRUE(flipped.details.note.contains(QStringLiteral("AUC < 0.5")));
    const QStringList one{"0", "0"};
    const std::vector<std::int64_t> onlyControls = test::ticksOf(one);
    EXPECT_TRUE(analyseRoc({onlyControls, onlyControls, one, one}, false).coordinates.empty());
}

} // namespace
