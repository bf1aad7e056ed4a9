#include "ui/tables/rxc_panel.h"

#include "core/shell/methods.h"
#include "ui/common/details_box.h"
#include "ui/common/panel_parts.h"

#include <QGridLayout>
#include <QLabel>

#include <QVBoxLayout>

namespace quarbel {
namespace {

constexpr CellRules RxCCellRules{.fullStops = false, .trailingFilter = true, .caretToEnd = true};
constexpr std::array<int, 3> RowTotalItems{9, 10, 12};

} // namespace

RxCResultPanel::RxCResultPanel(QWidget *parent) : Panel(parent) {
    setObjectName(controlName("Picture4", RxC));
    setFrameShape(QFrame::StyledPanel);
    auto *grid = resultGrid(this);
    m_n = addResultRow(grid, QStringLiteral("例数(n)="),
                       fieldLabel(controlName("Label20", 12), this));
    m_chiSquare =
        addResultRow(grid, QStringLiteral("χ² ="), fieldLabel(controlName("Label20", 13), this));
    m_critical05 = addResultRow(grid, QStringLiteral("χ²<sub>0.05</sub> ="),
                                fieldLabel(controlName("Label5", 37), this));
    m_critical01 = addResultRow(grid, QStringLiteral("χ²<sub>0.01</sub> ="),
                                fieldLabel(controlName("Label5", 36), this));
    m_critical05->setText(QStringLiteral("5.99"));
    m_critical01->setText(QStringLiteral("9.21"));
    m_judgment = addResultRow(grid, QStringLiteral("结果判断："),
                              judgmentField(controlName("Label5", 35), this));
    m_warning = new QLabel(RxCWarning, this);
    m_warning->setObjectName(QStringLiteral("Label22"));
    m_warning->setWordWrap(true);
    setResultStyle(m_warning);
    m_warning->hide();
    grid->addWidget(m_warning, grid->rowCount(), 0, 1, 3);
    m_details = new DetailsBox(rxcChiSquare({}).details, QStringLiteral("Note5"), this);
    grid->addWidget(m_details, grid->rowCount(), 0, 1, 3);
    grid->setRowStretch(grid->rowCount(), 1);
}

// The critical values and the judgment are left to the test, which rewrites them when a cell
// that held text is emptied.
void RxCResultPanel::clearResults() {
    m_warning->hide();
}

void RxCResultPanel::display(const RxCResult &result) {
    m_warning->setVisible(result.warning);
    m_critical05->setText(result.critical05);
    m_critical01->setText(result.critical01);
    m_n->setText(result.n);
    m_chiSquare->setText(result.chiSquare);
    m_judgment->setText(result.judgment);
    m_details->write(result.details);
}

RxCPanel::RxCPanel(RxCResultPanel *results, QWidget *parent) : Panel(parent), m_results(results) {
    setObjectName(QStringLiteral("Picture7"));
    setFrameShape(QFrame::StyledPanel);
    auto *column = new QVBoxLayout(this);
    column->addWidget(boldLabel(QStringLiteral("多个样本率（R×C）卡方检验"), this));
    auto *grid = new QGridLayout;
    column->addLayout(grid);
    column->addStretch(1);

    grid->addWidget(tableLabel(QStringLiteral("组  别"), this), 0, 0);
    for (int c = 0; c < 4; ++c)
        grid->addWidget(tableLabel(QStringLiteral("C%1").arg(c + 1), this), 0, 1 + c);
    grid->addWidget(tableLabel(QStringLiteral("合  计"), this), 0, 5);
    for (int r = 0; r < 3; ++r)
        grid->addWidget(tableLabel(QStringLiteral("R%1").arg(r + 1), this), 1 + r, 0);
    grid->addWidget(tableLabel(QStringLiteral("合  计"), this), 4, 0);

    m_cells =
        addCells(grid, this, {"Text111", 12, 4, 1, 1, 90}, RxCCellRules, [this] { recompute(); });
    for (int c = 0; c < 4; ++c) {
        m_columnTotals[std::size_t(c)] = fieldLabel(controlName("Label18", 5 + c), this);
        grid->addWidget(m_columnTotals[std::size_t(c)], 4, 1 + c);
    }
    for (int r = 0; r < 3; ++r) {
        m_rowTotals[std::size_t(r)] =
            fieldLabel(controlName("Label18", RowTotalItems[std::size_t(r)]), this);
        grid->addWidget(m_rowTotals[std::size_t(r)], 1 + r, 5);
    }
    m_grandTotal = fieldLabel(controlName("Label18", 20), this);
    grid->addWidget(m_grandTotal, 4, 5);

    // The theoretical counts are kept as never-shown labels, outside the layout.
    for (int k = 0; k < 12; ++k) {
        m_expected[std::size_t(k)] = new QLabel(this);
        m_expected[std::size_t(k)]->setObjectName(controlName("Label21", k));
        m_expected[std::size_t(k)]->hide();
    }
}

RxCTexts RxCPanel::cellTexts() const {
    RxCTexts texts;
    for (std::size_t k = 0; k < texts.size(); ++k)
        texts[k] = m_cells[qsizetype(k)]->text();
    return texts;
}

void RxCPanel::recompute() {
    RxCTexts texts;
    for (std::size_t k = 0; k < texts.size(); ++k)
        texts[k] = m_cells[qsizetype(k)]->text();
    const RxCResult result = rxcChiSquare(texts);
    for (std::size_t c = 0; c < 4; ++c)
        m_columnTotals[c]->setText(result.columnTotals[c]);
    for (std::size_t r = 0; r < 3; ++r)
        m_rowTotals[r]->setText(result.rowTotals[r]);
    m_grandTotal->setText(result.grandTotal);
    if (result.expected)
        for (std::size_t k = 0; k < 12; ++k)
            m_expected[k]->setText((*result.expected)[k]);
    m_results->display(result);
}

// The totals are emptied first: emptying a cell that held text reruns the test, and what it
// writes stays.
void RxCPanel::clearInputs() {
    for (QLabel *total : m_columnTotals)
        total->clear();
    for (QLabel *total : m_rowTotals)
        total->clear();
    m_grandTotal->clear();
    for (NumericCell *cell : m_cells)
        cell->clear();
}

} // namespace quarbel
