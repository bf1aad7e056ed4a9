#include "ui/common/plot_view.h"

#include "ui/common/seams.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>
#include <QTimer>

#include <algorithm>

namespace quarbel {
namespace {

constexpr double PrintDpi = 300.0;
const QString PngFilter = QStringLiteral("PNG 图像(*.png)");
const QString SvgFilter = QStringLiteral("SVG 矢量图(*.svg)");
const QString PdfFilter = QStringLiteral("PDF 文档(*.pdf)");

// Keeps a picture in a margin of its panel: at the right while the fields leave room for it
// there at their preferred width, else under them. The margin is the picture's own, so the
// fields never move; it goes back to nothing while the panel is hidden, so a panel that was
// wide once does not hold the window wide for the next method.
class Beside : public QObject {
  public:
    Beside(QWidget *panel, PlotView *picture, QSize smallest, QSize largest)
        : QObject(panel), m_panel(panel), m_picture(picture), m_smallest(smallest),
          m_largest(largest), m_base(panel->layout()->contentsMargins()) {
        picture->setMinimumSize(smallest.width(), std::min(smallest.height(), UnderHeight));
        panel->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == QEvent::Resize || event->type() == QEvent::Show)
            arrange();
        else if (event->type() == QEvent::Hide)
            setMargins(0, 0, 0);
        return false;
    }

  private:
    static constexpr int Gap = 12;
    // Under the fields a picture is a strip: fields tall enough to leave no room at their
    // right already take most of a 768-pixel screen.
    static constexpr int UnderHeight = 180;

    void setMargins(int right, int bottom, int minimumHeight) {
        const QMargins wanted(m_base.left(), m_base.top(), m_base.right() + right,
                              m_base.bottom() + bottom);
        if (m_panel->layout()->contentsMargins() != wanted)
            m_panel->layout()->setContentsMargins(wanted);
        m_panel->setMinimumHeight(minimumHeight);
    }

    void arrange() {
        QLayout *layout = m_panel->layout();
        const QMargins now = layout->contentsMargins();
        const QSize hint = layout->sizeHint();
        const int fieldsWidth = hint.width() - now.right() + m_base.right();
        const int fieldsHeight = hint.height() - now.bottom() + m_base.bottom();
        const QSize smallest = m_smallest;
        const int room = m_panel->width() - fieldsWidth - Gap;
        if (room >= smallest.width()) {
            const int width = std::min(room, std::max(smallest.width(), m_largest.width()));
            setMargins(Gap + width, 0, smallest.height() + m_base.top() + m_base.bottom());
            const int height = std::clamp(m_panel->height() - m_base.top() - m_base.bottom(),
                                          smallest.height(), m_largest.height());
            m_picture->setGeometry(m_panel->width() - m_base.right() - width, m_base.top(), width,
                                   height);
        } else {
            const int width = std::clamp(m_panel->width() - m_base.left() - m_base.right(),
                                         smallest.width(), m_largest.width());
            const int height = std::min(smallest.height(), UnderHeight);
            setMargins(0, Gap + height, 0);
            m_picture->setGeometry(m_base.left(), fieldsHeight + Gap - m_base.bottom(), width,
                                   height);
        }
    }

    QWidget *m_panel;
    PlotView *m_picture;
    QSize m_smallest;
    QSize m_largest;
    QMargins m_base;
};

QString &lastFolder() {
    static QString folder = QDir::homePath();
    return folder;
}

} // namespace

PlotView::PlotView(const QString &objectName, QWidget *parent) : QCustomPlot(parent) {
    setObjectName(objectName);
    setMinimumSize(240, 200);
    // The context menu: its entries are the picture's actions, found by name in tests.
    setContextMenuPolicy(Qt::ActionsContextMenu);
    auto *copy = new QAction(QStringLiteral("复制图形"), this);
    copy->setObjectName(objectName + QStringLiteral(".copy"));
    connect(copy, &QAction::triggered, this, &PlotView::copyToClipboard);
    auto *save = new QAction(QStringLiteral("保存图形…"), this);
    save->setObjectName(objectName + QStringLiteral(".save"));
    connect(save, &QAction::triggered, this, &PlotView::saveWithDialog);
    addActions({copy, save});
    m_timer = new QTimer(this);
    m_timer->setSingleShot(true);
    m_timer->setInterval(CoalesceMs);
    connect(m_timer, &QTimer::timeout, this, &PlotView::redraw);
    plotLayout()->insertRow(0);
    m_caption = new QCPTextElement(this, QString(), font());
    plotLayout()->addElement(0, 0, m_caption);
    resetFrame(QString(), QString(), QString());
    replot();
}

void PlotView::setDrawer(Drawer drawer) {
    m_drawer = std::move(drawer);
    schedule();
}

void PlotView::schedule() {
    m_pending = true;
    if (!isVisible())
        return;
    if (m_lastRedrawMs > SlowRedrawMs) {
        // Each change puts the redraw off again, until the changes pause for a few of its
        // own durations.
        m_timer->start(int(std::max<qint64>(CoalesceMs, 3 * m_lastRedrawMs)));
    } else if (!m_timer->isActive()) {
        // The first change starts the timer and later ones ride on it: at most one redraw a
        // period while typing, and the last state is drawn one period after the typing stops.
        m_timer->start(CoalesceMs);
    }
}

void PlotView::flush() {
    if (m_pending)
        redraw();
}

void PlotView::showEvent(QShowEvent *event) {
    QCustomPlot::showEvent(event);
    // Drawn as soon as the window has settled; the coalescing timer keeps its own period.
    if (m_pending)
        QMetaObject::invokeMethod(this, &PlotView::flush, Qt::QueuedConnection);
}

void PlotView::redraw() {
    QElapsedTimer clock;
    clock.start();
    m_timer->stop();
    m_pending = false;
    ++m_redraws;
    clearPlottables();
    clearItems();
    qDeleteAll(findChildren<QCPBarsGroup *>(Qt::FindDirectChildrenOnly));
    resetFrame(QString(), QString(), QString());
    if (m_drawer)
        m_drawer(*this);
    replot();
    m_lastRedrawMs = clock.elapsed();
}

void PlotView::resetFrame(const QString &caption, const QString &xTitle, const QString &yTitle) {
    // The window's own font, so Chinese titles render as the rest of the window does.
    const QFont f = font();
    QFont small = f;
    small.setPointSizeF(f.pointSizeF() * 0.9);
    m_caption->setFont(f);
    m_caption->setText(caption);
    for (QCPAxis *axis : {xAxis, yAxis}) {
        axis->setLabelFont(f);
        axis->setTickLabelFont(small);
        axis->setTicker(QSharedPointer<QCPAxisTicker>(new QCPAxisTicker));
        axis->setTickLabelRotation(0);
        axis->setRange(0, 1);
    }
    xAxis->setLabel(xTitle);
    yAxis->setLabel(yTitle);
    yAxis2->setVisible(false);
    yAxis2->setLabel(QString());
    yAxis2->setLabelFont(f);
    yAxis2->setTickLabelFont(small);
    legend->clearItems();
    legend->setVisible(false);
    legend->setFont(small);
}

QString PlotView::describe() const {
    return QStringLiteral("%1 [%2 plottables, %3 items]")
        .arg(m_caption->text())
        .arg(plottableCount())
        .arg(itemCount());
}

QImage PlotView::printImage() {
    flush();
    const double scale = PrintDpi / logicalDpiX();
    QImage image = toPixmap(width(), height(), scale).toImage();
    const int dotsPerMetre = qRound(PrintDpi / 0.0254);
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    return image;
}

void PlotView::copyToClipboard() {
    QApplication::clipboard()->setImage(printImage());
}

void PlotView::saveWithDialog() {
    Seams &seams = Seams::instance();
    QString filter = PngFilter;
    const QString chosen = seams.saveFileName(
        this, QStringLiteral("保存图形"), dialogStartFolder(lastFolder()),
        PngFilter + QStringLiteral(";;") + SvgFilter + QStringLiteral(";;") + PdfFilter, &filter);
    if (chosen.isEmpty())
        return;
    lastFolder() = QFileInfo(chosen).absolutePath();
    // A name ending in a picture type keeps it; otherwise the chosen type's suffix is added.
    QString path = chosen;
    const QString suffix = QFileInfo(chosen).suffix().toLower();
    if (suffix != u"png" && suffix != u"svg" && suffix != u"pdf")
        path += filter == SvgFilter   ? QStringLiteral(".svg")
                : filter == PdfFilter ? QStringLiteral(".pdf")
                                      : QStringLiteral(".png");
    if (QFileInfo::exists(path) && !seams.confirmOverwrite(this, path))
        return;
    if (!saveTo(path))
        seams.message(this, QStringLiteral("提示"), QStringLiteral("图形保存失败！"));
}

bool PlotView::saveTo(const QString &path) {
    flush();
    const QString suffix = QFileInfo(path).suffix().toLower();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    bool written = false;
    if (suffix == u"svg")
        written = writeSvg(file);
    else if (suffix == u"pdf")
        written = writePdf(file);
    else if (suffix == u"png")
        written = printImage().save(&file, "PNG");
    if (!written) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool PlotView::writeSvg(QIODevice &device) {
    QSvgGenerator svg;
    svg.setOutputDevice(&device);
    svg.setSize(size());
    svg.setViewBox(rect());
    svg.setResolution(logicalDpiX());
    svg.setTitle(m_caption->text());
    QCPPainter painter;
    if (!painter.begin(&svg))
        return false;
    painter.setMode(QCPPainter::pmVectorized);
    painter.setMode(QCPPainter::pmNoCaching);
    toPainter(&painter, width(), height());
    return painter.end();
}

bool PlotView::writePdf(QIODevice &device) {
    QPdfWriter pdf(&device);
    pdf.setCreator(QApplication::applicationName());
    pdf.setTitle(m_caption->text());
    // One page the size of the picture on screen, in points.
    const QSizeF points(width() * 72.0 / logicalDpiX(), height() * 72.0 / logicalDpiY());
    pdf.setPageSize(QPageSize(points, QPageSize::Point));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    // At the screen's resolution one device pixel is one pixel of the picture, so the fonts,
    // sized in points, keep their size relative to the plot.
    pdf.setResolution(logicalDpiX());
    QCPPainter painter;
    if (!painter.begin(&pdf))
        return false;
    painter.setMode(QCPPainter::pmVectorized);
    painter.setMode(QCPPainter::pmNoCaching);
    toPainter(&painter, width(), height());
    return painter.end();
}

PlotView *attachPicture(QWidget *panel, const QString &name, QSize smallest, QSize largest) {
    auto *picture = new PlotView(name, panel);
    picture->setMinimumSize(smallest);
    if (panel->layout())
        new Beside(panel, picture, smallest, largest);
    return picture;
}

} // namespace quarbel
