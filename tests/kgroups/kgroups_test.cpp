#include "core/entry/column_list.h"
#include "core/kgroups/k_groups.h"
#include "kgroups/kgroups_reference.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace quarbel;
using quarbel::test::KGroupsCase;
using quarbel::test::kGroupsCases;

namespace {

QString choiceName(KGroupsChoice c) {
    switch (c) {
    case KGroupsChoice::Anova:
        return QStringLiteral("anova");
    case KGroupsChoice::Welch:
        return QStringLiteral("welch");
    case KGroupsChoice::Rank:
        return QStringLiteral("rank");
    case KGroupsChoice::None:
        break;
    }
    return QStringLiteral("none");
}

class KGroupsAgreeWithR : public testing::TestWithParam<KGroupsCase> {};

// Every displayed text against R, and the running totals a panel keeps (rows typed value first
// or code first, then every value retyped) give the same totals as a fresh pass and the same
// means, tests and pairs as the whole analysis.
TEST_P(KGroupsAgreeWithR, TextsAndRunningTotals) {
    const KGroupsCase &c = GetParam();
    const std::vector<std::int64_t> value = test::ticksOf(c.value), group = test::ticksOf(c.group);
    const KGroupsColumns columns{value, group};
    const KGroupsResult r = analyseKGroups(columns);

    ASSERT_EQ(r.groups.size(), c.groups.size());
    for (std::size_t g = 0; g < c.groups.size(); ++g) {
        const KGroupTexts &t = r.groups[g];
        EXPECT_EQ((QStringList{t.code, t.n, t.mean, t.sd, t.median, t.p25, t.p75, t.shapiroP}),
                  c.groups[g])
            << "group " << g + 1;
    }
    ASSERT_EQ(r.tests.items.size(), c.tests.size());
    for (qsizetype i = 0; i < c.tests.size(); ++i)
        EXPECT_EQ(r.tests.items[i].text, c.tests[i]) << r.tests.items[i].name.toStdString();
    ASSERT_EQ(r.pairs.size(), c.pairs.size());
    for (std::size_t i = 0; i < c.pairs.size(); ++i)
        EXPECT_EQ(r.pairs[i], c.pairs[i]) << "pair " << i;
    EXPECT_EQ(choiceName(r.choice), c.choice);
    EXPECT_EQ(r.choice == KGroupsChoice::Anova, !r.tests.note.contains(QStringLiteral("请报告")))
        << r.tests.note.toStdString();

    const std::size_t rows = std::max(value.size(), group.size());
    auto at = [](const std::vector<std::int64_t> &v, std::size_t i) {
        return i < v.size() ? v[i] : ColumnList::Missing;
    };
    KGroupTotals typed;
    for (std::size_t i = 0; i < rows; ++i) {
        if (i % 2 == 0) {
            typed.valueChanged(ColumnList::Missing, at(value, i), ColumnList::Missing);
            typed.codeChanged(at(value, i), ColumnList::Missing, at(group, i));
        } else {
            typed.codeChanged(ColumnList::Missing, ColumnList::Missing, at(group, i));
            typed.valueChanged(ColumnList::Missing, at(value, i), at(group, i));
        }
    }
    for (std::size_t i = 0; i < rows; ++i) {
        typed.valueChanged(at(value, i), ColumnList::Missing, at(group, i));
        typed.valueChanged(ColumnList::Missing, at(value, i), at(group, i));
    }
    EXPECT_EQ(typed, KGroupTotals::of(columns));
    const KGroupsResult means = kGroupMeans(typed);
    ASSERT_EQ(means.groups.size(), r.groups.size());
    for (std::size_t g = 0; g < r.groups.size(); ++g)
        EXPECT_EQ((QStringList{means.groups[g].mean, means.groups[g].sd}),
                  (QStringList{r.groups[g].mean, r.groups[g].sd}));
    for (qsizetype i = 0; i < r.tests.items.size(); ++i)
        if (!means.tests.items[i].text.isEmpty())
            EXPECT_EQ(means.tests.items[i].text, r.tests.items[i].text);
    for (std::size_t i = 0; i < r.pairs.size(); ++i)
        EXPECT_EQ(means.pairs[i].mid(0, 7), r.pairs[i].mid(0, 7));
}

INSTANTIATE_TEST_SUITE_P(Sets, KGroupsAgreeWithR, testing::ValuesIn(kGroupsCases()),
                         [](const auto &row) { return row.param.name; });

} // namespace
