#include "ui/diagnostic/diagnostic_picture.h"

#include "core/entry/number_rules.h"
#include "ui/common/plot_view.h"

#include <QCoreApplication>

namespace quarbel {
namespace {

QString tr(const char *text) {
    return QCoreApplication::translate("DiagnosticPicture", text);
}

const QColor positiveColour(214, 39, 40);
const QColor negativeColour(31, 119, 180);

} // namespace

void drawDiagnostic(PlotView &view, const FourFoldTexts &counts) {
    view.resetFrame(tr("各金标准类别中的试验结果"), QString(), tr("百分比（%）"));
    view.setAutoAddPlottableToLegend(false);
    auto ticker = QSharedPointer<QCPAxisTickerText>::create();
    ticker->addTick(1, tr("患病"));
    ticker->addTick(2, tr("未患病"));
    view.xAxis->setTicker(ticker);
    view.xAxis->setRange(0.4, 2.6);
    // Room above the bars for the legend.
    view.yAxis->setRange(0, 135);
    // a and c are the diseased, b and d the non-diseased; the counts are the table's as read.
    std::array<double, 4> n{};
    for (std::size_t i = 0; i < 4; ++i)
        n[i] = counts[i].isEmpty() ? 0.0 : readDisplayed(counts[i]);
    const double diseased = n[0] + n[2];
    const double healthy = n[1] + n[3];
    if (diseased <= 0 && healthy <= 0)
        return;
    auto share = [](double part, double whole) { return whole > 0 ? 100.0 * part / whole : 0.0; };
    auto *negative = new QCPBars(view.xAxis, view.yAxis);
    negative->setName(tr("试验阴性"));
    negative->setBrush(negativeColour);
    negative->setPen(Qt::NoPen);
    negative->setWidth(0.5);
    negative->setData({1, 2}, {share(n[2], diseased), share(n[3], healthy)});
    auto *positive = new QCPBars(view.xAxis, view.yAxis);
    positive->setName(tr("试验阳性"));
    positive->setBrush(positiveColour);
    positive->setPen(Qt::NoPen);
    positive->setWidth(0.5);
    positive->setData({1, 2}, {share(n[0], diseased), share(n[1], healthy)});
    positive->moveAbove(negative);
    view.legend->addItem(new QCPPlottableLegendItem(view.legend, positive));
    view.legend->addItem(new QCPPlottableLegendItem(view.legend, negative));
    view.legend->setVisible(true);
}

void drawRoc(PlotView &view, const RocCurve &curve) {
    view.resetFrame(curve.caption.isEmpty() ? tr("ROC曲线") : curve.caption, tr("1 − 特异度"),
                    tr("灵敏度"));
    view.setAutoAddPlottableToLegend(false);
    view.xAxis->setRange(0, 1);
    view.yAxis->setRange(0, 1);
    QCPGraph *diagonal = view.addGraph();
    diagonal->setData({0, 1}, {0, 1}, true);
    diagonal->setPen(QPen(QColor(150, 150, 150), 1, Qt::DashLine));
    if (curve.points.empty())
        return;
    // The curve goes up and right; as a curve (not a graph) it may hold runs of equal x.
    auto *line = new QCPCurve(view.xAxis, view.yAxis);
    QVector<double> t, x, y;
    t.reserve(qsizetype(curve.points.size()));
    for (std::size_t i = 0; i < curve.points.size(); ++i) {
        t << double(i);
        x << curve.points[i].falsePositive;
        y << curve.points[i].sensitivity;
    }
    line->setData(t, x, y);
    line->setPen(QPen(negativeColour, 2));
    if (curve.best >= 0 && std::size_t(curve.best) < curve.points.size()) {
        const RocPoint &b = curve.points[std::size_t(curve.best)];
        QCPGraph *mark = view.addGraph();
        mark->setLineStyle(QCPGraph::lsNone);
        mark->setScatterStyle(
            QCPScatterStyle(QCPScatterStyle::ssDisc, positiveColour, positiveColour, 9));
        mark->setData({b.falsePositive}, {b.sensitivity}, true);
    }
}

} // namespace quarbel
