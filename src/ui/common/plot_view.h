#pragma once

#include "ui/common/qcustomplot_header.h"

#include <functional>

class QTimer;

namespace quarbel {

// A method's picture. Changes only schedule() a redraw: redraws are coalesced by a short
// single-shot timer, so typing never waits on drawing, and a hidden picture is drawn when it is
// shown. A picture slow to draw (a histogram of a million values) waits instead until the
// changes pause, so no key waits behind it. The drawer clears nothing itself: every redraw
// starts from an empty frame.
class PlotView : public QCustomPlot {
    Q_OBJECT
  public:
    using Drawer = std::function<void(PlotView &)>;
    static constexpr int CoalesceMs = 100;
    // A redraw longer than this would hold up a key typed meanwhile.
    static constexpr int SlowRedrawMs = 12;

    PlotView(const QString &objectName, QWidget *parent);

    void setDrawer(Drawer drawer);
    void schedule();
    // Draws at once when a redraw is pending, visible or not (before saving or printing).
    void flush();
    bool isPending() const { return m_pending; }
    int redrawCount() const { return m_redraws; }
    // "CAPTION [N plottables, M items]": what the picture now holds, for tests and the driver.
    QString describe() const;

    // Empty frame: the axes with their titles, no data, no caption but `caption`.
    void resetFrame(const QString &caption, const QString &xTitle, const QString &yTitle);

    // The picture as an image at print quality (300 dpi at its size on screen).
    QImage printImage();
    void copyToClipboard();
    // Asks for a file through the seams and saves; "图形保存失败！" when writing fails.
    void saveWithDialog();
    // PNG, SVG or PDF by the suffix; written beside and renamed, so a failure leaves nothing.
    bool saveTo(const QString &path);

  protected:
    void showEvent(QShowEvent *event) override;

  private:
    void redraw();
    bool writeSvg(QIODevice &device);
    bool writePdf(QIODevice &device);

    Drawer m_drawer;
    QTimer *m_timer{nullptr};
    QCPTextElement *m_caption{nullptr};
    bool m_pending{false};
    int m_redraws{0};
    qint64 m_lastRedrawMs{0};
};

// Puts a picture named `name` beside `panel`'s own fields: at the right when the fields leave
// room for it at their preferred width (as wide as they leave, up to `largest`), else under
// them, as a strip at most 180 pixels tall. The picture lives in a margin of the panel's layout, so
// no field moves.
PlotView *attachPicture(QWidget *panel, const QString &name, QSize smallest = {260, 260},
                        QSize largest = {440, 330});

} // namespace quarbel
