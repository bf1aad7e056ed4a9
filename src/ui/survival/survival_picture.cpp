#include "ui/survival/survival_picture.h"

#include "core/entry/number_rules.h"
#include "ui/common/plot_view.h"

#include <QCoreApplication>

namespace quarbel {
namespace {

const std::array<QColor, 8> palette{
    QColor(31, 119, 180),  QColor(214, 39, 40), QColor(44, 160, 44),   QColor(255, 127, 14),
    QColor(148, 103, 189), QColor(140, 86, 75), QColor(227, 119, 194), QColor(23, 190, 207)};

constexpr int RowHeight = 14;
// Room under the axis rectangle for the tick labels and the axis title.
constexpr int AxisRoom = 44;
// Room at the left for the group labels of the rows at risk.
constexpr int LabelRoom = 64;

QVector<double> toVector(const std::vector<double> &values) {
    return QVector<double>(values.begin(), values.end());
}

QCPGraph *steps(PlotView &view, const std::vector<double> &time, const std::vector<double> &value,
                const QPen &pen) {
    QCPGraph *graph = view.addGraph();
    graph->setLineStyle(QCPGraph::lsStepLeft);
    graph->setData(toVector(time), toVector(value), true);
    graph->setPen(pen);
    return graph;
}

// A text under the axis rectangle: x in time, y in pixels below the rectangle's bottom edge.
QCPItemText *underAxis(PlotView &view, QCPItemPosition *bottom, double time, bool atLeftEdge,
                       int pixelsDown, const QString &text, const QColor &colour) {
    auto *item = new QCPItemText(&view);
    item->setClipToAxisRect(false);
    item->position->setParentAnchorY(bottom);
    item->position->setTypeY(QCPItemPosition::ptAbsolute);
    if (atLeftEdge) {
        // From the picture's own left edge, in the margin kept wide enough for it.
        item->position->setTypeX(QCPItemPosition::ptAbsolute);
        item->position->setCoords(4, pixelsDown);
        item->setPositionAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    } else {
        item->position->setTypeX(QCPItemPosition::ptPlotCoords);
        item->position->setCoords(time, pixelsDown);
        item->setPositionAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    }
    QFont small = view.font();
    small.setPointSizeF(small.pointSizeF() * 0.8);
    item->setFont(small);
    item->setColor(colour);
    item->setText(text);
    return item;
}

} // namespace

void drawSurvival(PlotView &view, const SurvivalPicture &picture, bool bands) {
    view.resetFrame(QCoreApplication::translate("SurvivalPicture", "Kaplan-Meier生存曲线"),
                    QCoreApplication::translate("SurvivalPicture", "时间"),
                    QCoreApplication::translate("SurvivalPicture", "生存率"));
    const auto groups = int(picture.curves.size());
    // Only the curves go into the legend, not their bands and marks.
    view.setAutoAddPlottableToLegend(false);
    QCPAxisRect *rect = view.axisRect();
    rect->setAutoMargins(QCP::msLeft | QCP::msTop | QCP::msRight);
    rect->setMargins(QMargins(0, 0, 0, AxisRoom + RowHeight * (groups + 1)));
    rect->setMinimumMargins(QMargins(LabelRoom, 15, 15, 15));

    auto ticker = QSharedPointer<QCPAxisTickerFixed>::create();
    const double step = picture.ticks.size() > 1 ? picture.ticks[1] - picture.ticks[0] : 1.0;
    ticker->setTickStep(step);
    ticker->setScaleStrategy(QCPAxisTickerFixed::ssNone);
    view.xAxis->setTicker(ticker);
    view.xAxis->setRange(0, picture.ticks.empty() ? 1.0 : picture.ticks.back());
    view.yAxis->setRange(0, 1.05);

    for (int g = 0; g < groups; ++g) {
        const SurvivalCurve &c = picture.curves[std::size_t(g)];
        const QColor colour = palette[std::size_t(g) % palette.size()];
        if (bands) {
            QColor light = colour;
            light.setAlpha(90);
            QCPGraph *lower = steps(view, c.time, c.low, QPen(light, 1, Qt::DashLine));
            QCPGraph *upper = steps(view, c.time, c.high, QPen(light, 1, Qt::DashLine));
            light.setAlpha(35);
            upper->setBrush(light);
            upper->setChannelFillGraph(lower);
        }
        QCPGraph *curve = steps(view, c.time, c.survival, QPen(colour, 2));
        curve->setName(c.label);
        view.legend->addItem(new QCPPlottableLegendItem(view.legend, curve));
        if (!c.censorTime.empty()) {
            QCPGraph *marks = view.addGraph();
            marks->setLineStyle(QCPGraph::lsNone);
            marks->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssPlus, colour, 7));
            marks->setData(toVector(c.censorTime), toVector(c.censorSurvival), true);
        }
    }
    if (groups > 0) {
        view.legend->setVisible(true);
        // Many groups lie across in rows of four, so the legend stays short.
        view.legend->setFillOrder(QCPLayoutGrid::foColumnsFirst);
        view.legend->setWrap(groups > 4 ? 4 : 0);
        rect->insetLayout()->setInsetAlignment(0, Qt::AlignTop | Qt::AlignRight);
    }

    // The numbers at risk, one row a group, anchored to the rectangle's bottom edge.
    auto *bottom = new QCPItemText(&view);
    bottom->setClipToAxisRect(false);
    bottom->position->setType(QCPItemPosition::ptAxisRectRatio);
    bottom->position->setCoords(0, 1);
    bottom->setText(QString());
    if (groups > 0)
        underAxis(view, bottom->position, 0, true, AxisRoom,
                  QCoreApplication::translate("SurvivalPicture", "风险人数"), Qt::black);
    for (int g = 0; g < groups; ++g) {
        const int down = AxisRoom + RowHeight * (g + 1);
        const QColor colour = palette[std::size_t(g) % palette.size()];
        underAxis(view, bottom->position, 0, true, down, picture.curves[std::size_t(g)].label,
                  colour);
        for (std::size_t k = 0; k < picture.ticks.size(); ++k)
            underAxis(view, bottom->position, picture.ticks[k], false, down,
                      plainForm(double(picture.atRisk[std::size_t(g)][k])), colour);
    }
}

} // namespace quarbel
