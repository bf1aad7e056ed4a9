#include "ui/samplesize/sample_size_panel.h"

#include "core/samplesize/sample_size_report.h"
#include "core/shell/methods.h"
#include "ui/common/plot_view.h"
#include "ui/samplesize/sample_size_picture.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>

#include <algorithm>

namespace quarbel {
namespace {

constexpr CellRules boxRules{.fullStops = true, .trailingFilter = true, .caretToEnd = true};
constexpr int BoxWidth = 90;

// Which rows a design shows beyond the core's own facts; the computation ignores the others.
bool pairedDesign(SizeDesign d) {
    return d == SizeDesign::PairedMeans || d == SizeDesign::PairedRates;
}

bool solvesPower(const SampleSizeInput &in) {
    return hasPower(SizeDesign(in.design)) && in.solve == 1;
}

QLabel *caption(const QString &text, QWidget *parent) {
    auto *label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// The input panel

SampleSizeInputPanel::SampleSizeInputPanel(QWidget *parent) : Panel(parent) {
    setObjectName(QStringLiteral("SizeInputs"));
    setFrameShape(QFrame::StyledPanel);
    auto *layout = new QGridLayout(this);
    layout->setHorizontalSpacing(6);
    layout->setVerticalSpacing(4);

    m_design = new QComboBox(this);
    m_design->setObjectName(QStringLiteral("SizeDesign"));
    m_design->addItems({tr("两样本均数比较"), tr("配对均数比较"), tr("两样本率比较"),
                        tr("配对率比较（McNemar）"), tr("多组均数比较（方差分析）"),
                        tr("相关系数的检验"), tr("生存分析（log-rank检验）"),
                        tr("估计单个率（可信区间宽度）")});
    layout->addWidget(caption(tr("研究设计："), this), 0, 0);
    layout->addWidget(m_design, 0, 1);

    m_solve = new QComboBox(this);
    m_solve->setObjectName(QStringLiteral("SizeSolve"));
    m_solve->addItems({tr("求样本量"), tr("求检验效能")});
    m_solveCaption = caption(tr("计算："), this);
    layout->addWidget(m_solveCaption, 1, 0);
    layout->addWidget(m_solve, 1, 1, Qt::AlignLeft);

    addBox(Delta, "SizeDelta", tr("均数之差 δ："), {});
    addBox(Sd, "SizeSd", tr("标准差 σ："), {});
    addBox(P1, "SizeP1", tr("第一组率 p1："), {});
    addBox(P2, "SizeP2", tr("第二组率 p2："), {});
    addBox(P10, "SizeP10", tr("不一致比例 p10："), {});
    addBox(P01, "SizeP01", tr("不一致比例 p01："), {});
    addBox(Groups, "SizeGroups", tr("组数 k："), {});
    addBox(EffectF, "SizeEffectF", tr("效应量 f："), {});
    addBox(Rho, "SizeRho", tr("相关系数 ρ："), {});
    addBox(Hr, "SizeHR", tr("风险比 HR："), {});
    addBox(EventProb, "SizeEventProb", tr("发生事件的比例："), {});
    addBox(P, "SizeP", tr("预期率 p："), {});
    addBox(HalfWidth, "SizeHalfWidth", tr("可信区间半宽："), {});
    addBox(Alpha, "SizeAlpha", tr("检验水准 α："), QStringLiteral("0.05"));
    m_sides = new QComboBox(this);
    m_sides->setObjectName(QStringLiteral("SizeSides"));
    m_sides->addItems({tr("双侧"), tr("单侧")});
    m_sidesCaption = caption(tr("检验："), this);
    const int sidesRow = layout->rowCount();
    layout->addWidget(m_sidesCaption, sidesRow, 0);
    layout->addWidget(m_sides, sidesRow, 1, Qt::AlignLeft);
    addBox(Power, "SizePower", tr("检验效能 1 − β："), QStringLiteral("0.80"));
    addBox(NInput, "SizeNInput", tr("每组例数 n1："), {});
    addBox(Ratio, "SizeRatio", tr("样本量之比 n2/n1："), QStringLiteral("1"));
    addBox(Dropout, "SizeDropout", tr("预期脱落率（%）："), QStringLiteral("0"));
    layout->setRowStretch(layout->rowCount(), 1);

    m_captions[P10]->setToolTip(tr("第一种方法阳性、第二种方法阴性的对子所占比例"));
    m_captions[P01]->setToolTip(tr("第一种方法阴性、第二种方法阳性的对子所占比例"));
    m_captions[EffectF]->setToolTip(tr("Cohen 效应量 f：各组总体均数的标准差与组内标准差之比"));
    m_captions[EventProb]->setToolTip(tr("随访期间发生终点事件的受试者所占比例（0～1）"));
    m_captions[HalfWidth]->setToolTip(tr("1 − α 可信区间宽度的一半，如 0.05 即 ±5%"));

    for (QComboBox *combo : {m_design, m_solve, m_sides})
        connect(combo, &QComboBox::currentIndexChanged, this, [this] {
            showRows();
            Q_EMIT changed();
        });
    showRows();
}

void SampleSizeInputPanel::addBox(Box box, const char *name, const QString &text,
                                  const QString &initial) {
    auto *layout = static_cast<QGridLayout *>(this->layout());
    const int row = layout->rowCount();
    auto *cell = new NumericCell(QString::fromLatin1(name), boxRules, this);
    cell->setFixedWidth(BoxWidth);
    cell->setText(initial);
    connect(cell, &NumericCell::edited, this, &SampleSizeInputPanel::changed);
    m_boxes[box] = cell;
    m_captions[box] = caption(text, this);
    m_initial[box] = initial;
    layout->addWidget(m_captions[box], row, 0);
    layout->addWidget(cell, row, 1, Qt::AlignLeft);
}

void SampleSizeInputPanel::showRows() {
    const SampleSizeInput in = input();
    const auto d = SizeDesign(in.design);
    const bool power = solvesPower(in);
    std::array<bool, BoxCount> shown{};
    shown[Delta] = shown[Sd] = d == SizeDesign::TwoMeans || d == SizeDesign::PairedMeans;
    shown[P1] = shown[P2] = d == SizeDesign::TwoRates;
    shown[P10] = shown[P01] = d == SizeDesign::PairedRates;
    shown[Groups] = shown[EffectF] = d == SizeDesign::Anova;
    shown[Rho] = d == SizeDesign::Correlation;
    shown[Hr] = shown[EventProb] = d == SizeDesign::LogRank;
    shown[P] = shown[HalfWidth] = d == SizeDesign::OneRate;
    shown[Alpha] = shown[Dropout] = true;
    shown[Power] = hasPower(d) && !power;
    shown[NInput] = power;
    shown[Ratio] = twoGroups(d);
    for (std::size_t b = 0; b < BoxCount; ++b) {
        m_boxes[b]->setVisible(shown[b]);
        m_captions[b]->setVisible(shown[b]);
    }
    m_solve->setVisible(hasPower(d));
    m_solveCaption->setVisible(hasPower(d));
    m_sides->setVisible(hasSides(d));
    m_sidesCaption->setVisible(hasSides(d));

    const bool paired = d == SizeDesign::PairedMeans;
    m_captions[Delta]->setText(paired ? tr("差值的均数 δ：") : tr("均数之差 δ："));
    m_captions[Sd]->setText(paired ? tr("差值的标准差 σ：") : tr("标准差 σ："));
    m_captions[NInput]->setText(pairedDesign(d)          ? tr("对子数 n：")
                                : d == SizeDesign::Anova ? tr("每组例数 n：")
                                : twoGroups(d)           ? tr("第一组例数 n1：")
                                                         : tr("例数 n："));
}

SampleSizeInput SampleSizeInputPanel::input() const {
    SampleSizeInput in;
    in.design = m_design->currentIndex();
    in.delta = m_boxes[Delta]->text();
    in.sd = m_boxes[Sd]->text();
    in.p1 = m_boxes[P1]->text();
    in.p2 = m_boxes[P2]->text();
    in.p10 = m_boxes[P10]->text();
    in.p01 = m_boxes[P01]->text();
    in.groups = m_boxes[Groups]->text();
    in.effectF = m_boxes[EffectF]->text();
    in.rho = m_boxes[Rho]->text();
    in.hr = m_boxes[Hr]->text();
    in.eventProb = m_boxes[EventProb]->text();
    in.p = m_boxes[P]->text();
    in.halfWidth = m_boxes[HalfWidth]->text();
    in.alpha = m_boxes[Alpha]->text();
    in.sides = m_sides->currentIndex();
    in.power = m_boxes[Power]->text();
    in.ratio = m_boxes[Ratio]->text();
    in.dropout = m_boxes[Dropout]->text();
    in.solve = m_solve->currentIndex();
    in.nInput = m_boxes[NInput]->text();
    return in;
}

void SampleSizeInputPanel::clearInputs() {
    for (QComboBox *combo : {m_design, m_solve, m_sides})
        combo->setCurrentIndex(0);
    for (std::size_t b = 0; b < BoxCount; ++b)
        m_boxes[b]->setText(m_initial[b]);
}

// ---------------------------------------------------------------------------------------------
// The result panel

SampleSizePanel::SampleSizePanel(SampleSizeInputPanel *inputs, QWidget *parent)
    : Panel(parent), m_inputs(inputs) {
    setObjectName(QStringLiteral("Picture4_11"));
    buildFields();
    m_picture = attachPicture(this, QStringLiteral("Plot11"), {300, 260}, {460, 340});
    m_picture->setDrawer([this](PlotView &view) {
        drawSampleSize(view, sampleSizePicture(m_result), SizeDesign(m_input.design));
    });
    connect(inputs, &SampleSizeInputPanel::changed, this, &SampleSizePanel::recompute);
    m_input = inputs->input();
    showRows(m_input);
}

void SampleSizePanel::buildFields() {
    auto *layout = new QGridLayout(this);
    layout->setHorizontalSpacing(6);
    layout->setVerticalSpacing(4);
    constexpr std::array<const char *, FieldCount> names{
        "SizeN1",           "SizeN2",   "SizeTotal", "SizeN1Dropout", "SizeN2Dropout",
        "SizeTotalDropout", "SizeN1Cc", "SizeN2Cc",  "SizeEvents",    "SizeAchievedPower",
        "SizePowerOut"};
    for (std::size_t f = 0; f < FieldCount; ++f) {
        m_fields[f] = fieldLabel(QString::fromLatin1(names[f]), this);
        m_captions[f] = caption({}, this);
    }
    m_sizeHeader = boldLabel(tr("所需例数"), this);
    layout->addWidget(m_sizeHeader, 0, 1);
    layout->addWidget(boldLabel(tr("考虑脱落后"), this), 0, 2);
    // The n and, beside each, the same n after the drop-out.
    for (int r = 0; r < 3; ++r) {
        layout->addWidget(m_captions[std::size_t(N1 + r)], 1 + r, 0);
        layout->addWidget(m_fields[std::size_t(N1 + r)], 1 + r, 1);
        layout->addWidget(m_fields[std::size_t(N1Dropout + r)], 1 + r, 2);
    }
    m_captions[N2]->setText(tr("第二组 n2："));
    m_captions[Total]->setText(tr("合计："));
    const std::array<std::pair<Field, QString>, 5> single{{
        {N1Cc, tr("连续性校正后 n1：")},
        {N2Cc, tr("连续性校正后 n2：")},
        {Events, tr("所需事件数：")},
        {AchievedPower, tr("实际检验效能：")},
        {PowerOut, tr("检验效能：")},
    }};
    int row = 4;
    int widest = 0;
    for (const auto &[field, text] : single) {
        m_captions[field]->setText(text);
        widest = std::max(widest, m_captions[field]->sizeHint().width());
        layout->addWidget(m_captions[field], row, 0);
        layout->addWidget(m_fields[field], row++, 1);
    }
    // As wide as the longest caption whichever rows show, so the picture beside stays put
    // when the design changes.
    layout->setColumnMinimumWidth(0, widest);
    m_note = new QLabel(this);
    m_note->setObjectName(QStringLiteral("Note11"));
    m_note->setWordWrap(true);
    setResultStyle(m_note);
    layout->addWidget(m_note, row, 0, 1, 3);
    layout->setRowStretch(row + 1, 1);
    layout->setColumnStretch(3, 1);
}

// The rows the design and mode fill; the others stay empty and are hidden.
void SampleSizePanel::showRows(const SampleSizeInput &input) {
    const auto d = SizeDesign(input.design);
    const bool power = solvesPower(input);
    const bool two = twoGroups(d);
    std::array<bool, FieldCount> shown{};
    shown[N1] = shown[N1Dropout] = true;
    shown[N2] = shown[N2Dropout] = two;
    shown[Total] = shown[TotalDropout] = two || d == SizeDesign::Anova;
    shown[N1Cc] = shown[N2Cc] = d == SizeDesign::TwoRates && !power;
    shown[Events] = d == SizeDesign::LogRank && !power;
    shown[AchievedPower] = hasPower(d) && !power;
    shown[PowerOut] = power;
    for (std::size_t f = 0; f < FieldCount; ++f) {
        m_fields[f]->setVisible(shown[f]);
        m_captions[f]->setVisible(shown[f]);
    }
    m_captions[N1]->setText(pairedDesign(d)          ? tr("对子数：")
                            : d == SizeDesign::Anova ? tr("每组：")
                            : two                    ? tr("第一组 n1：")
                                                     : tr("例数："));
    m_sizeHeader->setText(power ? tr("例数") : tr("所需例数"));
}

void SampleSizePanel::recompute() {
    m_input = m_inputs->input();
    m_result = computeSampleSize(m_input);
    display();
}

void SampleSizePanel::display() {
    const std::array<QString, FieldCount> texts{m_result.n1,        m_result.n2,
                                                m_result.total,     m_result.n1Dropout,
                                                m_result.n2Dropout, m_result.totalDropout,
                                                m_result.n1Cc,      m_result.n2Cc,
                                                m_result.events,    m_result.achievedPower,
                                                m_result.powerOut};
    for (std::size_t f = 0; f < FieldCount; ++f)
        m_fields[f]->setText(texts[f]);
    m_note->setText(m_result.note);
    showRows(m_input);
    m_picture->schedule();
}

void SampleSizePanel::clearResults() {
    m_result = {};
    display();
}

ReportContent SampleSizePanel::report() const {
    return sampleSizeReport(m_input, m_result);
}

MethodEntry sampleSizeMethod(QWidget *owner) {
    auto *inputs = new SampleSizeInputPanel(owner);
    auto *panel = new SampleSizePanel(inputs, owner);
    MethodEntry entry;
    entry.method = SampleSize;
    entry.input = inputs;
    entry.result = panel;
    entry.firstCell = QStringLiteral("SizeDelta");
    entry.clearInputs = [inputs] { inputs->clearInputs(); };
    entry.report = [panel] { return panel->report(); };
    return entry;
}

} // namespace quarbel
