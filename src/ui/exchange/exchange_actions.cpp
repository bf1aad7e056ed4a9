#include "ui/exchange/exchange_actions.h"

#include "core/entry/column_list.h"
#include "core/exchange/workbook.h"
#include "ui/common/pending_work.h"
#include "ui/common/seams.h"
#include "ui/entry/data_grid.h"
#include "ui/entry/numeric_cell.h"

#include <QFileInfo>
#include <QLabel>
#include <QScrollBar>

#include <algorithm>
#include <climits>

namespace quarbel {
namespace {

const QString Note = QStringLiteral("提示");
const QString XlsFilter = QStringLiteral("Microsoft Excel 工作簿(*.xls)");
const QString XlsxFilter = QStringLiteral("Excel 工作簿(*.xlsx)");
// The grid keeps this many empty entries after the last imported row.
constexpr qsizetype TrailingBlanks = 14;

// The folder of the last file chosen in this run, else the user's documents: the program's
// own folder is not writable once installed.
QString &lastFolder() {
    static QString folder;
    return folder;
}

QString startFolder() {
    return dialogStartFolder(lastFolder());
}

void remember(const QString &path, QLabel *pathLabel) {
    if (pathLabel)
        pathLabel->setText(path);
    lastFolder() = QFileInfo(path).absolutePath();
}

class Busy {
  public:
    Busy() { Seams::instance().setBusy(true); }
    ~Busy() { Seams::instance().setBusy(false); }
    Busy(const Busy &) = delete;
    Busy &operator=(const Busy &) = delete;
};

} // namespace

void saveColumnsAs(QWidget *owner, const QList<QStringList> &columns, QLabel *pathLabel,
                   const WorkbookProperties &properties) {
    Seams &seams = Seams::instance();
    QString filter = XlsFilter;
    const QString chosen =
        seams.saveFileName(owner, QStringLiteral("另存为"), startFolder(),
                           XlsFilter + QStringLiteral(";;") + XlsxFilter, &filter);
    if (chosen.isEmpty())
        return;
    remember(chosen, pathLabel);

    // A name that already ends in a workbook extension keeps it; otherwise the chosen type's
    // extension is added.
    QString path = chosen;
    std::optional<WorkbookFormat> format = workbookFormatOfName(path);
    if (!format) {
        format = filter == XlsxFilter ? WorkbookFormat::Xlsx : WorkbookFormat::Xls;
        path += *format == WorkbookFormat::Xlsx ? QStringLiteral(".xlsx") : QStringLiteral(".xls");
    }
    if (*format == WorkbookFormat::Xls && workbookRowCount(columns) > XlsMaxRows) {
        seams.message(owner, Note,
                      QStringLiteral("数据超过 65536 行，.xls 文件容纳不下，未导出。"
                                     "请选择“Excel 工作簿(*.xlsx)”类型保存。"));
        return;
    }
    if (QFileInfo::exists(path) && !seams.confirmOverwrite(owner, path))
        return;

    QString error;
    {
        Busy busy;
        WorkbookProperties made = programProperties();
        made.title = properties.title;
        made.comments = properties.comments;
        error = writeWorkbook(path, columns, *format, made);
    }
    seams.message(owner, Note,
                  error.isEmpty() ? QStringLiteral("文件导出成功！")
                                  : QStringLiteral("文件导出失败！"));
}

ExchangeActions::ExchangeActions(QWidget *window, DataGrid *twoColumn, DataGrid *threeGroup,
                                 std::function<DataGrid *()> activeGrid)
    : QObject(window), m_window(window), m_twoColumn(twoColumn), m_threeGroup(threeGroup),
      m_activeGrid(std::move(activeGrid)) {
    m_pathLabel = new QLabel(window);
    m_pathLabel->setObjectName(QStringLiteral("Label14"));
    m_pathLabel->hide();
}

// The active grid first.
QList<DataGrid *> ExchangeActions::grids() const {
    if (m_activeGrid() == m_threeGroup)
        return {m_threeGroup, m_twoColumn};
    return {m_twoColumn, m_threeGroup};
}

void ExchangeActions::exportData() {
    PendingWork::flushAll();
    const DataGrid *grid = grids().first();
    QList<QStringList> columns;
    for (int c = 0; c < grid->columnCount(); ++c)
        columns.append(grid->list(c)->texts());
    saveColumnsAs(m_window, columns, m_pathLabel);
}

void ExchangeActions::importData() {
    Seams &seams = Seams::instance();
    const QString path = seams.openFileName(m_window, QStringLiteral("打开"), startFolder(),
                                            QStringLiteral("Microsoft Excel 工作簿(*.xls *.xlsx)"));
    if (path.isEmpty())
        return;
    remember(path, m_pathLabel);
    if (!workbookFormatOfName(path)) {
        seams.message(m_window, Note, QStringLiteral("请打开Excel文件！"));
        return;
    }

    const QList<DataGrid *> both = grids();
    DataGrid *grid = both.first();
    SheetColumns sheet;
    {
        Busy busy;
        sheet = readWorkbook(path, grid->columnCount());
    }
    // Nothing was replaced yet, so a file that cannot be read loses nothing.
    if (!sheet.error.isEmpty()) {
        seams.message(m_window, Note, QStringLiteral("文件读取失败，数据未改变。"));
        return;
    }

    Busy busy;
    // The other grid's lists are cleared as well, to the state a method switch leaves.
    both.last()->clearLists();
    grid->load(std::move(sheet.columns), std::move(sheet.ticks), sheet.usedRows + TrailingBlanks);
    m_imported = workbookTitle(path) == SimulatedDataTitle ? grid : nullptr;
}

bool ExchangeActions::holdsSimulatedData() const {
    return m_imported && m_imported == grids().first();
}

} // namespace quarbel
