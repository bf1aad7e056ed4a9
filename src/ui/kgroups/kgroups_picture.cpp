#include "ui/kgroups/kgroups_picture.h"

#include "ui/common/plot_view.h"

#include <QCoreApplication>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace quarbel {
namespace {

QString tr(const char *text) {
    return QCoreApplication::translate("KGroupsPicture", text);
}

// Ten colours, so ten groups are told apart.
const std::array<QColor, 10> palette{
    QColor(31, 119, 180),  QColor(214, 39, 40), QColor(44, 160, 44),   QColor(255, 127, 14),
    QColor(148, 103, 189), QColor(140, 86, 75), QColor(227, 119, 194), QColor(127, 127, 127),
    QColor(188, 189, 34),  QColor(23, 190, 207)};

struct Range {
    double low{std::numeric_limits<double>::infinity()};
    double high{-std::numeric_limits<double>::infinity()};
    void add(double v) {
        if (std::isfinite(v)) {
            low = std::min(low, v);
            high = std::max(high, v);
        }
    }
};

} // namespace

void drawKGroups(PlotView &view, const std::vector<KGroupPicture> &groups) {
    view.resetFrame(tr("各组观察值及均数的95%置信区间"), tr("组别"), tr("观察值"));
    view.setAutoAddPlottableToLegend(false);
    if (groups.empty())
        return;
    auto ticker = QSharedPointer<QCPAxisTickerText>::create();
    for (std::size_t g = 0; g < groups.size(); ++g)
        ticker->addTick(double(g + 1), groups[g].label);
    view.xAxis->setTicker(ticker);
    view.xAxis->setRange(0.4, double(groups.size()) + 0.6);
    Range y;
    QVector<double> keys, means, minus, plus;
    for (std::size_t g = 0; g < groups.size(); ++g) {
        const KGroupPicture &group = groups[g];
        const double key = double(g + 1);
        QColor colour = palette[g % palette.size()];
        if (group.box) {
            auto *box = new QCPStatisticalBox(view.xAxis, view.yAxis);
            const KGroupBox &b = *group.box;
            box->addData(key, b.low, b.p25, b.median, b.p75, b.high);
            box->setWidth(0.5);
            colour.setAlpha(90);
            box->setBrush(colour);
            for (double v : {b.low, b.high})
                y.add(v);
        } else if (!group.dots.empty()) {
            QCPGraph *graph = view.addGraph();
            graph->setLineStyle(QCPGraph::lsNone);
            colour.setAlpha(120);
            graph->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, colour, colour, 6));
            QVector<double> xs, ys;
            for (std::size_t i = 0; i < group.dots.size(); ++i) {
                xs << key + group.dotOffsets[i];
                ys << group.dots[i];
                y.add(group.dots[i]);
            }
            graph->setData(xs, ys);
        }
        if (group.mean) {
            keys << key + 0.35;
            means << group.mean->estimate;
            minus << group.mean->estimate - group.mean->low;
            plus << group.mean->high - group.mean->estimate;
            y.add(group.mean->low);
            y.add(group.mean->high);
        }
    }
    if (!keys.isEmpty()) {
        QCPGraph *estimates = view.addGraph();
        estimates->setLineStyle(QCPGraph::lsNone);
        estimates->setScatterStyle(
            QCPScatterStyle(QCPScatterStyle::ssSquare, Qt::black, Qt::black, 6));
        estimates->setData(keys, means);
        auto *bars = new QCPErrorBars(view.xAxis, view.yAxis);
        bars->setDataPlottable(estimates);
        bars->setData(minus, plus);
        bars->setPen(QPen(Qt::black, 1.5));
    }
    if (y.low <= y.high) {
        const double pad =
            y.high > y.low ? (y.high - y.low) * 0.06 : std::max(1.0, std::abs(y.low)) * 0.1;
        view.yAxis->setRange(y.low - pad, y.high + pad);
    }
}

} // namespace quarbel
