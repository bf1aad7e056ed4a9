#pragma once

#include "ui/entry/numeric_cell.h"

#include <QFrame>
#include <QList>
#include <QString>

#include <array>
#include <functional>
#include <initializer_list>
#include <utility>

class QGridLayout;
class QLabel;
class QWidget;

namespace quarbel {

// A method's input or result panel. The method switch resets panels through these two calls
// in a fixed order; each panel empties exactly the controls the switch has always emptied, so
// a panel whose own handlers rewrite a field (when a cell that held text is emptied) leaves
// that field to them.
class Panel : public QFrame {
    Q_OBJECT
  public:
    using QFrame::QFrame;

    // Empties the entry cells; each change runs the cell's handler as a typed change would.
    virtual void clearInputs() {}
    // Empties the result fields the switch resets.
    virtual void clearResults() {}

  protected:
    // The frame lies in the border around the contents: a repaint well inside them (a result
    // written, a cell typed into) has none of it to draw, and drawing it is most of the cost.
    void paintEvent(QPaintEvent *event) override;
};

// "Label18", 4 -> "Label18_4": controls of an array are found by these names.
QString controlName(const char *array, int index);

// A label; named when it is one of the controls the method switch or a story addresses.
QLabel *tableLabel(const QString &text, QWidget *parent, const QString &name = {});
// A column's heading over a table of result fields: bold and centred.
QLabel *columnHeader(const QString &text, QWidget *parent);
// A bold title or heading label.
QLabel *boldLabel(const QString &text, QWidget *parent, const QString &name = {});
void makeBold(QWidget *widget, bool bold = true);
// Results are printed in red.
void setResultStyle(QLabel *label);

// A result field a computation writes into; `name` is its control name (Label5_6, Label13_7).
QLabel *resultField(const QString &name, QWidget *parent, bool emphasised = false);
// A framed field that shows a total or a result, so an empty one is still visible.
QLabel *fieldLabel(const QString &name, QWidget *parent);
// A judgment field, wide enough for the longest message of its method.
QLabel *judgmentField(const QString &name, QWidget *parent);

// A result panel's grid of "caption  field" rows; the spare width stays to the right.
QGridLayout *resultGrid(QWidget *panel);
// One "caption  field" row of a result panel's grid.
QLabel *addResultRow(QGridLayout *grid, const QString &caption, QLabel *field);

// Rows of "caption  field" from `row` on, the caption right-aligned in column 0.
void addFieldRows(QGridLayout *layout, int row,
                  std::initializer_list<std::pair<QString, QLabel *>> fields);

// Adds a row of three critical-value fields, each under "t" with the level as subscript
// (`subscript` goes before the level, as "r " for the correlation test), from `row` on.
void addCriticalRows(QGridLayout *layout, int row, const QString &subscript,
                     const std::array<QLabel *, 3> &fields);

// `count` centred cells of the array `array`, `columns` to a row of `grid` from (`row`,
// `column`) on, each running `onEdited` after its change.
struct CellBlock {
    const char *array;
    int count;
    int columns;
    int row;
    int column;
    int maximumWidth;
};
QList<NumericCell *> addCells(QGridLayout *grid, QWidget *parent, const CellBlock &block,
                              CellRules rules, const std::function<void()> &onEdited);

// Moves a top-level window to the middle of the primary screen.
void centreOnScreen(QWidget *window);

} // namespace quarbel
