#include "ui/means/anova_panel.h"

#include "core/entry/f_q_tables.h"
#include "core/means/pairwise.h"
#include "ui/common/details_box.h"
#include "ui/common/panel_parts.h"
#include "ui/common/result_label.h"
#include "ui/rank/rank_box.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace quarbel {
namespace {

constexpr CellRules boxRules{.fullStops = true, .trailingFilter = false, .caretToEnd = false};

QListWidget *hiddenList(const QString &name, const QStringList &items, QWidget *parent) {
    auto *list = new QListWidget(parent);
    list->setObjectName(name);
    list->addItems(items);
    list->hide();
    return list;
}

} // namespace

AnovaPanel::AnovaPanel(std::vector<const ColumnList *> lists, QWidget *parent) : Panel(parent) {
    setObjectName(QStringLiteral("Picture4_2"));
    setFrameShape(QFrame::StyledPanel);
    new QVBoxLayout(this);
    buildBoxes();
    buildResults(std::move(lists));
}

void AnovaPanel::buildBoxes() {
    static const std::array<QString, 9> captions{
        QStringLiteral("均  数  X1="), QStringLiteral("标准差  S1="), QStringLiteral("例  数  N1="),
        QStringLiteral("X2="),         QStringLiteral("S2="),         QStringLiteral("N2="),
        QStringLiteral("X3="),         QStringLiteral("S3="),         QStringLiteral("N3="),
    };
    auto *grid = new QGridLayout;
    for (int k = 0; k < 9; ++k) {
        const int group = k / 3, row = k % 3;
        auto *caption = new QLabel(captions[std::size_t(k)], this);
        caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        auto *box = new NumericCell(controlName("Text41", k), boxRules, this);
        box->setMaximumWidth(110);
        connect(box, &NumericCell::edited, this, &AnovaPanel::runFTest);
        grid->addWidget(caption, row, 2 * group);
        grid->addWidget(box, row, 2 * group + 1);
        m_boxes[std::size_t(k)] = box;
    }
    grid->setColumnStretch(6, 1); // keeps the groups together when the panel is wide
    qobject_cast<QVBoxLayout *>(layout())->addLayout(grid);
}

void AnovaPanel::buildResults(std::vector<const ColumnList *> lists) {
    auto *column = qobject_cast<QVBoxLayout *>(layout());
    auto label = [this](const QString &name, const QString &text = QString()) {
        auto *l = new QLabel(text, this);
        if (!name.isEmpty())
            l->setObjectName(name);
        return l;
    };
    auto result = [this](const QString &name) {
        auto *l = new ResultLabel(this);
        l->setObjectName(name);
        return l;
    };

    auto *judgment = new QHBoxLayout;
    judgment->addWidget(label(QString(), QStringLiteral("结果判断：")));
    m_fResult = result(controlName("Label5", 26));
    judgment->addWidget(m_fResult, 1);
    column->addLayout(judgment);

    // Critical values written as F with the level set below it, then "=" and the value.
    auto *critical = new QHBoxLayout;
    m_f05 = result(controlName("Label5", 29));
    m_f01 = result(controlName("Label5", 28));
    for (auto [level, value] : {std::pair{"0.05", m_f05}, std::pair{"0.01", m_f01}}) {
        critical->addWidget(label(QString(), QStringLiteral("F")));
        QLabel *sub = label(QString(), QLatin1String(level));
        QFont small = sub->font();
        small.setPointSizeF(small.pointSizeF() * 0.75);
        sub->setFont(small);
        sub->setAlignment(Qt::AlignBottom);
        critical->addWidget(sub);
        critical->addWidget(label(QString(), QStringLiteral("=")));
        value->setMinimumWidth(60);
        critical->addWidget(value);
    }
    critical->addStretch(1);
    column->addLayout(critical);

    auto *buttons = new QHBoxLayout;
    auto *q = new QPushButton(QStringLiteral("两两比较q检验"), this);
    q->setObjectName(QStringLiteral("Command15"));
    auto *lsd = new QPushButton(QStringLiteral("两两比较LSD-t检验"), this);
    lsd->setObjectName(QStringLiteral("Command16"));
    connect(q, &QPushButton::clicked, this, &AnovaPanel::runQTest);
    connect(lsd, &QPushButton::clicked, this, &AnovaPanel::runLsdTest);
    buttons->addWidget(q);
    buttons->addWidget(lsd);
    buttons->addStretch(1);
    column->addLayout(buttons);

    for (int i = 0; i < 3; ++i) {
        m_lines[std::size_t(i)] = result(QStringLiteral("Label%1").arg(10 + i));
        column->addWidget(m_lines[std::size_t(i)]);
    }
    // Laid out from a run on empty boxes: the computation alone names the items. Four to a row
    // puts each pair's difference, interval and P on one line.
    m_details = new DetailsBox(runAnova(AnovaBoxes{}).details, QStringLiteral("Note2"), this, 4);
    m_rank = new RankBox(Anova, std::move(lists), this);
    // Its fields already fill a 768-pixel screen: the rank tab scrolls rather than grow.
    column->addWidget(
        detailsWithRankTab(m_details, m_rank, QStringLiteral("RankTabs2"), this, true));
    column->addStretch(1);

    hiddenList(QStringLiteral("List6"), fTableItems(), this);
    hiddenList(QStringLiteral("List7"), qTableItems(), this);
    m_meanOrder = hiddenList(QStringLiteral("List8"), {}, this);
}

void AnovaPanel::showGroup(int group, const GroupSummary &summary) {
    if (group < 1 || group > 3)
        return;
    const std::size_t first = std::size_t(3 * (group - 1));
    // Each write reruns the test; only the state after the last is ever seen, so the details
    // are worked out once, after the three.
    m_writingGroup = true;
    m_boxes[first]->setText(summary.mean);
    m_boxes[first + 1]->setText(summary.sd);
    m_boxes[first + 2]->setText(summary.n);
    m_writingGroup = false;
    m_details->write(runAnova(boxes()).details);
}

AnovaBoxes AnovaPanel::boxes() const {
    AnovaBoxes texts;
    for (std::size_t k = 0; k < texts.size(); ++k)
        texts[k] = m_boxes[k]->text();
    return texts;
}

void AnovaPanel::runFTest() {
    const AnovaResult r = runAnova(boxes(), !m_writingGroup);
    if (r.terms)
        m_terms = r.terms;
    if (r.critical) {
        m_f05->setText(r.critical->f05);
        m_f01->setText(r.critical->f01);
    }
    m_fResult->setText(r.fResult);
    if (!m_writingGroup)
        m_details->write(r.details);
    if (r.fResult.isEmpty())
        showLines({});
    else
        runQTest();
}

void AnovaPanel::runQTest() {
    const QTestResult r = quarbel::runQTest(boxes(), m_terms);
    if (r.meanOrder) {
        m_meanOrder->clear();
        m_meanOrder->addItems(*r.meanOrder);
    }
    showLines(r.lines);
}

void AnovaPanel::runLsdTest() {
    showLines(quarbel::runLsdTest(boxes(), m_terms).lines);
}

void AnovaPanel::showLines(const std::array<QString, 3> &lines) {
    for (std::size_t i = 0; i < lines.size(); ++i)
        m_lines[i]->setText(lines[i]);
}

// The F result and the comparison lines are left to the test, which empties them when a box
// that held text is emptied.
void AnovaPanel::clearInputs() {
    for (NumericCell *box : m_boxes)
        box->clear();
}

// The boxes' results follow the boxes; the rank values follow the grid the switch emptied.
void AnovaPanel::clearResults() {
    m_rank->refresh();
}

} // namespace quarbel
