#include "ui/shell/svg_picture.h"

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

namespace quarbel {

SvgPicture::SvgPicture(const QString &resource, const QSize &size, QWidget *parent)
    : QWidget(parent), m_renderer(new QSvgRenderer(resource, this)), m_size(size) {
    setFixedSize(size);
}

void SvgPicture::paintEvent(QPaintEvent *) {
    const qreal ratio = devicePixelRatioF();
    QImage image((QSizeF(size()) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        QSizeF drawn = m_renderer->defaultSize();
        drawn.scale(QSizeF(size()), Qt::KeepAspectRatio);
        const QPointF corner((width() - drawn.width()) / 2, (height() - drawn.height()) / 2);
        m_renderer->render(&painter, QRectF(corner, drawn));
    }
    if (!isEnabled()) {
        // Grey and faint, as the toolkit shows a disabled icon.
        image = image.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < image.height(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                const int grey = qGray(line[x]);
                line[x] = qRgba(grey, grey, grey, qAlpha(line[x]) * 2 / 5);
            }
        }
    }
    QPainter(this).drawImage(QPointF(0, 0), image);
}

} // namespace quarbel
