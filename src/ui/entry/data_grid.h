#pragma once

#include "ui/common/panel_parts.h"

#include <QStringList>

#include <cstdint>
#include <vector>

class QLabel;
class QScrollBar;

namespace quarbel {

class ColumnList;

// A window of ten rows of cells scrolling over hidden column lists that hold every value.
// A cell change stores the cell's trimmed text in its list and announces the column with
// stored(); what to recompute is the owner's business. While the shared refresh flag is set
// (the grid copying list entries into its cells) cell changes neither store nor announce.
class DataGrid : public Panel {
    Q_OBJECT
  public:
    static constexpr int Rows = 10;
    // Entries each list holds after a reset.
    static constexpr qsizetype EmptyEntries = 15;

    struct Names {
        QString panel;         // object name of the grid itself
        QStringList cells;     // one cell array per column, item r is row r
        QString rowLabels;     // row-number label array
        QString scrollBar;     // the vertical scroll bar
        QStringList headers;   // "序号" then one header per column
        QString captions;      // the column headers' array name, item c heads column c
        bool growByEditedList; // growth counts the edited column's list, else the first list
        bool firstColumnUpOnRelease;
        bool topOnReset; // a reset also scrolls back to the first row
    };

    // The two-column grid over List1/List2 and the three-group grid over List3..List5. The
    // refresh flag belongs to the owner; both grids share it.
    static DataGrid *twoColumn(ColumnList *first, ColumnList *second, bool &refreshFlag,
                               QWidget *parent);
    static DataGrid *threeGroup(ColumnList *first, ColumnList *second, ColumnList *third,
                                bool &refreshFlag, QWidget *parent);

    DataGrid(const Names &names, std::vector<ColumnList *> lists, bool &refreshFlag,
             QWidget *parent);

    int columnCount() const { return int(m_lists.size()); }
    ColumnList *list(int column) const { return m_lists.at(std::size_t(column)); }
    NumericCell *cell(int column, int row) const;
    QScrollBar *scrollBar() const { return m_scrollBar; }
    // A method may head the columns with captions of its own; no captions restore the grid's.
    void setColumnCaptions(const QStringList &captions);

    // Copies entries p..p+9 of every list into the cells and renumbers the rows, with the
    // refresh flag set so the cells' change events do nothing.
    void refresh();

    // Empties the lists to their fresh length, the scroll range and the cells, and numbers the
    // rows from 1; emptying a cell that held text runs its handler as typing would.
    void clearInputs() override;
    // Lists back to their fresh length, shown from the current position.
    void clearLists();
    // Replaces every list by `columns` padded with empty entries to `rows`, shows the top and
    // writes the visible entries into the cells, which stores them; then announces every column
    // once. `ticks`, where given, holds each entry already parsed (ColumnList::ticksOf).
    void load(QList<QStringList> columns, QList<std::vector<std::int64_t>> ticks, qsizetype rows);

  Q_SIGNALS:
    // A cell of `column` (0-based) changed and its text is stored.
    void stored(int column);

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    void onEdited(int column, int row, const QString &text);
    void grow(int column);
    void moveDown(int column, int row);
    void moveUp(int column, int row);
    void focusCell(int column, int row);

    Names m_names;
    std::vector<ColumnList *> m_lists;
    bool *m_refresh{nullptr};
    std::vector<std::vector<NumericCell *>> m_cells;
    std::vector<QLabel *> m_rowLabels;
    std::vector<QLabel *> m_captions;
    QScrollBar *m_scrollBar{nullptr};
};

} // namespace quarbel
