#include "ui/rank/qq_picture.h"

#include "ui/common/plot_view.h"

#include <QCoreApplication>

#include <algorithm>
#include <array>
#include <cmath>

namespace quarbel {
namespace {

const std::array<QColor, 3> colours{QColor(31, 119, 180), QColor(214, 39, 40), QColor(44, 160, 44)};

} // namespace

void drawQq(PlotView &view, const std::vector<QqSeries> &series) {
    view.resetFrame(QCoreApplication::translate("QqPicture", "正态Q-Q图"),
                    QCoreApplication::translate("QqPicture", "理论分位数（标准正态）"),
                    QCoreApplication::translate("QqPicture", "观察值"));
    view.setAutoAddPlottableToLegend(false);
    double xLow = INFINITY, xHigh = -INFINITY, yLow = INFINITY, yHigh = -INFINITY;
    for (std::size_t g = 0; g < series.size(); ++g) {
        const QqSeries &s = series[g];
        if (s.points.empty())
            continue;
        const QColor colour = colours[g % colours.size()];
        QVector<double> xs, ys;
        xs.reserve(qsizetype(s.points.size()));
        ys.reserve(qsizetype(s.points.size()));
        for (const PlotPoint &p : s.points) {
            xs << p.x;
            ys << p.y;
        }
        xLow = std::min(xLow, xs.front());
        xHigh = std::max(xHigh, xs.back());
        yLow = std::min(yLow, ys.front());
        yHigh = std::max(yHigh, ys.back());
        QCPGraph *dots = view.addGraph();
        dots->setLineStyle(QCPGraph::lsNone);
        QColor fill = colour;
        fill.setAlpha(130);
        dots->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, fill, fill, 5));
        dots->setData(xs, ys, true);
        dots->setName(s.name);
        if (series.size() > 1)
            view.legend->addItem(new QCPPlottableLegendItem(view.legend, dots));
        if (s.slope && s.intercept) {
            QCPGraph *line = view.addGraph();
            const double a = xs.front(), b = xs.back();
            line->setData({a, b}, {*s.intercept + *s.slope * a, *s.intercept + *s.slope * b}, true);
            line->setPen(QPen(colour, 1.5));
        }
    }
    if (xLow <= xHigh) {
        const double xPad = std::max(0.1, (xHigh - xLow) * 0.05);
        const double yPad =
            yHigh > yLow ? (yHigh - yLow) * 0.06 : std::max(1.0, std::abs(yLow)) * 0.1;
        view.xAxis->setRange(xLow - xPad, xHigh + xPad);
        view.yAxis->setRange(yLow - yPad, yHigh + yPad);
    }
    if (view.legend->itemCount() > 0) {
        view.legend->setVisible(true);
        view.axisRect()->insetLayout()->setInsetAlignment(0, Qt::AlignTop | Qt::AlignLeft);
    }
}

} // namespace quarbel
