#include "ui/means/anova_panel.h"
#include "ui/shell/main_window.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>

#include <gtest/gtest.h>

using namespace quarbel;

namespace {

class AnovaPanelTest : public testing::Test {
  protected:
    void SetUp() override {
        window.selectMethod(2);
        panel = window.findChild<AnovaPanel *>(QStringLiteral("Picture4_2"));
        ASSERT_NE(panel, nullptr);
    }
    void setBox(int k, const QString &text) {
        window.findChild<QLineEdit *>(QStringLiteral("Text41_%1").arg(k))->setText(text);
    }
    QString text(const QString &name) const {
        if (auto *label = window.findChild<QLabel *>(name))
            return label->text();
        return window.findChild<QLineEdit *>(name)->text();
    }
    void fill(const std::array<const char *, 9> &boxes) {
        for (int k = 0; k < 9; ++k)
            setBox(k, QString::fromUtf8(boxes[std::size_t(k)]));
    }

    MainWindow window;
    AnovaPanel *panel{nullptr};
};

TEST_F(AnovaPanelTest, WithinTermsSurviveAMethodSwitch) {
    fill({"10", "2", "5", "12", "2", "5", "15", "2", "5"});
    window.selectMethod(0);
    window.selectMethod(2);
    EXPECT_TRUE(text("Text41_0").isEmpty());
    ASSERT_TRUE(panel->withinTerms().has_value());
    EXPECT_DOUBLE_EQ(panel->withinTerms()->ssWithin, 48);
    EXPECT_DOUBLE_EQ(panel->withinTerms()->dfWithin, 12);
}

TEST_F(AnovaPanelTest, ZeroTestLeavesTheTermsOfTheLastRun) {
    fill({"10", "2", "5", "12", "2", "5", "15", "2", "5"});
    setBox(5, QStringLiteral("9"));
    setBox(0, QString());
    EXPECT_DOUBLE_EQ(panel->withinTerms()->dfWithin, 16);
}

// Each box write reruns the F test, so the last sees the group's three new values.
TEST_F(AnovaPanelTest, GroupSummaryWritesMeanSdAndCount) {
    fill({"10", "2", "5", "12", "2", "5", "1", "1", "1"});
    panel->showGroup(3, GroupSummary{"15.0000", "2.0000", "5"});
    EXPECT_EQ(text("Text41_6"), "15.0000");
    EXPECT_EQ(text("Text41_7"), "2.0000");
    EXPECT_EQ(text("Text41_8"), "5");
    EXPECT_EQ(text("Label5_26"), "F = 7.9167  p < 0.01");
    EXPECT_EQ(text("Label12"), "第2组与第3组比较：q = 3.3541  p < 0.05");

    panel->showGroup(3, GroupSummary{"", "0.0000", "0"});
    EXPECT_TRUE(text("Text41_6").isEmpty());
    EXPECT_TRUE(text("Label5_26").isEmpty());
    EXPECT_TRUE(text("Label12").isEmpty());
    EXPECT_EQ(text("Label5_29"), "3.89");
}

// The details are written on the same change as F and emptied by the same rules.
TEST_F(AnovaPanelTest, DetailsFollowEveryChangeOfABox) {
    // The box is the first tab, which carries its title; the rank tests take the second.
    auto *tabs = window.findChild<QTabWidget *>(QStringLiteral("RankTabs2"));
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(tabs->widget(0), window.findChild<QGroupBox *>(QStringLiteral("Note2Box")));
    EXPECT_EQ(tabs->tabText(0), "详细结果");
    EXPECT_EQ(tabs->tabText(1), "秩和检验与正态性");

    fill({"10", "2", "5", "12", "2", "5", "15", "2", "5"});
    EXPECT_EQ(text("AnovaP"), "0.006");
    EXPECT_EQ(text("AnovaTukeyHigh13"), "-1.6254");
    EXPECT_EQ(text("AnovaWelchDf2"), "8.00");
    EXPECT_TRUE(text("Note2").isEmpty());

    setBox(8, QStringLiteral("4"));
    EXPECT_EQ(text("Label5_26"), "F = 6.9643  p < 0.05");
    EXPECT_EQ(text("AnovaP"), "0.011");
    EXPECT_TRUE(text("Note2").startsWith("F 界值表没有 ν = 11 这一行"));

    setBox(4, QStringLiteral("0"));
    EXPECT_TRUE(text("Label5_26").isEmpty());
    EXPECT_TRUE(text("AnovaP").isEmpty());
    EXPECT_TRUE(text("AnovaTukeyDiff12").isEmpty());
    EXPECT_EQ(text("Note2"), "第 2 组的标准差为 0，面板把 0 当作未填，不作计算。");

    setBox(4, QStringLiteral("2"));
    window.selectMethod(0);
    window.selectMethod(2);
    EXPECT_TRUE(text("AnovaEta2").isEmpty());
    EXPECT_TRUE(text("Note2").isEmpty());
}

} // namespace
