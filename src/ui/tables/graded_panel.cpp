#include "ui/tables/graded_panel.h"

#include "core/shell/methods.h"
#include "ui/common/details_box.h"
#include "ui/common/panel_parts.h"

#include <QGridLayout>
#include <QLabel>

#include <QVBoxLayout>

namespace quarbel {
namespace {

constexpr CellRules GradedCellRules{
    .fullStops = false, .trailingFilter = true, .caretToEnd = false};

// A result value, printed in red as the panel's results are.
QLabel *redField(const QString &name, QWidget *parent) {
    QLabel *field = fieldLabel(name, parent);
    setResultStyle(field);
    return field;
}

} // namespace

GradedResultPanel::GradedResultPanel(QWidget *parent) : Panel(parent) {
    setObjectName(controlName("Picture4", Graded));
    setFrameShape(QFrame::StyledPanel);
    auto *grid = new QGridLayout(this);
    const QString z = QStringLiteral("<i>z</i> =");
    const QString judgment = QStringLiteral("结果判断：");
    grid->addWidget(boldLabel(QStringLiteral("秩和检验"), this), 0, 0, 1, 2);
    grid->addWidget(boldLabel(QStringLiteral("Ridit分析"), this), 0, 2, 1, 2);
    m_rankSumZ = redField(controlName("Label20", 9), this);
    m_rankSumJudgment = redField(controlName("Label5", 44), this);
    m_riditZ = redField(controlName("Label20", 10), this);
    m_riditJudgment = redField(controlName("Label5", 43), this);
    grid->addWidget(new QLabel(z, this), 1, 0, Qt::AlignRight);
    grid->addWidget(m_rankSumZ, 1, 1);
    grid->addWidget(new QLabel(z, this), 1, 2, Qt::AlignRight);
    grid->addWidget(m_riditZ, 1, 3);
    grid->addWidget(new QLabel(judgment, this), 2, 0, Qt::AlignRight);
    grid->addWidget(m_rankSumJudgment, 2, 1);
    grid->addWidget(new QLabel(judgment, this), 2, 2, Qt::AlignRight);
    grid->addWidget(m_riditJudgment, 2, 3);
    m_details = new DetailsBox(gradedAnalysis({}).details, QStringLiteral("Note7"), this);
    grid->addWidget(m_details, 3, 0, 1, 4);
    grid->setRowStretch(4, 1);
}

void GradedResultPanel::display(const GradedResult &result) {
    m_rankSumZ->setText(result.rankSumZ);
    m_rankSumJudgment->setText(result.rankSumJudgment);
    m_riditZ->setText(result.riditZ);
    m_riditJudgment->setText(result.riditJudgment);
    m_details->write(result.details);
}

GradedPanel::GradedPanel(GradedResultPanel *results, QWidget *parent)
    : Panel(parent), m_results(results) {
    setObjectName(QStringLiteral("Picture9"));
    setFrameShape(QFrame::StyledPanel);
    auto *column = new QVBoxLayout(this);
    column->addWidget(boldLabel(QStringLiteral("等级资料秩和检验及Ridit分析"), this));
    auto *grid = new QGridLayout;
    column->addLayout(grid);

    grid->addWidget(tableLabel(QStringLiteral("组  别"), this), 0, 0);
    const std::array<QString, 4> grades{QStringLiteral("（+）"), QStringLiteral("（++）"),
                                        QStringLiteral("（+++）"), QStringLiteral("（++++）")};
    for (int j = 0; j < 4; ++j)
        grid->addWidget(tableLabel(grades[std::size_t(j)], this), 0, 1 + j);
    grid->addWidget(tableLabel(QStringLiteral("合计"), this), 0, 5);
    grid->addWidget(tableLabel(QStringLiteral("试验组"), this), 1, 0);
    grid->addWidget(tableLabel(QStringLiteral("对照组"), this), 2, 0);
    grid->addWidget(tableLabel(QStringLiteral("合  计"), this), 3, 0);

    m_cells =
        addCells(grid, this, {"Text12", 8, 4, 1, 1, 90}, GradedCellRules, [this] { recompute(); });
    m_testTotal = fieldLabel(controlName("Label18", 13), this);
    m_controlTotal = fieldLabel(controlName("Label18", 11), this);
    grid->addWidget(m_testTotal, 1, 5);
    grid->addWidget(m_controlTotal, 2, 5);
    for (int j = 0; j < 4; ++j) {
        m_gradeTotals[std::size_t(j)] = fieldLabel(controlName("Label18", 14 + j), this);
        grid->addWidget(m_gradeTotals[std::size_t(j)], 3, 1 + j);
    }
    m_grandTotal = fieldLabel(controlName("Label18", 18), this);
    grid->addWidget(m_grandTotal, 3, 5);

    for (const QString &note :
         {QStringLiteral(
              "注：等级资料如临床疗效分为无效、好转、显效；临床检验结果分为-、+、++、+++；"),
          QStringLiteral("疼痛等症状的严重程度分为无疼痛、轻度、中度、重度等。")}) {
        auto *line = new QLabel(note, this);
        line->setWordWrap(true);
        column->addWidget(line);
    }
    column->addStretch(1);
}

GradedTexts GradedPanel::cellTexts() const {
    GradedTexts texts;
    for (std::size_t k = 0; k < texts.size(); ++k)
        texts[k] = m_cells[qsizetype(k)]->text();
    return texts;
}

void GradedPanel::recompute() {
    GradedTexts texts;
    for (std::size_t k = 0; k < texts.size(); ++k)
        texts[k] = m_cells[qsizetype(k)]->text();
    const GradedResult result = gradedAnalysis(texts);
    m_testTotal->setText(result.testTotal);
    m_controlTotal->setText(result.controlTotal);
    for (std::size_t j = 0; j < 4; ++j)
        m_gradeTotals[j]->setText(result.gradeTotals[j]);
    m_grandTotal->setText(result.grandTotal);
    m_results->display(result);
}

// The totals are emptied first: emptying a cell that held text reruns the analysis, and what
// it writes stays.
void GradedPanel::clearInputs() {
    for (QLabel *total : {m_testTotal, m_controlTotal, m_grandTotal})
        total->clear();
    for (QLabel *total : m_gradeTotals)
        total->clear();
    for (NumericCell *cell : m_cells)
        cell->clear();
}

} // namespace quarbel
