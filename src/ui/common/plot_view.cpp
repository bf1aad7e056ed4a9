#include "ui/common/plot_view.h"

#include "ui/common/seams.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>
#include <QTimer>

namespace quarbel {
namespace {

constexpr double PrintDpi = 300.0;
const QString PngFilter = QStringLiteral("PNG 图像(*.png)");
const QString SvgFilter = QStringLiteral("SVG 矢量图(*.svg)");
const QString PdfFilter = QStringLiteral("PDF 文档(*.pdf)");

// Keeps a picture in the right margin of its panel as the panel is laid out.
class Beside : public QObject {
  public:
    Beside(QWidget *panel, PlotView *picture) : QObject(panel), m_picture(picture) {
        panel->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Resize || event->type() == QEvent::Show) {
            auto *panel = static_cast<QWidget *>(watched);
            const int top = panel->layout() ? panel->layout()->contentsMargins().top() : 0;
            const QSize size = m_picture->minimumSize();
            m_picture->setGeometry(panel->width() - size.width() - Gap, top, size.width(),
                                   std::max(size.height(), panel->height() - 2 * top));
        }
        return false;
    }

  private:
    static constexpr int Gap = 6;
    PlotView *m_picture;
};

QString &lastFolder() {
    static QString folder = QDir::homePath();
    return folder;
}

} // namespace

PlotView::PlotView(const QString &objectName, QWidget *parent) : QCustomPlot(parent) {
    setObjectName(objectName);
    setMinimumSize(300, 240);
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
    // The first change starts the timer and later ones ride on it: at most one redraw a period
    // while typing, and the last state is drawn one period after the typing stops.
    if (isVisible() && !m_timer->isActive())
        m_timer->start();
}

void PlotView::flush() {
    if (m_pending)
        redraw();
}

void PlotView::showEvent(QShowEvent *event) {
    QCustomPlot::showEvent(event);
    if (m_pending)
        m_timer->start(0);
}

void PlotView::redraw() {
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
        this, QStringLiteral("保存图形"), lastFolder(),
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
    QCPPainter painter;
    if (!painter.begin(&pdf))
        return false;
    painter.setMode(QCPPainter::pmVectorized);
    painter.setMode(QCPPainter::pmNoCaching);
    painter.setWindow(rect());
    toPainter(&painter, width(), height());
    return painter.end();
}

PlotView *attachPicture(QWidget *panel, const QString &name, QSize size) {
    auto *picture = new PlotView(name, panel);
    picture->setMinimumSize(size);
    if (QLayout *fields = panel->layout()) {
        QMargins margins = fields->contentsMargins();
        margins.setRight(margins.right() + size.width() + 12);
        fields->setContentsMargins(margins);
        panel->setMinimumHeight(size.height() + margins.top() + margins.bottom());
    }
    new Beside(panel, picture);
    return picture;
}

} // namespace quarbel
