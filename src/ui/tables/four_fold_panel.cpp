#include "ui/tables/four_fold_panel.h"

#include "ui/entry/numeric_cell.h"
#include "core/shell/methods.h"
#include "ui/tables/table_layout.h"

#include <QVBoxLayout>

namespace quarbel {
namespace {

constexpr CellRules FourFoldCellRules{
    .fullStops = false, .trailingFilter = true, .caretToEnd = true};

const QString Critical05Caption = QStringLiteral("χ²<sub>0.05</sub> =");
const QString Critical01Caption = QStringLiteral("χ²<sub>0.01</sub> =");

} // namespace

FourFoldResultPanel::FourFoldResultPanel(QWidget *parent) : QFrame(parent) {
    setObjectName(itemName("Picture4", FourFold));
    setFrameShape(QFrame::StyledPanel);
    auto *grid = resultGrid(this);
    const std::array<QString, 6> captions{
        QStringLiteral("a 的理论数(T)="), QStringLiteral("b 的理论数(T)="),
        QStringLiteral("c 的理论数(T)="), QStringLiteral("d 的理论数(T)="),
        QStringLiteral("例数(n)="),       QStringLiteral("χ² ="),
    };
    for (int i = 0; i < 6; ++i)
        m_fields[std::size_t(i)] = addResultRow(grid, captions[std::size_t(i)],
                                                fieldLabel(itemName("Label20", i + 1), this));
    addResultRow(grid, Critical05Caption, tableLabel(QStringLiteral("3.84"), this));
    addResultRow(grid, Critical01Caption, tableLabel(QStringLiteral("6.63"), this));
    m_judgment = judgmentField(itemName("Label5", 21), this);
    addResultRow(grid, QStringLiteral("结果判断："), m_judgment);
    grid->setRowStretch(grid->rowCount(), 1);
}

void FourFoldResultPanel::display(const FourFoldResult &result) {
    for (std::size_t i = 0; i < 4; ++i)
        m_fields[i]->setText(result.expected[i]);
    m_fields[4]->setText(result.n);
    m_fields[5]->setText(result.chiSquare);
    m_judgment->setText(result.judgment);
}

PairedFourFoldResultPanel::PairedFourFoldResultPanel(QWidget *parent) : QFrame(parent) {
    setObjectName(itemName("Picture4", PairedFourFold));
    setFrameShape(QFrame::StyledPanel);
    auto *grid = resultGrid(this);
    m_n = addResultRow(grid, QStringLiteral("例数(n)="), fieldLabel(itemName("Label20", 8), this));
    m_chiSquare =
        addResultRow(grid, QStringLiteral("χ² ="), fieldLabel(itemName("Label20", 7), this));
    addResultRow(grid, Critical05Caption, tableLabel(QStringLiteral("3.84"), this));
    addResultRow(grid, Critical01Caption, tableLabel(QStringLiteral("6.63"), this));
    m_judgment = addResultRow(grid, QStringLiteral("结果判断："),
                              judgmentField(itemName("Label5", 23), this));
    grid->setRowStretch(grid->rowCount(), 1);
}

void PairedFourFoldResultPanel::display(const PairedFourFoldResult &result) {
    m_n->setText(result.n);
    m_chiSquare->setText(result.chiSquare);
    m_judgment->setText(result.judgment);
}

FourFoldPanel::FourFoldPanel(const QLabel *heading, FourFoldResultPanel *results,
                             PairedFourFoldResultPanel *pairedResults, QWidget *parent)
    : QFrame(parent), m_heading(heading), m_results(results), m_pairedResults(pairedResults) {
    setObjectName(QStringLiteral("Picture8"));
    setFrameShape(QFrame::StyledPanel);
    auto *column = new QVBoxLayout(this);
    QLabel *title = tableLabel(methodCaptions()[FourFold], this, itemName("Label16", 0));
    QFont titleFont = title->font();
    titleFont.setBold(true);
    title->setFont(titleFont);
    column->addWidget(title);

    // The switch rewrites the four named header captions for each of the two methods.
    auto *grid = new QGridLayout;
    column->addLayout(grid);
    column->addStretch(1);
    grid->addWidget(tableLabel(QStringLiteral("组  别"), this, itemName("Label17", 0)), 0, 0, 2, 1);
    grid->addWidget(tableLabel(QStringLiteral("结     果"), this, itemName("Label17", 1)), 0, 1, 1,
                    2);
    grid->addWidget(tableLabel(QStringLiteral("合计"), this), 0, 3, 2, 1);
    grid->addWidget(tableLabel(QStringLiteral("（+）"), this), 1, 1);
    grid->addWidget(tableLabel(QStringLiteral("（-）"), this), 1, 2);
    grid->addWidget(tableLabel(QStringLiteral("试验组"), this, itemName("Label17", 3)), 2, 0);
    grid->addWidget(tableLabel(QStringLiteral("对照组"), this, itemName("Label17", 4)), 3, 0);
    grid->addWidget(tableLabel(QStringLiteral("合  计"), this), 4, 0);

    for (int i = 0; i < 4; ++i) {
        auto *cell = new NumericCell(itemName("Text11", i), FourFoldCellRules, this);
        cell->setAlignment(Qt::AlignCenter);
        connect(cell, &NumericCell::edited, this, &FourFoldPanel::recompute);
        grid->addWidget(cell, 2 + i / 2, 1 + i % 2);
        m_cells[std::size_t(i)] = cell;
    }
    for (int i = 0; i < 5; ++i)
        m_margins[std::size_t(i)] = fieldLabel(itemName("Label18", i), this);
    grid->addWidget(m_margins[0], 4, 1);
    grid->addWidget(m_margins[1], 4, 2);
    grid->addWidget(m_margins[2], 2, 3);
    grid->addWidget(m_margins[3], 3, 3);
    grid->addWidget(m_margins[4], 4, 3);
}

void FourFoldPanel::recompute() {
    FourFoldTexts texts;
    for (std::size_t i = 0; i < 4; ++i)
        texts[i] = m_cells[i]->text();
    const QString heading = m_heading->text();
    if (heading == methodCaptions()[FourFold]) {
        const FourFoldResult result = fourFoldChiSquare(texts);
        showMargins(result.margins);
        m_results->display(result);
    } else if (heading == methodCaptions()[PairedFourFold]) {
        const PairedFourFoldResult result = pairedFourFoldChiSquare(texts);
        showMargins(result.margins);
        m_pairedResults->display(result);
    } else {
        showMargins(fourFoldMargins(texts));
    }
}

void FourFoldPanel::showMargins(const FourFoldMargins &margins) {
    const std::array<const QString *, 5> texts{&margins.positive, &margins.negative, &margins.row1,
                                               &margins.row2, &margins.total};
    for (std::size_t i = 0; i < 5; ++i)
        m_margins[i]->setText(*texts[i]);
}

} // namespace quarbel
