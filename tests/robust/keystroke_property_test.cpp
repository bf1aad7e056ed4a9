// Random keystroke sequences into every entry cell and summary box of the real main window:
// nothing crashes, every number a field shows stays well-formed, each grid cell always shows
// what its hidden list holds, and the totals a keystroke updates (and every result drawn from
// them) equal those of a fresh pass over the lists, through pastes, imports and switches.
#include "robust_support.h"

#include "core/correlation/correlation.h"
#include "core/entry/column_list.h"
#include "core/entry/list_pair.h"
#include "core/means/group_summary.h"
#include "core/means/paired.h"
#include "core/shell/methods.h"
#include "ui/entry/data_grid.h"
#include "ui/entry/numeric_cell.h"
#include "ui/shell/main_window.h"

#include <QApplication>
#include <QLabel>
#include <QScrollBar>

#include <gtest/gtest.h>

#include <deque>

using namespace quarbel;
using namespace quarbel::robust;

namespace {

const QStringList typed = {"0", "1", "2", "3",  "4",  "5",  "6",  "7", "8", "9", "0",
                           "5", ".", ".", "-",  "。", "a",  "e",  "E", "x", "k", "g",
                           " ", " ", "+", "的", "组", "１", "，", "%", "/", "\t"};
const QStringList pasted = {"12.5 kg",
                            "。5",
                            "--3",
                            "1e5",
                            "3.1.4",
                            "  7  ",
                            "abc",
                            "中文",
                            "-",
                            ".",
                            "",
                            "1,5",
                            "4。2。",
                            "0.00005",
                            "99999999999999999999",
                            "-0",
                            "1e-400",
                            "1e400",
                            "0.0000",
                            "922337203685477.5807",
                            "-922337203685477.5807",
                            "3\t4",
                            "  -.5 ",
                            "+.5e1",
                            "NaN",
                            "inf"};

// Sheet cells that are not plain numbers, as an import stores them.
const QStringList importedOdd = {"",
                                 "",
                                 "-",
                                 ".",
                                 "abc",
                                 "1e5",
                                 "3.1.4",
                                 "99999999999999999999",
                                 "922337203685477.5807",
                                 "-922337203685477.5807",
                                 "0.00005"};

struct GridColumns {
    const char *cells;
    const char *list;
    const char *scrollBar;
};
constexpr GridColumns gridColumns[] = {
    {"Text1", "List1", "VS1"},   {"Text2", "List2", "VS1"},   {"Text30", "List3", "VSl1"},
    {"Text40", "List4", "VSl1"}, {"Text50", "List5", "VSl1"},
};

class Session {
  public:
    explicit Session(std::uint32_t seed) : m_dice(seed) {}

    MainWindow &window() { return m_window; }

    // One random action on the window; returns false (with the reason) when a check fails.
    bool step() {
        const QList<NumericCell *> cells = visibleCells();
        if (cells.isEmpty())
            return true;
        if (!m_cell || !cells.contains(m_cell) || m_dice.chance(10))
            m_cell = m_dice.pick(cells);
        const int roll = m_dice.below(100);
        if (roll < 55) {
            const QString ch = m_dice.pick(typed);
            log(QStringLiteral("type %1 «%2»").arg(m_cell->objectName(), ch));
            m_cell->setFocus();
            typeCharacter(m_cell, ch);
        } else if (roll < 65) {
            const int key =
                m_dice.pick(std::array{Qt::Key_Backspace, Qt::Key_Backspace, Qt::Key_Delete,
                                       Qt::Key_Left, Qt::Key_Home, Qt::Key_End});
            log(QStringLiteral("key %1 %2").arg(m_cell->objectName()).arg(key, 0, 16));
            pressKey(m_cell, key);
        } else if (roll < 75) {
            const QString text = m_dice.pick(pasted);
            const bool over = m_dice.chance(50);
            log(QStringLiteral("paste %1 «%2»%3")
                    .arg(m_cell->objectName(), text, over ? " over all" : ""));
            if (over)
                m_cell->selectAll();
            m_cell->insert(text);
        } else if (roll < 88) {
            const int key = m_dice.pick(std::array{Qt::Key_Return, Qt::Key_Down, Qt::Key_Up});
            log(QStringLiteral("key %1 %2").arg(m_cell->objectName()).arg(key, 0, 16));
            pressKey(m_cell, key);
            if (auto *focus = qobject_cast<NumericCell *>(QApplication::focusWidget()))
                m_cell = focus;
        } else if (roll < 93) {
            auto *bar = m_window.findChild<QScrollBar *>(
                m_dice.chance(50) ? QStringLiteral("VS1") : QStringLiteral("VSl1"));
            if (bar && bar->isVisibleTo(&m_window)) {
                const int value =
                    bar->minimum() + m_dice.below(bar->maximum() - bar->minimum() + 1);
                log(QStringLiteral("scroll %1 %2").arg(bar->objectName()).arg(value));
                bar->setValue(value);
            }
        } else if (roll < 95) {
            importInto(m_dice.chance(50) ? QStringLiteral("Picture2") : QStringLiteral("Picture6"));
        } else if (m_switches && roll < 98) {
            const int method = m_dice.below(MethodCount);
            log(QStringLiteral("method %1").arg(method));
            m_window.selectMethod(method);
        }
        return check();
    }

    void allowMethodSwitches() { m_switches = true; }
    QString failure() const {
        QString out = m_failure + QStringLiteral("\nlast actions:\n");
        for (const QString &a : m_log)
            out += a + u'\n';
        return out;
    }

  private:
    // What an import does once the file is read: every list replaced, the top shown.
    void importInto(const QString &gridName) {
        auto *grid = m_window.findChild<DataGrid *>(gridName);
        if (!grid || !grid->isVisibleTo(&m_window))
            return;
        const qsizetype rows = 10 + m_dice.below(40);
        QList<QStringList> columns;
        for (int c = 0; c < grid->columnCount(); ++c) {
            QStringList column;
            for (qsizetype r = m_dice.below(int(rows)); r > 0; --r)
                column << (m_dice.chance(20) ? m_dice.pick(importedOdd)
                                             : QString::number(m_dice.below(2000) - 1000, 'f', 2));
            columns << column;
        }
        log(QStringLiteral("import %1 rows into %2").arg(rows).arg(gridName));
        grid->load(columns, {}, rows);
    }

    // The kept totals against a fresh pass, and what the active grid method shows against its
    // result from the fresh totals.
    bool totalsInStep() {
        std::array<const ColumnList *, 5> lists{};
        for (int i = 0; i < 5; ++i) {
            lists[std::size_t(i)] =
                m_window.findChild<ColumnList *>(QStringLiteral("List%1").arg(i + 1));
            if (!(lists[std::size_t(i)]->totals() ==
                  ColumnTotals::of(lists[std::size_t(i)]->ticks())))
                return fail(QStringLiteral("List%1's totals differ from a fresh pass").arg(i + 1));
        }
        const PairTotals fresh = PairTotals::of(lists[0]->ticks(), lists[1]->ticks());
        if (!(m_window.findChild<ListPair *>()->totals() == fresh))
            return fail(QStringLiteral("the pair totals differ from a fresh pass"));
        auto shows = [this](const char *name) {
            return m_window.findChild<QLabel *>(QLatin1String(name))->text();
        };
        const int method = m_window.methodIndex();
        if (method == PairedT && shows("Label5_7") != pairedT(fresh).result)
            return fail(QStringLiteral("the paired result differs from a fresh pass"));
        if (method == Correlation && (shows("Label5_16") != correlate(fresh).judgement ||
                                      shows("Label5_17") != correlate(fresh).equation))
            return fail(QStringLiteral("the correlation differs from a fresh pass"));
        return true;
    }

    bool fail(const QString &why) {
        m_failure = why;
        return false;
    }

    QList<NumericCell *> visibleCells() {
        QList<NumericCell *> out;
        for (NumericCell *cell : m_window.findChildren<NumericCell *>())
            if (cell->isVisibleTo(&m_window) && cell->isEnabled() && !cell->isReadOnly())
                out.append(cell);
        return out;
    }

    void log(const QString &action) {
        m_log.push_back(action);
        if (m_log.size() > 25)
            m_log.pop_front();
    }

    bool check() {
        if (!totalsInStep())
            return false;
        for (QLabel *label : m_window.findChildren<QLabel *>()) {
            if (!label->isVisibleTo(&m_window))
                continue;
            const QString why = malformedNumber(label->text());
            if (!why.isEmpty()) {
                m_failure = QStringLiteral("%1 shows «%2»: %3")
                                .arg(label->objectName(), label->text(), why);
                return false;
            }
        }
        for (const GridColumns &g : gridColumns) {
            auto *bar = m_window.findChild<QScrollBar *>(QLatin1String(g.scrollBar));
            auto *list = m_window.findChild<ColumnList *>(QLatin1String(g.list));
            if (!bar || !list || !bar->isVisibleTo(&m_window))
                continue;
            for (int r = 0; r < 10; ++r) {
                auto *cell = m_window.findChild<NumericCell *>(
                    QStringLiteral("%1_%2").arg(QLatin1String(g.cells)).arg(r));
                if (cell && cell->text().trimmed() != list->at(bar->value() + r)) {
                    m_failure = QStringLiteral("%1 shows «%2» but %3 holds «%4» at %5")
                                    .arg(cell->objectName(), cell->text(), list->objectName(),
                                         list->at(bar->value() + r))
                                    .arg(bar->value() + r);
                    return false;
                }
            }
        }
        return true;
    }

    MainWindow m_window;
    Dice m_dice;
    NumericCell *m_cell{nullptr};
    bool m_switches{false};
    std::deque<QString> m_log;
    QString m_failure;
};

class RandomKeystrokes : public testing::TestWithParam<int> {
  protected:
    QuietSeams seams;
    SeamsGuard guard{&seams};
};

TEST_P(RandomKeystrokes, KeepNumbersWellFormedAndGridsInStep) {
    const int method = GetParam();
    Session session(std::uint32_t(1000 + method));
    session.window().selectMethod(method);
    for (int i = 0; i < 500; ++i)
        ASSERT_TRUE(session.step())
            << "method " << method << ", action " << i << ": " << session.failure().toStdString();
}

std::string methodName(const testing::TestParamInfo<int> &info) {
    static const std::array<const char *, MethodCount> names{
        "TwoSampleT",     "PairedT", "Anova",       "FourFold",
        "PairedFourFold", "RxC",     "Correlation", "Graded"};
    return names[std::size_t(info.param)];
}

INSTANTIATE_TEST_SUITE_P(Methods, RandomKeystrokes, testing::Range(0, MethodCount), methodName);

TEST(RandomKeystrokesAcrossMethods, SurviveMethodSwitchesBetweenKeys) {
    QuietSeams seams;
    SeamsGuard guard(&seams);
    Session session(77);
    session.allowMethodSwitches();
    for (int i = 0; i < 1500; ++i)
        ASSERT_TRUE(session.step()) << "action " << i << ": " << session.failure().toStdString();
}

} // namespace
