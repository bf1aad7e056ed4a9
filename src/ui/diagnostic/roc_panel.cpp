#include "ui/diagnostic/roc_panel.h"

#include "core/entry/column_list.h"
#include "core/shell/methods.h"
#include "ui/common/details_box.h"
#include "ui/common/pending_work.h"
#include "ui/common/plot_view.h"
#include "ui/common/table_window.h"
#include "ui/diagnostic/diagnostic_picture.h"
#include "ui/entry/data_grid.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>

namespace quarbel {

RocPanel::RocPanel(DataGrid *grid, QWidget *parent) : Panel(parent), m_grid(grid) {
    setObjectName(QStringLiteral("Picture4_10"));
    m_work = new PendingWork([this] { run(); }, this);
    auto *layout = new QGridLayout(this);
    auto *top = new QHBoxLayout;
    m_lowerPositive = new QCheckBox(tr("检测值越低越可能患病"), this);
    m_lowerPositive->setObjectName(QStringLiteral("RocLowerPositive"));
    top->addWidget(m_lowerPositive);
    auto *open = new QPushButton(tr("坐标表…"), this);
    open->setObjectName(QStringLiteral("RocTableButton"));
    top->addWidget(open);
    top->addStretch(1);
    layout->addLayout(top, 0, 0);
    m_details = new DetailsBox(rocLayout(), QStringLiteral("Note10"), this);
    m_details->setTitle(tr("ROC曲线分析结果"));
    layout->addWidget(m_details, 1, 0);
    layout->setRowStretch(2, 1);
    m_picture = attachPicture(this, QStringLiteral("Plot10"));
    // The picture draws the last result: a run put off until the typing pauses redraws it.
    m_picture->setDrawer(
        [this](PlotView &view) { drawRoc(view, m_result ? rocCurve(*m_result) : RocCurve{}); });
    m_table =
        new TableWindow(QStringLiteral("RocTable"), tr("ROC坐标表"), rocCoordinateHeader(), this);
    connect(open, &QPushButton::clicked, this, [this] {
        m_work->flush();
        m_table->show();
        m_table->raise();
    });
    connect(m_lowerPositive, &QCheckBox::toggled, this, &RocPanel::recompute);
}

void RocPanel::recompute() {
    m_work->request(m_grid->list(0)->count());
}

void RocPanel::run() {
    auto ticks = [this](int c) { return m_grid->list(c)->ticks(); };
    auto texts = [this](int c) {
        const QStringList &list = m_grid->list(c)->texts();
        return std::span<const QString>(list.constData(), std::size_t(list.size()));
    };
    display(std::make_shared<const RocResult>(
        analyseRoc({ticks(0), ticks(1), texts(0), texts(1)}, m_lowerPositive->isChecked())));
}

void RocPanel::display(std::shared_ptr<const RocResult> result) {
    m_result = std::move(result);
    if (m_result) {
        m_details->write(m_result->details);
        m_table->setRows(
            qsizetype(m_result->coordinates.size()), [result = m_result](qsizetype row) {
                return rocCoordinateTexts(*result, result->coordinates[std::size_t(row)]);
            });
    } else {
        m_details->clear();
        m_table->setRows(0, {});
    }
    m_picture->schedule();
}

// The switch unchecks the direction without recomputing: every result is emptied anyway.
void RocPanel::clearResults() {
    {
        const QSignalBlocker quiet(m_lowerPositive);
        m_lowerPositive->setChecked(false);
    }
    m_work->cancel();
    display(nullptr);
}

ReportContent RocPanel::report() const {
    m_work->flush();
    return m_result ? rocReport(*m_result) : ReportContent{};
}

MethodEntry rocMethod(DataGrid *twoColumn, QWidget *owner) {
    auto *panel = new RocPanel(twoColumn, owner);
    MethodEntry entry;
    entry.method = Roc;
    entry.input = twoColumn;
    entry.result = panel;
    entry.grid = twoColumn;
    entry.columnCaptions = {QCoreApplication::translate("RocPanel", "检测值"),
                            QCoreApplication::translate("RocPanel", "金标准(1/0)")};
    entry.firstCell = QStringLiteral("Text1_0");
    entry.stored = [panel](int) { panel->recompute(); };
    entry.report = [panel] { return panel->report(); };
    return entry;
}

} // namespace quarbel
