#include "ui/entry/numeric_cell.h"

#include <QCoreApplication>
#include <QKeyEvent>

#include <gtest/gtest.h>

using namespace quarbel;

namespace {

void typeInto(QLineEdit &cell, const QString &text) {
    for (const QChar ch : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QCoreApplication::sendEvent(&cell, &press);
    }
}

class NumericCellTest : public testing::Test {
  protected:
    QWidget m_parent;
    NumericCell m_grid{QStringLiteral("Text1_0"), CellRules{true, true, true}, &m_parent};
    QStringList m_edits;

    void SetUp() override {
        QObject::connect(&m_grid, &NumericCell::edited, &m_parent,
                         [this](const QString &t) { m_edits << t; });
    }
};

TEST_F(NumericCellTest, TypedFullStopBecomesPoint) {
    typeInto(m_grid, QStringLiteral("3。14"));
    EXPECT_EQ(m_grid.text(), "3.14");
    EXPECT_EQ(m_edits.last(), "3.14");
}

TEST_F(NumericCellTest, PastedUnitIsStrippedAndAnnouncedOnce) {
    m_grid.setText(QStringLiteral("5 kg"));
    EXPECT_EQ(m_grid.text(), "5");
    EXPECT_EQ(m_edits, QStringList{"5"});
    EXPECT_EQ(m_grid.cursorPosition(), 1);
}

TEST_F(NumericCellTest, TypedLetterIsRemovedAndSignAndPointStay) {
    typeInto(m_grid, QStringLiteral("1a"));
    EXPECT_EQ(m_grid.text(), "1");
    typeInto(m_grid, QStringLiteral("-."));
    EXPECT_EQ(m_grid.text(), "1-.");
    typeInto(m_grid, QStringLiteral("/ "));
    EXPECT_EQ(m_grid.text(), "1-.");
}

TEST_F(NumericCellTest, ClosedGateIgnoresChangesEntirely) {
    bool closed = true;
    m_grid.setGate([&closed] { return closed; });
    m_grid.setText(QStringLiteral("7x"));
    EXPECT_EQ(m_grid.text(), "7x");
    EXPECT_TRUE(m_edits.isEmpty());
    closed = false;
    m_grid.setText(QStringLiteral("8x"));
    EXPECT_EQ(m_grid.text(), "8");
}

TEST_F(NumericCellTest, SummaryBoxKeepsLettersButReplacesFullStops) {
    NumericCell box(QStringLiteral("Text4_0"), CellRules{true, false, false}, &m_parent);
    box.setText(QStringLiteral("2。5kg"));
    EXPECT_EQ(box.text(), "2.5kg");
}

} // namespace
