// Each of R's reference sets imported into the comparison of groups in the real window: the
// group fields, the tests and the pairwise table show what R shows, and the slots after the
// last group stay empty.

#include "core/kgroups/k_groups.h"
#include "core/shell/methods.h"
#include "kgroups/kgroups_reference.h"
#include "ui/common/pending_work.h"
#include "ui/entry/data_grid.h"
#include "ui/shell/main_window.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QTableWidget>

using namespace quarbel;
using quarbel::test::KGroupsCase;

namespace {

class KGroupsPanelAgainstR : public testing::TestWithParam<KGroupsCase> {};

TEST_P(KGroupsPanelAgainstR, ShowsWhatRShowsAfterAnImport) {
    const KGroupsCase &c = GetParam();
    MainWindow window;
    window.selectMethod(KGroups);
    window.twoColumnGrid()->load({c.value, c.group}, {},
                                 std::max(c.value.size(), c.group.size()) + 10);
    PendingWork::flushAll();
    auto text = [&window](const QString &name) {
        const auto *label = window.findChild<QLabel *>(name);
        return label ? label->text() : QStringLiteral("<missing>");
    };
    const char *fields[] = {"KGroupCode",   "KGroupN",     "KGroupMean",  "KGroupSd",
                            "KGroupMedian", "KGroupP25of", "KGroupP75of", "KGroupShapiroP"};
    for (std::size_t g = 0; g < std::size_t(KGroupsMax); ++g) {
        QStringList shown;
        for (const char *f : fields)
            shown << text(QStringLiteral("%1_%2").arg(QLatin1String(f)).arg(g + 1));
        EXPECT_EQ(shown, g < c.groups.size() ? c.groups[g] : QStringList(8)) << "group " << g + 1;
    }
    const Details layout = kGroupsLayout();
    ASSERT_EQ(layout.items.size(), c.tests.size());
    for (qsizetype i = 0; i < layout.items.size(); ++i)
        EXPECT_EQ(text(layout.items[i].name), c.tests[i]) << layout.items[i].name.toStdString();
    const auto *pairs = window.findChild<QTableWidget *>(QStringLiteral("KGroupPairs"));
    ASSERT_NE(pairs, nullptr);
    ASSERT_EQ(std::size_t(pairs->rowCount()), c.pairs.size());
    for (int r = 0; r < pairs->rowCount(); ++r) {
        QStringList row;
        for (int col = 0; col < pairs->columnCount(); ++col)
            row << (pairs->item(r, col) ? pairs->item(r, col)->text() : QString());
        EXPECT_EQ(row, c.pairs[std::size_t(r)]) << "pair " << r + 1;
    }
}

INSTANTIATE_TEST_SUITE_P(R, KGroupsPanelAgainstR, testing::ValuesIn(test::kGroupsCases()),
                         [](const auto &shown) { return shown.param.name; });

} // namespace
