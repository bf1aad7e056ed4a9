#include "ui/diagnostic/diagnostic_panel.h"

#include "core/shell/methods.h"
#include "ui/common/details_box.h"
#include "ui/common/plot_view.h"
#include "ui/diagnostic/diagnostic_picture.h"
#include "ui/tables/four_fold_panel.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>

namespace quarbel {
namespace {

constexpr CellRules boxRules{.fullStops = true, .trailingFilter = true, .caretToEnd = true};

} // namespace

DiagnosticPanel::DiagnosticPanel(FourFoldPanel *table, QWidget *parent)
    : Panel(parent), m_table(table) {
    setObjectName(QStringLiteral("Picture4_9"));
    auto *layout = new QGridLayout(this);
    auto *prevalence = new QHBoxLayout;
    prevalence->addWidget(new QLabel(tr("预期实际患病率（%）："), this));
    m_prevalence = new NumericCell(QStringLiteral("DiagPrevInput"), boxRules, this);
    m_prevalence->setFixedWidth(80);
    prevalence->addWidget(m_prevalence);
    prevalence->addWidget(new QLabel(tr("（求该患病率下的预测值）"), this));
    prevalence->addStretch(1);
    layout->addLayout(prevalence, 0, 0);
    // Each row an estimate with its two bounds.
    m_details = new DetailsBox(diagnosticLayout(), QStringLiteral("Note9"), this, 3);
    m_details->setTitle(tr("诊断试验评价指标"));
    layout->addWidget(m_details, 1, 0);
    layout->setRowStretch(2, 1);
    m_picture = attachPicture(this, QStringLiteral("Plot9"));
    m_picture->setDrawer([this](PlotView &view) { drawDiagnostic(view, m_result.counts); });

    connect(m_prevalence, &NumericCell::edited, this, &DiagnosticPanel::recompute);
    connect(table, &FourFoldPanel::cellsEdited, this, &DiagnosticPanel::recompute);
}

void DiagnosticPanel::recompute() {
    m_result = evaluateDiagnostic(m_table->cellTexts(), m_prevalence->text());
    m_details->write(m_result.details);
    m_picture->schedule();
}

void DiagnosticPanel::clearInputs() {
    m_prevalence->clear();
}

void DiagnosticPanel::clearResults() {
    m_result = {};
    m_details->clear();
    m_picture->schedule();
}

ReportContent DiagnosticPanel::report() const {
    return diagnosticReport(m_result);
}

MethodEntry diagnosticMethod(FourFoldPanel *table, QWidget *owner) {
    auto *panel = new DiagnosticPanel(table, owner);
    MethodEntry entry;
    entry.method = Diagnostic;
    entry.input = table;
    entry.result = panel;
    entry.firstCell = QStringLiteral("Text11_0");
    entry.activate = [table] {
        auto tr = [](const char *text) {
            return QCoreApplication::translate("DiagnosticPanel", text);
        };
        table->setCaptions({.title = methodCaption(Diagnostic),
                            .corner = tr("试验结果"),
                            .columns = tr("金标准"),
                            .positive = tr("患病"),
                            .negative = tr("未患病"),
                            .row1 = tr("试验阳性"),
                            .row2 = tr("试验阴性")});
    };
    entry.clearInputs = [panel] { panel->clearInputs(); };
    entry.report = [panel] { return panel->report(); };
    return entry;
}

} // namespace quarbel
