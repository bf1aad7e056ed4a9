#include "core/entry/column_list.h"
#include "core/survival/survival.h"
#include "support/test_support.h"
#include "survival/survival_reference.h"

#include <gtest/gtest.h>

#include <vector>

namespace quarbel {
inline void PrintTo(const SurvivalGroupTexts &g, std::ostream *os) {
    for (const QString *t :
         {&g.label, &g.n, &g.events, &g.median, &g.medianLow, &g.medianHigh, &g.rate, &g.rateLow,
          &g.rateHigh, &g.logRankObs, &g.logRankExp, &g.hr, &g.hrLow, &g.hrHigh, &g.coxP})
        *os << (t->isEmpty() ? "_" : t->toStdString()) << ' ';
}
} // namespace quarbel

using namespace quarbel;
using quarbel::test::referenceSets;
using quarbel::test::SurvivalCase;

namespace {

std::vector<std::int64_t> ticksOf(const std::vector<QString> &texts) {
    std::vector<std::int64_t> ticks;
    for (const QString &s : texts)
        ticks.push_back(ColumnList::ticksOf(s));
    return ticks;
}

SurvivalResult analyse(const std::vector<QString> &time, const std::vector<QString> &outcome,
                       const std::vector<QString> &group, const QString &rateTime) {
    const auto t = ticksOf(time), o = ticksOf(outcome), g = ticksOf(group);
    return analyseSurvival({t, o, g, time, outcome, group}, rateTime);
}

class SurvivalAgainstR : public testing::TestWithParam<SurvivalCase> {};

TEST_P(SurvivalAgainstR, ShowsWhatRShowsToTheDigits) {
    const SurvivalCase &c = GetParam();
    const SurvivalResult r = analyse(c.time, c.outcome, c.group, c.rateTime);
    EXPECT_EQ(r.rowsLeftOut, c.leftOut);
    ASSERT_EQ(r.groups.size(), c.groups.size());
    for (std::size_t g = 0; g < c.groups.size(); ++g)
        EXPECT_EQ(r.groups[g], c.groups[g])
            << "group " << g << "\n"
            << r.groups[g].median.toStdString() << " " << r.groups[g].hr.toStdString();
    EXPECT_EQ((QStringList{r.logRankChi2, r.logRankDf, r.logRankP}), c.logRank);
    for (const auto &[index, texts] : c.life) {
        ASSERT_LT(index, r.lifeTable.size());
        EXPECT_EQ(lifeTableTexts(r, r.lifeTable[index]), texts) << "life row " << index;
    }
}

INSTANTIATE_TEST_SUITE_P(R, SurvivalAgainstR, testing::ValuesIn(referenceSets()),
                         [](const auto &row) { return row.param.name; });

TEST(SurvivalReferenceData, IsThere) {
    EXPECT_GE(referenceSets().size(), 12u);
}

std::vector<QString> texts(std::initializer_list<const char *> cells) {
    std::vector<QString> out;
    for (const char *s : cells)
        out.push_back(QString::fromUtf8(s));
    return out;
}

// The note names each reason a result is missing, in the panel's words.
TEST(SurvivalNote, SaysWhatWasLeftOutAndWhy) {
    const SurvivalResult bad = analyse(texts({"3", "-1", "x", "4", "5", "6", "7", "8"}),
                                       texts({"1", "1", "1", "2", "1", "1", "0", "1"}),
                                       texts({"1", "1", "1", "1", "", "2", "1", "a"}), QString());
    EXPECT_TRUE(bad.note.startsWith(
        QStringLiteral("有 3 行的时间或结局无法使用（结局只能是1或0），已略去。"
                       "有 1 行的组别不是数字，已略去。有 1 行没有组别，已略去。")))
        << bad.note.toStdString();
    EXPECT_TRUE(bad.note.contains(QStringLiteral("事件数较少，风险比的可信区间可能不可靠")));

    const SurvivalResult noRef = analyse(texts({"1", "2", "3", "4"}), texts({"0", "0", "1", "1"}),
                                         texts({"1", "1", "2", "2"}), QString());
    EXPECT_TRUE(noRef.note.contains(QStringLiteral("参照组（组1）没有事件")));
    EXPECT_TRUE(noRef.groups[1].hr.isEmpty());

    std::vector<QString> many;
    for (int i = 0; i < 9; ++i)
        many.push_back(QString::number(i));
    const SurvivalResult nine =
        analyse(many, std::vector<QString>(9, QStringLiteral("1")), many, QStringLiteral("1"));
    EXPECT_TRUE(nine.groups.empty());
    EXPECT_TRUE(nine.lifeTable.empty());
    EXPECT_TRUE(nine.note.contains(QStringLiteral("组别超过 8 个")));

    const SurvivalResult none = analyse({}, {}, {}, QStringLiteral("1"));
    EXPECT_TRUE(none.groups.empty());
    EXPECT_TRUE(none.note.isEmpty());
}

} // namespace
