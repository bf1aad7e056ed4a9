#pragma once

#include "core/exchange/workbook.h"

#include <QObject>
#include <QStringList>

#include <functional>

class QLabel;
class QWidget;

namespace quarbel {

class DataGrid;

// Asks for a file name and writes `columns` there, with the pointer and the messages of an
// export; the chosen name goes to `pathLabel` (may be null). Shared by the main window's
// export and the generator's save. The file's properties name the program and the time made,
// and whatever `properties` adds.
void saveColumnsAs(QWidget *owner, const QList<QStringList> &columns, QLabel *pathLabel,
                   const WorkbookProperties &properties = {});

// The import and export operations of the main window's active data grid.
class ExchangeActions : public QObject {
    Q_OBJECT
  public:
    // `window` owns the dialogs; `activeGrid` tells which of the two grids the method takes.
    ExchangeActions(QWidget *window, DataGrid *twoColumn, DataGrid *threeGroup,
                    std::function<DataGrid *()> activeGrid);

    void importData();
    void exportData();
    // The active grid holds what the last import read from a file the generator saved.
    bool holdsSimulatedData() const;
    // A method switch empties the grids, and with them what was imported.
    void forgetImport() { m_imported = nullptr; }

  private:
    QList<DataGrid *> grids() const;

    QWidget *m_window{nullptr};
    DataGrid *m_twoColumn{nullptr};
    DataGrid *m_threeGroup{nullptr};
    std::function<DataGrid *()> m_activeGrid;
    // The invisible path label: the last chosen spreadsheet file.
    QLabel *m_pathLabel{nullptr};
    // The grid the last import from a generated file filled, if any.
    DataGrid *m_imported{nullptr};
};

} // namespace quarbel
