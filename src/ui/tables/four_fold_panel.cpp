#include "ui/tables/four_fold_panel.h"

#include "core/tables/kappa.h"
#include "ui/common/details_box.h"
#include "ui/common/panel_parts.h"

#include <QGridLayout>
#include <QLabel>

#include <QVBoxLayout>

namespace quarbel {
namespace {

constexpr CellRules FourFoldCellRules{
    .fullStops = false, .trailingFilter = true, .caretToEnd = true};

const QString Critical05Caption = QStringLiteral("χ²<sub>0.05</sub> =");
const QString Critical01Caption = QStringLiteral("χ²<sub>0.01</sub> =");

// The details box spans the result grid under its last row; each detail row holds an
// estimate and its two bounds.
DetailsBox *addDetailsBox(QGridLayout *grid, const Details &layout, const QString &noteName,
                          QWidget *panel) {
    auto *box = new DetailsBox(layout, noteName, panel, 3);
    grid->addWidget(box, grid->rowCount(), 0, 1, 3);
    return box;
}

// The paired table's details with Cohen's κ after McNemar's items. κ's note follows theirs once
// the table holds counts, so an empty table says nothing more than it did.
Details withKappa(Details details, const FourFoldTexts &cells, bool counted) {
    const Details kappa = pairedKappa(cells);
    details.items += kappa.items;
    if (counted && !kappa.note.isEmpty())
        details.note += kappa.note;
    return details;
}

} // namespace

FourFoldResultPanel::FourFoldResultPanel(QWidget *parent) : Panel(parent) {
    setObjectName(controlName("Picture4", FourFold));
    setFrameShape(QFrame::StyledPanel);
    auto *grid = resultGrid(this);
    const std::array<QString, 6> captions{
        QStringLiteral("a 的理论数(T)="), QStringLiteral("b 的理论数(T)="),
        QStringLiteral("c 的理论数(T)="), QStringLiteral("d 的理论数(T)="),
        QStringLiteral("例数(n)="),       QStringLiteral("χ² ="),
    };
    for (int i = 0; i < 6; ++i)
        m_fields[std::size_t(i)] = addResultRow(grid, captions[std::size_t(i)],
                                                fieldLabel(controlName("Label20", i + 1), this));
    addResultRow(grid, Critical05Caption, tableLabel(QStringLiteral("3.84"), this));
    addResultRow(grid, Critical01Caption, tableLabel(QStringLiteral("6.63"), this));
    m_judgment = judgmentField(controlName("Label5", 21), this);
    addResultRow(grid, QStringLiteral("结果判断："), m_judgment);
    m_details = addDetailsBox(grid, fourFoldChiSquare({}).details, QStringLiteral("Note3"), this);
    grid->setRowStretch(grid->rowCount(), 1);
}

void FourFoldResultPanel::clearResults() {
    for (QLabel *field : m_fields)
        field->clear();
    m_judgment->clear();
    m_details->clear();
}

void FourFoldResultPanel::display(const FourFoldResult &result) {
    for (std::size_t i = 0; i < 4; ++i)
        m_fields[i]->setText(result.expected[i]);
    m_fields[4]->setText(result.n);
    m_fields[5]->setText(result.chiSquare);
    m_judgment->setText(result.judgment);
    m_details->write(result.details);
}

PairedFourFoldResultPanel::PairedFourFoldResultPanel(QWidget *parent) : Panel(parent) {
    setObjectName(controlName("Picture4", PairedFourFold));
    setFrameShape(QFrame::StyledPanel);
    auto *grid = resultGrid(this);
    m_n =
        addResultRow(grid, QStringLiteral("例数(n)="), fieldLabel(controlName("Label20", 8), this));
    m_chiSquare =
        addResultRow(grid, QStringLiteral("χ² ="), fieldLabel(controlName("Label20", 7), this));
    addResultRow(grid, Critical05Caption, tableLabel(QStringLiteral("3.84"), this));
    addResultRow(grid, Critical01Caption, tableLabel(QStringLiteral("6.63"), this));
    m_judgment = addResultRow(grid, QStringLiteral("结果判断："),
                              judgmentField(controlName("Label5", 23), this));
    m_details = addDetailsBox(grid, withKappa(pairedFourFoldChiSquare({}).details, {}, false),
                              QStringLiteral("Note4"), this);
    grid->setRowStretch(grid->rowCount(), 1);
}

void PairedFourFoldResultPanel::clearResults() {
    m_n->clear();
    m_chiSquare->clear();
    m_judgment->clear();
    m_details->clear();
}

void PairedFourFoldResultPanel::display(const PairedFourFoldResult &result) {
    m_n->setText(result.n);
    m_chiSquare->setText(result.chiSquare);
    m_judgment->setText(result.judgment);
    m_details->write(result.details);
}

FourFoldPanel::FourFoldPanel(FourFoldResultPanel *results, PairedFourFoldResultPanel *pairedResults,
                             QWidget *parent)
    : Panel(parent), m_results(results), m_pairedResults(pairedResults) {
    setObjectName(QStringLiteral("Picture8"));
    setFrameShape(QFrame::StyledPanel);
    auto *column = new QVBoxLayout(this);
    m_title = boldLabel(methodCaptions()[FourFold], this, controlName("Label16", 0));
    column->addWidget(m_title);

    // The switch rewrites the four named header captions for each of the two methods.
    auto *grid = new QGridLayout;
    column->addLayout(grid);
    column->addStretch(1);
    for (int i : {0, 1, 3, 4})
        m_headers[std::size_t(i)] = tableLabel(QString(), this, controlName("Label17", i));
    grid->addWidget(m_headers[0], 0, 0, 2, 1);
    grid->addWidget(m_headers[1], 0, 1, 1, 2);
    grid->addWidget(tableLabel(QStringLiteral("合计"), this), 0, 3, 2, 1);
    m_columns = {tableLabel(QStringLiteral("（+）"), this),
                 tableLabel(QStringLiteral("（-）"), this)};
    grid->addWidget(m_columns[0], 1, 1);
    grid->addWidget(m_columns[1], 1, 2);
    grid->addWidget(m_headers[3], 2, 0);
    grid->addWidget(m_headers[4], 3, 0);
    writeHeaders(FourFold);
    grid->addWidget(tableLabel(QStringLiteral("合  计"), this), 4, 0);

    m_cells =
        addCells(grid, this, {"Text11", 4, 2, 2, 1, 0}, FourFoldCellRules, [this] { recompute(); });
    for (int i = 0; i < 5; ++i)
        m_margins[std::size_t(i)] = fieldLabel(controlName("Label18", i), this);
    grid->addWidget(m_margins[0], 4, 1);
    grid->addWidget(m_margins[1], 4, 2);
    grid->addWidget(m_margins[2], 2, 3);
    grid->addWidget(m_margins[3], 3, 3);
    grid->addWidget(m_margins[4], 4, 3);
}

FourFoldTexts FourFoldPanel::cellTexts() const {
    FourFoldTexts texts;
    for (std::size_t k = 0; k < texts.size(); ++k)
        texts[k] = m_cells[qsizetype(k)]->text();
    return texts;
}

void FourFoldPanel::recompute() {
    FourFoldTexts texts;
    for (std::size_t i = 0; i < 4; ++i)
        texts[i] = m_cells[qsizetype(i)]->text();
    if (m_method == FourFold) {
        const FourFoldResult result = fourFoldChiSquare(texts);
        showMargins(result.margins);
        m_results->display(result);
    } else if (m_method == PairedFourFold) {
        PairedFourFoldResult result = pairedFourFoldChiSquare(texts);
        result.details = withKappa(result.details, texts, !result.n.isEmpty());
        showMargins(result.margins);
        m_pairedResults->display(result);
    } else {
        showMargins(fourFoldMargins(texts));
    }
    Q_EMIT cellsEdited();
}

void FourFoldPanel::setMethod(Method method) {
    m_method = method;
    if (method == FourFold || method == PairedFourFold)
        writeHeaders(method);
}

void FourFoldPanel::writeHeaders(Method method) {
    const bool paired = method == PairedFourFold;
    setCaptions({
        .title = methodCaptions().at(std::size_t(method)),
        .corner = paired ? QStringLiteral("治疗后") : QStringLiteral("组  别"),
        .columns = paired ? QStringLiteral("  治疗前  ") : QStringLiteral("结     果"),
        .positive = QStringLiteral("（+）"),
        .negative = QStringLiteral("（-）"),
        .row1 = paired ? QStringLiteral("（+）") : QStringLiteral("试验组"),
        .row2 = paired ? QStringLiteral("（-）") : QStringLiteral("对照组"),
    });
}

void FourFoldPanel::setCaptions(const FourFoldCaptions &captions) {
    m_title->setText(captions.title);
    m_headers[0]->setText(captions.corner);
    m_headers[1]->setText(captions.columns);
    m_columns[0]->setText(captions.positive);
    m_columns[1]->setText(captions.negative);
    m_headers[3]->setText(captions.row1);
    m_headers[4]->setText(captions.row2);
}

// The margins are emptied after the cells, so what the cells' handlers wrote goes too.
void FourFoldPanel::clearInputs() {
    for (NumericCell *cell : m_cells)
        cell->clear();
    for (QLabel *margin : m_margins)
        margin->clear();
}

void FourFoldPanel::showMargins(const FourFoldMargins &margins) {
    const std::array<const QString *, 5> texts{&margins.positive, &margins.negative, &margins.row1,
                                               &margins.row2, &margins.total};
    for (std::size_t i = 0; i < 5; ++i)
        m_margins[i]->setText(*texts[i]);
}

} // namespace quarbel
