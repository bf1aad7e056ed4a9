#include "core/plots/sample_size_plot.h"
#include "core/samplesize/sample_size.h"
#include "core/samplesize/sample_size_report.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using namespace quarbel;

namespace {

// One row of data/sample_size.txt, written by data/sample_size.R: the boxes as typed and
// every result text R gives for them.
struct SizeCase {
    std::string name;
    SampleSizeInput input;
    QStringList expected; // n1 n2 total n1d n2d totald events achieved powerout n1cc n2cc
};
QUARBEL_PRINT_ROW_NAME(SizeCase)

QString field(const std::string &token) {
    return token == "_" ? QString() : QString::fromStdString(token);
}

std::vector<SizeCase> referenceRows() {
    std::vector<SizeCase> rows;
    std::ifstream in(QUARBEL_TEST_DATA "/sample_size.txt");
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line.front() == '#')
            continue;
        std::vector<std::string> t;
        std::istringstream cells(line);
        for (std::string cell; std::getline(cells, cell, '\t');)
            t.push_back(cell);
        if (t.size() != 33)
            continue;
        SizeCase c;
        c.name = t[0];
        SampleSizeInput &i = c.input;
        i.design = std::stoi(t[1]);
        QString *texts[] = {&i.delta,     &i.sd,     &i.p1,        &i.p2,   &i.p10,
                            &i.p01,       &i.groups, &i.effectF,   &i.rho,  &i.hr,
                            &i.eventProb, &i.p,      &i.halfWidth, &i.alpha};
        for (std::size_t k = 0; k < std::size(texts); ++k)
            *texts[k] = field(t[2 + k]);
        i.sides = std::stoi(t[16]);
        i.power = field(t[17]);
        i.ratio = field(t[18]);
        i.dropout = field(t[19]);
        i.solve = std::stoi(t[20]);
        i.nInput = field(t[21]);
        for (std::size_t k = 22; k < t.size(); ++k)
            c.expected << field(t[k]);
        rows.push_back(c);
    }
    return rows;
}

QStringList shown(const SampleSizeResult &r) {
    return {r.n1,        r.n2,           r.total,  r.n1Dropout,
            r.n2Dropout, r.totalDropout, r.events, r.achievedPower,
            r.powerOut,  r.n1Cc,         r.n2Cc};
}

class SampleSizeAgainstR : public testing::TestWithParam<SizeCase> {};

// Inputs the design does not use hold junk here, to show they are ignored.
TEST_P(SampleSizeAgainstR, ShowsWhatRShows) {
    SampleSizeInput input = GetParam().input;
    for (QString *box : {&input.delta, &input.sd, &input.p1, &input.p2, &input.p10, &input.p01,
                         &input.groups, &input.effectF, &input.rho, &input.hr, &input.eventProb,
                         &input.p, &input.halfWidth, &input.nInput})
        if (box->isEmpty())
            *box = QStringLiteral("x");
    const SampleSizeResult r = computeSampleSize(input);
    EXPECT_EQ(shown(r), GetParam().expected);
    const bool beyond = r.n1.startsWith(u'>') || r.n2.startsWith(u'>') || r.total.startsWith(u'>');
    EXPECT_EQ(r.note.isEmpty(), !beyond || input.design == 7) << r.note.toStdString();
}

INSTANTIATE_TEST_SUITE_P(R, SampleSizeAgainstR, testing::ValuesIn(referenceRows()),
                         [](const auto &row) { return row.param.name; });

TEST(SampleSizeReferenceData, HoldsSixRowsPerDesign) {
    std::vector<int> perDesign(SizeDesignCount);
    for (const SizeCase &c : referenceRows())
        ++perDesign.at(std::size_t(c.input.design));
    for (int n : perDesign)
        EXPECT_GE(n, 6);
}

SampleSizeInput twoMeans() {
    SampleSizeInput in;
    in.delta = QStringLiteral("5");
    in.sd = QStringLiteral("10");
    return in;
}

// An input out of range empties every result and the note names it; so does every one of
// several at once. A row that types n solves for power.
TEST(SampleSizeNote, NamesTheInputOutOfRange) {
    using Box = QString SampleSizeInput::*;
    using I = SampleSizeInput;
    struct Bad {
        const char *what;
        int design;
        std::vector<std::pair<Box, const char *>> boxes;
        const char *says;
    };
    const std::vector<Bad> rows{
        {"alpha", 0, {{&I::alpha, "0.5"}}, "检验水准 α 应大于 0 且小于 0.5"},
        {"power", 0, {{&I::power, "1"}}, "检验效能应大于 0 且小于 1"},
        {"delta", 0, {{&I::delta, "-0"}}, "均数之差 δ 不能为 0"},
        {"sd", 0, {{&I::sd, "0"}}, "标准差 σ 应大于 0"},
        {"ratio", 0, {{&I::ratio, "-1"}}, "样本量之比 n2/n1 应大于 0"},
        {"dropout", 0, {{&I::dropout, "100"}}, "脱落率应不小于 0 且小于 100（%）"},
        {"junk", 0, {{&I::sd, "1,5"}}, "标准差 σ 不是有效的数字"},
        {"n", 0, {{&I::nInput, "1"}}, "样本量 n 应为不小于 2 的整数"},
        {"rho",
         5,
         {{&I::rho, "-1"}, {&I::nInput, "3"}},
         "相关系数 ρ 不能为 0，其绝对值应小于 1；样本量 n 应为不小于 4 的整数"},
        {"p10", 3, {{&I::p10, "0.6"}, {&I::p01, "0.5"}}, "p10 + p01 不能大于 1"},
        {"k", 4, {{&I::groups, "2.5"}, {&I::effectF, "0.25"}}, "组数 k 应为 2 到 10 的整数"},
        {"hr",
         6,
         {{&I::hr, "1"}, {&I::eventProb, "1.01"}},
         "风险比 HR 应大于 0 且不等于 1；发生事件的比例应大于 0 且不超过 1"},
        {"half-width",
         7,
         {{&I::p, "0.3"}, {&I::halfWidth, "0.5"}},
         "可信区间半宽应大于 0 且小于 0.5"},
    };
    for (const Bad &row : rows) {
        SampleSizeInput in = twoMeans();
        in.design = row.design;
        for (const auto &[box, text] : row.boxes) {
            in.*box = QString::fromUtf8(text);
            in.solve = in.solve || box == &I::nInput;
        }
        const SampleSizeResult r = computeSampleSize(in);
        EXPECT_TRUE(r.n1.isEmpty() && r.total.isEmpty() && r.achievedPower.isEmpty()) << row.what;
        EXPECT_FALSE(r.parameters) << row.what;
        EXPECT_EQ(r.note, QString::fromUtf8(row.says)) << row.what;
    }
    SampleSizeInput empty = twoMeans();
    empty.sd.clear();
    EXPECT_EQ(computeSampleSize(empty), SampleSizeResult{});
}

TEST(SampleSizeCeiling, LeavesANearlyWholeValueAsItIs) {
    EXPECT_EQ(ceilWhole(1.1 * 100), 110);
    EXPECT_EQ(ceilWhole(110.000001), 111);
    EXPECT_EQ(ceilWhole(64 / 0.9), 72);
}

// The paragraph to paste, in the words of a protocol, for each mode and kind of n.
TEST(SampleSizeReport, WritesTheProtocolParagraph) {
    SampleSizeInput in = twoMeans();
    in.dropout = QStringLiteral("10");
    ReportContent c = sampleSizeReport(in, computeSampleSize(in));
    EXPECT_EQ(c.chinese, QStringLiteral("按双侧检验水准 α = 0.05、检验效能 80%，预期两组均数之差为 "
                                        "5、标准差为 10，每组需 64 例；考虑 10% 的脱落，每组需 72 "
                                        "例，共 144 例。"));
    EXPECT_EQ(c.english,
              QStringLiteral("At a two-sided significance level of α = 0.05 and a power of 80%, "
                             "assuming a difference in means of 5 and a standard deviation of 10, "
                             "64 subjects per group are required; allowing for a drop-out rate of "
                             "10%, 72 subjects per group are required, 144 in total."));
    EXPECT_EQ(c.results.rows.back(),
              (QStringList{QStringLiteral("实际检验效能"), QStringLiteral("0.8015")}));

    in.ratio = QStringLiteral("2");
    in.sides = 1;
    in.solve = 1;
    in.nInput = QStringLiteral("30");
    in.dropout = QStringLiteral("0");
    c = sampleSizeReport(in, computeSampleSize(in));
    EXPECT_TRUE(c.chinese.startsWith(QStringLiteral("按单侧检验水准 α = 0.05，预期")));
    EXPECT_TRUE(c.chinese.contains(QStringLiteral("、两组例数之比 n2/n1 为 2，第一组 30 例、第二组 "
                                                  "60 例时检验效能为 ")))
        << c.chinese.toStdString();
    EXPECT_TRUE(c.chinese.endsWith(QStringLiteral("%，共 90 例。")));

    SampleSizeInput events;
    events.design = 6;
    events.hr = QStringLiteral("0.7");
    events.eventProb = QStringLiteral("0.6");
    c = sampleSizeReport(events, computeSampleSize(events));
    EXPECT_TRUE(c.chinese.endsWith(QStringLiteral("预期风险比 HR 为 0.7、随访期间发生事件的比例为 "
                                                  "60%，共需观察 247 个事件，每组需 206 例，共 "
                                                  "412 例。")))
        << c.chinese.toStdString();

    SampleSizeInput tiny = twoMeans();
    tiny.delta = QStringLiteral("0.0001");
    c = sampleSizeReport(tiny, computeSampleSize(tiny));
    EXPECT_TRUE(c.chinese.endsWith(QStringLiteral("每组需超过 10⁹ 例，共超过 10⁹ 例。")))
        << c.chinese.toStdString();

    in.sd = QStringLiteral("0");
    c = sampleSizeReport(in, computeSampleSize(in));
    EXPECT_TRUE(c.results.isEmpty() && c.chinese.isEmpty());
    EXPECT_EQ(c.notes, QStringList{QStringLiteral("标准差 σ 应大于 0")});
}

TEST(SampleSizePicture, DrawsThePowerAroundTheAnswer) {
    const SampleSizePicture p = sampleSizePicture(computeSampleSize(twoMeans()));
    ASSERT_EQ(p.curve.size(), 40u);
    EXPECT_EQ(p.curve.front().x, 21);
    EXPECT_EQ(p.curve.back().x, 128);
    EXPECT_EQ(p.answer.x, 64);
    EXPECT_NEAR(p.answer.y, 0.8015, 5e-5);
    EXPECT_EQ(p.target, 0.8);
    for (std::size_t i = 1; i < p.curve.size(); ++i)
        EXPECT_GT(p.curve[i].y, p.curve[i - 1].y);

    SampleSizeInput rate;
    rate.design = 7;
    rate.p = QStringLiteral("0.3");
    rate.halfWidth = QStringLiteral("0.05");
    EXPECT_TRUE(sampleSizePicture(computeSampleSize(rate)).curve.empty());
}

} // namespace
