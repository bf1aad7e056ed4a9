#include "ui/shell/method_pictures.h"

#include "core/entry/column_list.h"
#include "core/plots/correlation_plot.h"
#include "core/plots/means_plots.h"
#include "core/plots/qq_plot.h"
#include "core/plots/tables_plots.h"
#include "core/shell/methods.h"
#include "ui/common/picture_drawing.h"
#include "ui/common/plot_view.h"
#include "ui/entry/data_grid.h"
#include "ui/means/anova_panel.h"
#include "ui/means/two_sample_panel.h"
#include "ui/rank/qq_picture.h"
#include "ui/tables/four_fold_panel.h"
#include "ui/tables/graded_panel.h"
#include "ui/tables/rxc_panel.h"

#include <QAction>

namespace quarbel {

MethodPictures::MethodPictures(const PictureSources &sources, QObject *parent)
    : QObject(parent), m_sources(sources) {
    for (int m = 0; m < MethodCount; ++m)
        m_pictures[std::size_t(m)] =
            attachPicture(sources.resultPanels[std::size_t(m)], QStringLiteral("Plot%1").arg(m));
    setDrawers();

    connect(sources.twoColumnGrid, &DataGrid::stored, this, [this] {
        for (int m : {TwoSampleT, PairedT, Correlation})
            picture(m)->schedule();
    });
    connect(sources.threeGroupGrid, &DataGrid::stored, this,
            [this] { picture(Anova)->schedule(); });
    scheduleOn(sources.resultPanels[TwoSampleT], {TwoSampleT});
    scheduleOn(sources.resultPanels[Anova], {Anova});
    scheduleOn(sources.fourFold, {FourFold, PairedFourFold});
    scheduleOn(sources.rxc, {RxC});
    scheduleOn(sources.graded, {Graded});
}

// Every entry cell under `source` reschedules the pictures of `methods` when it changes.
void MethodPictures::scheduleOn(QObject *source, std::initializer_list<int> methods) {
    const std::vector<int> targets(methods);
    for (NumericCell *cell : source->findChildren<NumericCell *>())
        connect(cell, &NumericCell::edited, this, [this, targets] {
            for (int m : targets)
                picture(m)->schedule();
        });
}

void MethodPictures::scheduleAll() {
    for (PlotView *p : m_pictures)
        p->schedule();
}

std::function<void(PlotView &)> MethodPictures::withQq(int method,
                                                       std::function<void(PlotView &)> usual) {
    PlotView *view = picture(method);
    auto *qq = new QAction(tr("正态Q-Q图"), view);
    qq->setObjectName(view->objectName() + QStringLiteral("Qq"));
    qq->setCheckable(true);
    view->addAction(qq);
    connect(qq, &QAction::toggled, view, &PlotView::schedule);
    DataGrid *grid = method == Anova ? m_sources.threeGroupGrid : m_sources.twoColumnGrid;
    const int columns = method == Anova ? 3 : 2;
    return [qq, grid, columns, method, usual = std::move(usual)](PlotView &v) {
        if (!qq->isChecked()) {
            usual(v);
            return;
        }
        std::vector<std::span<const std::int64_t>> lists;
        for (int c = 0; c < columns; ++c)
            lists.push_back(grid->list(c)->ticks());
        drawQq(v, qqPicture(Method(method), lists));
    };
}

void MethodPictures::setDrawers() {
    const PictureSources &s = m_sources;
    auto ticks = [](DataGrid *grid, int column) { return grid->list(column)->ticks(); };
    picture(TwoSampleT)->setDrawer(withQq(TwoSampleT, [s, ticks](PlotView &view) {
        const auto boxes = s.twoSample->boxTexts();
        std::vector<GroupPicture> groups;
        groups.reserve(2);
        for (int g = 0; g < 2; ++g)
            groups.push_back(groupPicture(ticks(s.twoColumnGrid, g), boxes[std::size_t(3 * g)],
                                          boxes[std::size_t(3 * g + 1)],
                                          boxes[std::size_t(3 * g + 2)]));
        drawGroups(view, groups);
    }));
    picture(PairedT)->setDrawer(withQq(PairedT, [s, ticks](PlotView &view) {
        drawPaired(view, pairedPicture(ticks(s.twoColumnGrid, 0), ticks(s.twoColumnGrid, 1)));
    }));
    picture(Anova)->setDrawer(withQq(Anova, [s, ticks](PlotView &view) {
        const AnovaBoxes boxes = s.anova->boxes();
        std::vector<GroupPicture> groups;
        groups.reserve(3);
        for (int g = 0; g < 3; ++g)
            groups.push_back(groupPicture(ticks(s.threeGroupGrid, g), boxes[std::size_t(3 * g)],
                                          boxes[std::size_t(3 * g + 1)],
                                          boxes[std::size_t(3 * g + 2)]));
        drawGroups(view, groups);
    }));
    picture(FourFold)->setDrawer(
        [s](PlotView &view) { drawFourFold(view, fourFoldPicture(s.fourFold->cellTexts())); });
    picture(PairedFourFold)->setDrawer([s](PlotView &view) {
        drawPairedFourFold(view, pairedFourFoldPicture(s.fourFold->cellTexts()));
    });
    picture(RxC)->setDrawer([s](PlotView &view) { drawRxC(view, rxcPicture(s.rxc->cellTexts())); });
    picture(Correlation)->setDrawer(withQq(Correlation, [s, ticks](PlotView &view) {
        drawCorrelation(view,
                        correlationPicture(ticks(s.twoColumnGrid, 0), ticks(s.twoColumnGrid, 1)));
    }));
    picture(Graded)->setDrawer(
        [s](PlotView &view) { drawGraded(view, gradedPicture(s.graded->cellTexts())); });
}

} // namespace quarbel
