#pragma once

#include <QObject>

#include <array>
#include <functional>

class QAction;

namespace quarbel {

class AnovaPanel;
class ColumnList;
class DataGrid;
class FourFoldPanel;
class GradedPanel;
class Panel;
class PlotView;
class RxCPanel;
class TwoSamplePanel;

// Where each method's picture takes its data: the same grids, boxes and tables its results
// are computed from.
struct PictureSources {
    std::array<Panel *, 8> resultPanels{};
    DataGrid *twoColumnGrid{nullptr};
    DataGrid *threeGroupGrid{nullptr};
    const TwoSamplePanel *twoSample{nullptr};
    const AnovaPanel *anova{nullptr};
    FourFoldPanel *fourFold{nullptr};
    RxCPanel *rxc{nullptr};
    GradedPanel *graded{nullptr};
};

// One picture per method (Plot0 … Plot7), each at the right of its result panel, redrawn
// (coalesced) whenever one of its inputs changes.
class MethodPictures : public QObject {
    Q_OBJECT
  public:
    MethodPictures(const PictureSources &sources, QObject *parent);

    PlotView *picture(int method) const { return m_pictures.at(std::size_t(method)); }
    // After a method switch, which resets the lists without a change per cell.
    void scheduleAll();

  private:
    void setDrawers();
    // The context menu entry "正态Q-Q图" of a method with raw groups: checked, the picture shows
    // the groups' normal Q–Q plots instead of its usual drawing.
    std::function<void(PlotView &)> withQq(int method, std::function<void(PlotView &)> usual);
    void scheduleOn(QObject *source, std::initializer_list<int> methods);

    PictureSources m_sources;
    std::array<PlotView *, 8> m_pictures{};
};

} // namespace quarbel
