#pragma once

#include <QObject>
#include <QStringList>

class QLabel;
class QWidget;

namespace quarbel {

class DataGrid;
class MainWindow;

// Asks for a file name and writes `columns` there, with the pointer and the messages of an
// export; the chosen name goes to `pathLabel` (may be null). Shared by the main window's
// export and the generator's save.
void saveColumnsAs(QWidget *owner, const QList<QStringList> &columns, QLabel *pathLabel);

// The import and export operations of the main window's active data grid.
class ExchangeActions : public QObject {
    Q_OBJECT
  public:
    explicit ExchangeActions(MainWindow *window);

    void importData();
    void exportData();

  private:
    QList<DataGrid *> grids() const;

    MainWindow *m_window{nullptr};
    // The invisible path label: the last chosen spreadsheet file.
    QLabel *m_pathLabel{nullptr};
};

} // namespace quarbel
