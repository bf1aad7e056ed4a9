#include "ui/common/details_box.h"

#include "ui/common/result_label.h"

#include <QGridLayout>
#include <QLabel>
#include <QPaintEngine>
#include <QPaintEvent>
#include <QStyleOptionGroupBox>
#include <QStylePainter>
#include <QVBoxLayout>

namespace quarbel {

DetailsBox::DetailsBox(const Details &layout, const QString &noteName, QWidget *parent,
                       int pairsPerRow)
    : QGroupBox(QStringLiteral("详细结果"), parent) {
    setObjectName(noteName + QStringLiteral("Box"));
    auto *outer = new QVBoxLayout(this);
    auto *grid = new QGridLayout;
    // Tight enough that a box of three pairs a row leaves the picture its room beside it.
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(2);
    outer->addLayout(grid);
    for (qsizetype i = 0; i < layout.items.size(); ++i) {
        const DetailItem &item = layout.items[i];
        const int row = int(i / pairsPerRow), column = int(i % pairsPerRow) * 2;
        auto *caption = new QLabel(item.caption, this);
        caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        auto *value = new ResultLabel(this);
        value->setObjectName(item.name);
        value->setTextFormat(Qt::PlainText); // "<0.001" is a number, not markup
        value->setMinimumWidth(72);
        grid->addWidget(caption, row, column);
        grid->addWidget(value, row, column + 1);
        m_values.append(value);
    }
    grid->setColumnStretch(pairsPerRow * 2, 1);
    m_note = new ResultLabel(this);
    m_note->setObjectName(noteName);
    m_note->setTextFormat(Qt::PlainText);
    m_note->setWordWrap(true);
    // A long note wraps to the width the values take instead of widening the box, so a note
    // that appears never pushes the method's picture from beside the results to under them.
    QSizePolicy wrapping(QSizePolicy::Ignored, QSizePolicy::Preferred);
    wrapping.setHeightForWidth(true);
    m_note->setSizePolicy(wrapping);
    m_note->setStyleSheet(QStringLiteral("color: #8a4b00;"));
    outer->addWidget(m_note);
}

void DetailsBox::write(const Details &details) {
    for (QLabel *value : m_values)
        value->setText(details.text(value->objectName()));
    m_note->setText(details.note);
}

void DetailsBox::paintEvent(QPaintEvent *event) {
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    QStylePainter painter(this);
    // At the resolution drawn to, which is the screen's unless the box is rendered elsewhere.
    const qreal ratio = painter.paintEngine()->paintDevice()->devicePixelRatio();
    const QSize pixels = (QSizeF(size()) * ratio).toSize();
    if (m_frame.size() != pixels || m_frame.devicePixelRatio() != ratio) {
        m_frame = QPixmap(pixels);
        m_frame.setDevicePixelRatio(ratio);
        m_frame.fill(Qt::transparent);
        QStylePainter framePainter(&m_frame, this);
        QStyleOptionGroupBox frameOnly = option;
        frameOnly.subControls = QStyle::SC_GroupBoxFrame;
        framePainter.drawComplexControl(QStyle::CC_GroupBox, frameOnly);
    }
    // Piece by piece: a repaint is mostly a few values' small boxes, and the raster engine hands
    // one draw across many of them to other threads, which costs more than the drawing.
    for (const QRect &piece : event->region())
        painter.drawPixmap(piece, m_frame,
                           QRectF(QPointF(piece.topLeft()) * ratio, QSizeF(piece.size()) * ratio));
    const QRect dirty = event->rect();
    // The title straight onto the widget, so its text is drawn as the rest of the window's.
    const QRect title =
        style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, this);
    if (dirty.intersects(title)) {
        option.subControls = QStyle::SC_GroupBoxLabel;
        painter.drawComplexControl(QStyle::CC_GroupBox, option);
    }
}

void DetailsBox::changeEvent(QEvent *event) {
    // Style, palette, font, enabled state and activation all change how the frame is drawn.
    m_frame = QPixmap();
    QGroupBox::changeEvent(event);
}

void DetailsBox::clear() {
    for (QLabel *value : m_values)
        value->clear();
    m_note->clear();
}

} // namespace quarbel
