#include "ui/common/picture_drawing.h"

#include "ui/common/plot_view.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace quarbel {
namespace {

const std::array<QColor, 4> palette{QColor(31, 119, 180), QColor(214, 39, 40), QColor(44, 160, 44),
                                    QColor(255, 127, 14)};
const QColor intervalColour(20, 20, 20);

// Lowest and highest of everything a picture shows on one axis, with a margin.
class Span {
  public:
    void add(double v) {
        if (std::isfinite(v)) {
            m_low = std::min(m_low, v);
            m_high = std::max(m_high, v);
        }
    }
    bool empty() const { return m_low > m_high; }
    QCPRange padded(double share = 0.06) const {
        if (empty())
            return {0, 1};
        const double pad =
            m_high > m_low ? (m_high - m_low) * share : std::max(1.0, std::abs(m_low)) * 0.1;
        return {m_low - pad, m_high + pad};
    }

  private:
    double m_low{std::numeric_limits<double>::infinity()};
    double m_high{-std::numeric_limits<double>::infinity()};
};

void textTicks(QCPAxis *axis, const QStringList &labels) {
    auto ticker = QSharedPointer<QCPAxisTickerText>::create();
    for (int i = 0; i < labels.size(); ++i)
        ticker->addTick(i + 1, labels[i]);
    axis->setTicker(ticker);
    axis->setRange(0.4, labels.size() + 0.6);
}

QCPGraph *dots(PlotView &view, const QColor &colour, double size, QCPAxis *valueAxis = nullptr) {
    QCPGraph *graph = view.addGraph(view.xAxis, valueAxis ? valueAxis : view.yAxis);
    graph->setLineStyle(QCPGraph::lsNone);
    QColor fill = colour;
    fill.setAlpha(110);
    graph->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, fill, fill, size));
    return graph;
}

// Estimates as squares with their interval as whiskered bars.
void intervals(PlotView &view, const QVector<double> &keys, const std::vector<Estimate> &values,
               QCPAxis *valueAxis = nullptr) {
    QVector<double> estimates, minus, plus;
    for (const Estimate &v : values) {
        estimates << v.estimate;
        minus << v.estimate - v.low;
        plus << v.high - v.estimate;
    }
    QCPGraph *centre = view.addGraph(view.xAxis, valueAxis ? valueAxis : view.yAxis);
    centre->setLineStyle(QCPGraph::lsNone);
    centre->setScatterStyle(
        QCPScatterStyle(QCPScatterStyle::ssSquare, intervalColour, intervalColour, 7));
    centre->setData(keys, estimates);
    auto *errors = new QCPErrorBars(view.xAxis, valueAxis ? valueAxis : view.yAxis);
    errors->setDataPlottable(centre);
    errors->setData(minus, plus);
    errors->setPen(QPen(intervalColour, 1.6));
    errors->setWhiskerWidth(14);
}

QCPBars *bars(PlotView &view, const QColor &colour, double width) {
    auto *b = new QCPBars(view.xAxis, view.yAxis);
    b->setWidth(width);
    QColor fill = colour;
    fill.setAlpha(170);
    b->setBrush(fill);
    b->setPen(QPen(colour.darker(130)));
    return b;
}

void drawHistogram(PlotView &view, const Histogram &h, Span &x, Span &y) {
    QVector<double> keys, counts;
    for (std::size_t i = 0; i < h.counts.size(); ++i) {
        keys << h.start + (double(i) + 0.5) * h.width;
        counts << h.counts[i];
        x.add(h.edge(i));
        x.add(h.edge(i + 1));
        y.add(h.counts[i]);
    }
    y.add(0);
    bars(view, palette[0], h.width)->setData(keys, counts);
}

// A histogram standing on its side at group position `key`, mirrored like a violin.
void sideways(PlotView &view, const Histogram &h, double key, const QColor &colour, Span &y) {
    const double peak = *std::max_element(h.counts.begin(), h.counts.end());
    QColor fill = colour;
    fill.setAlpha(120);
    for (std::size_t i = 0; i < h.counts.size(); ++i) {
        if (h.counts[i] <= 0)
            continue;
        const double half = 0.35 * h.counts[i] / peak;
        auto *rect = new QCPItemRect(&view);
        rect->topLeft->setCoords(key - half, h.edge(i + 1));
        rect->bottomRight->setCoords(key + half, h.edge(i));
        rect->setBrush(fill);
        rect->setPen(Qt::NoPen);
        y.add(h.edge(i));
        y.add(h.edge(i + 1));
    }
}

QString percentTitle(const QString &title) {
    return title + QStringLiteral("（%）");
}

Estimate inPercent(const Estimate &v) {
    return {v.estimate * 100, v.low * 100, v.high * 100};
}

void proportionBars(PlotView &view, const QStringList &names,
                    const std::array<std::optional<Estimate>, 2> &values) {
    textTicks(view.xAxis, names);
    view.yAxis->setRange(0, 100);
    QVector<double> keys;
    std::vector<Estimate> shown;
    for (std::size_t i = 0; i < values.size(); ++i)
        if (values[i]) {
            keys << double(i + 1);
            shown.push_back(inPercent(*values[i]));
        }
    if (shown.empty())
        return;
    QVector<double> heights;
    for (const Estimate &v : shown)
        heights << v.estimate;
    bars(view, palette[0], 0.5)->setData(keys, heights);
    intervals(view, keys, shown);
}

} // namespace

void drawGroups(PlotView &view, const std::vector<GroupPicture> &groups) {
    view.resetFrame(QStringLiteral("各组数据及均数的95%置信区间"), QStringLiteral("组别"),
                    QStringLiteral("观察值"));
    QStringList names;
    for (std::size_t g = 0; g < groups.size(); ++g)
        names << QStringLiteral("第 %1 组").arg(g + 1);
    textTicks(view.xAxis, names);
    Span y;
    QVector<double> keys;
    std::vector<Estimate> means;
    for (std::size_t g = 0; g < groups.size(); ++g) {
        const GroupPicture &group = groups[g];
        const double key = double(g + 1);
        const QColor &colour = palette[g % palette.size()];
        if (group.density) {
            sideways(view, *group.density, key, colour, y);
        } else if (!group.dots.empty()) {
            QVector<double> xs, ys;
            for (std::size_t i = 0; i < group.dots.size(); ++i) {
                xs << key + group.dotOffsets[i];
                ys << group.dots[i];
                y.add(group.dots[i]);
            }
            // Keys are not sorted after jitter; the graph draws no line, so order is free.
            dots(view, colour, 6)->setData(xs, ys);
        }
        if (group.mean) {
            keys << key;
            means.push_back(*group.mean);
            y.add(group.mean->low);
            y.add(group.mean->high);
        }
    }
    if (!means.empty())
        intervals(view, keys, means);
    if (!y.empty())
        view.yAxis->setRange(y.padded());
}

void drawPaired(PlotView &view, const PairedPicture &picture) {
    if (picture.differences) {
        view.resetFrame(QStringLiteral("差值分布及差值均数的95%置信区间"),
                        QStringLiteral("差值（第 2 组 − 第 1 组）"), QStringLiteral("频数"));
        Span x, y;
        drawHistogram(view, *picture.differences, x, y);
        if (const auto &m = picture.meanDifference) {
            const QCPRange height = y.padded();
            auto *band = new QCPItemRect(&view);
            band->topLeft->setCoords(m->low, height.upper);
            band->bottomRight->setCoords(m->high, height.lower);
            band->setBrush(QColor(214, 39, 40, 60));
            band->setPen(Qt::NoPen);
            auto *line = new QCPItemStraightLine(&view);
            line->point1->setCoords(m->estimate, 0);
            line->point2->setCoords(m->estimate, 1);
            line->setPen(QPen(palette[1], 2));
            x.add(m->low);
            x.add(m->high);
        }
        view.xAxis->setRange(x.padded());
        view.yAxis->setRange(0, y.padded().upper);
        return;
    }
    view.resetFrame(QStringLiteral("配对数据连线及差值均数的95%置信区间"), QString(),
                    QStringLiteral("观察值"));
    textTicks(view.xAxis,
              {QStringLiteral("第 1 组"), QStringLiteral("第 2 组"), QStringLiteral("差值")});
    Span y;
    if (!picture.pairs.empty()) {
        // One curve broken by gaps: a line per pair without a plottable per pair.
        auto *lines = new QCPCurve(view.xAxis, view.yAxis);
        QVector<double> t, xs, ys;
        const double gap = std::numeric_limits<double>::quiet_NaN();
        for (const PlotPoint &p : picture.pairs) {
            for (auto [key, value] : {std::pair{1.0, p.x}, {2.0, p.y}, {gap, gap}}) {
                t << double(t.size());
                xs << key;
                ys << value;
            }
            y.add(p.x);
            y.add(p.y);
        }
        lines->setData(t, xs, ys, true);
        lines->setPen(QPen(QColor(31, 119, 180, 140), 1.2));
        lines->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, 5));
    }
    if (!y.empty())
        view.yAxis->setRange(y.padded());
    if (const auto &m = picture.meanDifference) {
        // Differences have their own scale, on the right.
        view.yAxis2->setVisible(true);
        view.yAxis2->setLabel(QStringLiteral("差值（第 2 组 − 第 1 组）"));
        intervals(view, {3.0}, {*m}, view.yAxis2);
        Span d;
        d.add(m->low);
        d.add(m->high);
        d.add(0);
        view.yAxis2->setRange(d.padded());
        auto *zero = new QCPItemLine(&view);
        zero->start->setAxes(view.xAxis, view.yAxis2);
        zero->end->setAxes(view.xAxis, view.yAxis2);
        zero->start->setCoords(2.6, 0);
        zero->end->setCoords(3.4, 0);
        zero->setPen(QPen(Qt::gray, 1, Qt::DashLine));
    }
}

void drawFourFold(PlotView &view, const std::array<std::optional<Estimate>, 2> &groups) {
    view.resetFrame(QStringLiteral("各组阳性率及其95%置信区间（Wilson法）"), QStringLiteral("组别"),
                    percentTitle(QStringLiteral("阳性率")));
    proportionBars(view, {QStringLiteral("试验组"), QStringLiteral("对照组")}, groups);
}

void drawPairedFourFold(PlotView &view, const std::array<std::optional<Estimate>, 2> &methods) {
    view.resetFrame(QStringLiteral("两种方法的阳性率及其95%置信区间（Wilson法）"),
                    QStringLiteral("方法"), percentTitle(QStringLiteral("阳性率")));
    proportionBars(view, {QStringLiteral("治疗后（行）"), QStringLiteral("治疗前（列）")}, methods);
}

void drawRxC(PlotView &view, const RxCPicture &picture) {
    view.resetFrame(QStringLiteral("各行的列构成比"), QStringLiteral("行"),
                    percentTitle(QStringLiteral("构成比")));
    QStringList rows;
    for (int r : picture.rows)
        rows << QStringLiteral("第 %1 行").arg(r + 1);
    textTicks(view.xAxis, rows.isEmpty() ? QStringList{QString()} : rows);
    view.yAxis->setRange(0, 100);
    if (picture.rows.empty())
        return;
    auto *group = new QCPBarsGroup(&view);
    const double width = 0.8 / double(picture.columns.size());
    for (std::size_t c = 0; c < picture.columns.size(); ++c) {
        QCPBars *b = bars(view, palette[c % palette.size()], width);
        b->setName(QStringLiteral("第 %1 列").arg(picture.columns[c] + 1));
        QVector<double> keys, heights;
        for (std::size_t r = 0; r < picture.rows.size(); ++r) {
            keys << double(r + 1);
            heights << picture.shares[r][c] * 100;
        }
        b->setData(keys, heights);
        b->setBarsGroup(group);
    }
    view.xAxis->setRange(0.4, double(rows.size()) + 1.5); // room on the right for the legend
    view.legend->setVisible(true);
    view.axisRect()->insetLayout()->setInsetAlignment(0, Qt::AlignTop | Qt::AlignRight);
}

void drawCorrelation(PlotView &view, const CorrelationPicture &picture) {
    view.resetFrame(QStringLiteral("散点图、回归直线及其95%置信带"), QStringLiteral("X"),
                    QStringLiteral("Y"));
    Span x, y;
    if (picture.density) {
        const DensityGrid &d = *picture.density;
        auto *map = new QCPColorMap(view.xAxis, view.yAxis);
        map->data()->setSize(d.columns, d.rows);
        map->data()->setRange(
            QCPRange(d.xStart + d.xWidth / 2, d.xStart + d.xWidth * (d.columns - 0.5)),
            QCPRange(d.yStart + d.yWidth / 2, d.yStart + d.yWidth * (d.rows - 0.5)));
        for (int r = 0; r < d.rows; ++r)
            for (int c = 0; c < d.columns; ++c) {
                const double count = d.counts[std::size_t(r * d.columns + c)];
                // Empty cells stay blank; the rest shade by the logarithm of their count.
                map->data()->setCell(c, r, count > 0 ? std::log10(count) + 1 : 0);
            }
        QCPColorGradient gradient(QCPColorGradient::gpCold);
        gradient.setColorStopAt(0, Qt::white);
        gradient.setColorStopAt(0.001, QColor(220, 235, 250));
        gradient.setColorStopAt(1, QColor(8, 48, 107));
        map->setGradient(gradient);
        map->rescaleDataRange(true);
        map->setInterpolate(false);
        x.add(d.xStart);
        x.add(d.xStart + d.xWidth * d.columns);
        y.add(d.yStart);
        y.add(d.yStart + d.yWidth * d.rows);
    } else if (!picture.dots.empty()) {
        QVector<double> xs, ys;
        for (const PlotPoint &p : picture.dots) {
            xs << p.x;
            ys << p.y;
            x.add(p.x);
            y.add(p.y);
        }
        dots(view, palette[0], 6)->setData(xs, ys);
    }
    if (!picture.band.empty()) {
        QVector<double> xs, fit, low, high;
        for (const BandPoint &b : picture.band) {
            xs << b.x;
            fit << b.fit;
            low << b.low;
            high << b.high;
            y.add(b.low);
            y.add(b.high);
        }
        QCPGraph *lower = view.addGraph();
        lower->setData(xs, low, true);
        lower->setPen(QPen(QColor(214, 39, 40, 90)));
        QCPGraph *upper = view.addGraph();
        upper->setData(xs, high, true);
        upper->setPen(QPen(QColor(214, 39, 40, 90)));
        upper->setBrush(QColor(214, 39, 40, 45));
        upper->setChannelFillGraph(lower);
        QCPGraph *line = view.addGraph();
        line->setData(xs, fit, true);
        line->setPen(QPen(palette[1], 2));
    } else if (picture.slope && picture.intercept && !x.empty()) {
        const QCPRange r = x.padded(0);
        QCPGraph *line = view.addGraph();
        line->setData({r.lower, r.upper},
                      {*picture.intercept + *picture.slope * r.lower,
                       *picture.intercept + *picture.slope * r.upper},
                      true);
        line->setPen(QPen(palette[1], 2));
    }
    if (!x.empty())
        view.xAxis->setRange(x.padded());
    if (!y.empty())
        view.yAxis->setRange(y.padded());
}

void drawGraded(PlotView &view, const std::array<std::optional<std::array<double, 4>>, 2> &shares) {
    view.resetFrame(QStringLiteral("各组等级构成（百分比堆积条图）"), QStringLiteral("组别"),
                    percentTitle(QStringLiteral("构成比")));
    textTicks(view.xAxis, {QStringLiteral("试验组"), QStringLiteral("对照组")});
    view.yAxis->setRange(0, 100);
    if (!shares[0] && !shares[1])
        return;
    const std::array<QString, 4> grades{QStringLiteral("（+）"), QStringLiteral("（++）"),
                                        QStringLiteral("（+++）"), QStringLiteral("（++++）")};
    QCPBars *below = nullptr;
    for (std::size_t j = 0; j < 4; ++j) {
        QCPBars *b = bars(view, palette[j], 0.55);
        b->setName(grades[j]);
        QVector<double> keys, heights;
        for (std::size_t g = 0; g < 2; ++g)
            if (shares[g]) {
                keys << double(g + 1);
                heights << (*shares[g])[j] * 100;
            }
        b->setData(keys, heights);
        if (below)
            b->moveAbove(below);
        below = b;
    }
    view.xAxis->setRange(0.4, 4.2); // room on the right for the legend
    view.legend->setVisible(true);
    view.axisRect()->insetLayout()->setInsetAlignment(0, Qt::AlignTop | Qt::AlignRight);
}

void drawGenerator(PlotView &view, const GeneratorPicture &picture) {
    view.resetFrame(QStringLiteral("生成数据的直方图及目标正态分布曲线"), QStringLiteral("数值"),
                    QStringLiteral("频数"));
    if (picture.histogram.counts.empty())
        return;
    Span x, y;
    drawHistogram(view, picture.histogram, x, y);
    if (!picture.curve.empty()) {
        QVector<double> xs, ys;
        for (const PlotPoint &p : picture.curve) {
            xs << p.x;
            ys << p.y;
            x.add(p.x);
            y.add(p.y);
        }
        QCPGraph *curve = view.addGraph();
        curve->setData(xs, ys, true);
        curve->setPen(QPen(palette[1], 2));
    }
    view.xAxis->setRange(x.padded(0.02));
    view.yAxis->setRange(0, y.padded().upper);
}

} // namespace quarbel
