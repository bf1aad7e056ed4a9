#include "ui/samplesize/sample_size_picture.h"

#include "ui/common/plot_view.h"

#include <QCoreApplication>

#include <algorithm>

namespace quarbel {
namespace {

QString tr(const char *text) {
    return QCoreApplication::translate("SampleSizePicture", text);
}

const QColor curveColour(31, 119, 180);
const QColor answerColour(214, 39, 40);
const QColor targetColour(120, 120, 120);

QString sizeTitle(SizeDesign design) {
    switch (design) {
    case SizeDesign::PairedMeans:
    case SizeDesign::PairedRates:
        return tr("对子数 n");
    case SizeDesign::Correlation:
    case SizeDesign::OneRate:
        return tr("例数 n");
    case SizeDesign::TwoMeans:
    case SizeDesign::TwoRates:
    case SizeDesign::LogRank:
        return tr("第一组例数 n1");
    case SizeDesign::Anova:
        break;
    }
    return tr("每组例数 n");
}

} // namespace

void drawSampleSize(PlotView &view, const SampleSizePicture &picture, SizeDesign design) {
    // An interval's width has no power: the frame says so rather than stand empty.
    view.resetFrame(design == SizeDesign::OneRate ? tr("估计单个率不计算检验效能")
                                                  : tr("检验效能曲线"),
                    sizeTitle(design), tr("检验效能 1 − β"));
    view.setAutoAddPlottableToLegend(false);
    view.yAxis->setRange(0, 1.05);
    if (picture.curve.empty())
        return;
    QVector<double> x, y;
    x.reserve(qsizetype(picture.curve.size()));
    y.reserve(qsizetype(picture.curve.size()));
    for (const PlotPoint &point : picture.curve) {
        x << point.x;
        y << point.y;
    }
    const double low = x.front();
    const double high = std::max(x.back(), low + 1);
    const double pad = (high - low) * 0.03;
    view.xAxis->setRange(low - pad, high + pad);

    if (picture.target) {
        QCPGraph *target = view.addGraph();
        target->setData({low - pad, high + pad}, {*picture.target, *picture.target}, true);
        target->setPen(QPen(targetColour, 1.5, Qt::DashLine));
    }
    QCPGraph *curve = view.addGraph();
    curve->setData(x, y, true);
    curve->setPen(QPen(curveColour, 2));

    // The answer: a dot on the curve, a dotted drop to the axis and its n beside it.
    auto *drop = new QCPItemLine(&view);
    drop->start->setCoords(picture.answer.x, 0);
    drop->end->setCoords(picture.answer.x, picture.answer.y);
    drop->setPen(QPen(answerColour, 1, Qt::DotLine));
    QCPGraph *mark = view.addGraph();
    mark->setLineStyle(QCPGraph::lsNone);
    mark->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, answerColour, answerColour, 9));
    mark->setData({picture.answer.x}, {picture.answer.y}, true);
    auto *label = new QCPItemText(&view);
    label->position->setCoords(picture.answer.x, picture.answer.y);
    // Below and right of the dot, clear of the curve that rises to its left.
    label->setPositionAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setPadding(QMargins(6, 4, 0, 0));
    label->setColor(answerColour);
    label->setText(QStringLiteral("n = %1").arg(qint64(picture.answer.x)));
}

} // namespace quarbel
