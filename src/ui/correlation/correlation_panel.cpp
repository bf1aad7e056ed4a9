#include "ui/correlation/correlation_panel.h"

#include "core/correlation/correlation.h"
#include "ui/common/panel_parts.h"

#include <QGridLayout>
#include <QLabel>

namespace quarbel {

CorrelationPanel::CorrelationPanel(QWidget *parent) : QFrame(parent) {
    setObjectName(QStringLiteral("Picture4_6"));
    auto *layout = new QGridLayout(this);
    m_n = resultField(QStringLiteral("Label13_6"), this);
    m_r = resultField(QStringLiteral("Label13_7"), this);
    m_t = resultField(QStringLiteral("Label13_12"), this);
    const std::array<std::pair<QString, QLabel *>, 3> fields{{
        {QStringLiteral("例数(N)="), m_n},
        {QStringLiteral("<i>r</i> ="), m_r},
        {QStringLiteral("<i>t</i><sub>r</sub> ="), m_t},
    }};
    for (int row = 0; row < 3; ++row) {
        const auto &[caption, field] = fields[std::size_t(row)];
        layout->addWidget(new QLabel(caption, this), row, 0, Qt::AlignRight);
        layout->addWidget(field, row, 1);
    }
    for (int i = 0; i < 3; ++i)
        m_critical[std::size_t(i)] = resultField(QStringLiteral("Label5_%1").arg(13 + i), this);
    addCriticalRows(layout, 3, QStringLiteral("r "), m_critical);

    QFont bold = font();
    bold.setBold(true);
    auto *judgementCaption = new QLabel(QStringLiteral("结果判断："), this);
    judgementCaption->setFont(bold);
    m_judgement = resultField(QStringLiteral("Label5_16"), this, true);
    auto *equationCaption = new QLabel(QStringLiteral("回归方程："), this);
    equationCaption->setFont(bold);
    m_equation = resultField(QStringLiteral("Label5_17"), this, true);
    layout->addWidget(judgementCaption, 6, 0);
    layout->addWidget(m_judgement, 6, 1);
    layout->addWidget(equationCaption, 7, 0);
    layout->addWidget(m_equation, 7, 1);
    layout->setRowStretch(8, 1);

    // The equation is assembled from these; they are never shown.
    m_slope = resultField(QStringLiteral("Label7"), this);
    m_intercept = resultField(QStringLiteral("Label8"), this);
    m_slope->hide();
    m_intercept->hide();
}

void CorrelationPanel::recompute(std::span<const std::int64_t> x, std::span<const std::int64_t> y) {
    const CorrelationResult r = correlate(x, y);
    m_n->setText(r.n);
    m_r->setText(r.r);
    m_t->setText(r.t);
    m_critical[0]->setText(r.critical05);
    m_critical[1]->setText(r.critical01);
    m_critical[2]->setText(r.critical001);
    m_judgement->setText(r.judgement);
    m_equation->setText(r.equation);
    m_slope->setText(r.slope);
    m_intercept->setText(r.intercept);
}

} // namespace quarbel
