#include "ui/common/result_label.h"

#include <QEvent>
#include <QPaintEngine>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QTextDocument>

#include <algorithm>

namespace quarbel {

ResultLabel::ResultLabel(QWidget *parent) : QLabel(parent) {
    setSelectable(false);
}

bool ResultLabel::isPlainText() const {
    // An empty label and a selectable one (which keeps a text document) are sized by the
    // label's own rules.
    const QString shown = text();
    constexpr Qt::TextInteractionFlags document =
        Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard | Qt::TextEditable;
    return !shown.isEmpty() && !(textInteractionFlags() & document) &&
           (textFormat() == Qt::PlainText ||
            (textFormat() == Qt::AutoText && !Qt::mightBeRichText(shown)));
}

namespace {

// A text the label draws on one line straight from its layout: left to right, and nothing a
// label's drawing treats specially (line breaks, tabs, mnemonics, spaces at either end).
bool drawnAsOneLine(const QString &text) {
    if (text.isRightToLeft() || text.front().isSpace() || text.back().isSpace())
        return false;
    return std::none_of(text.begin(), text.end(), [](QChar c) {
        return c.unicode() < 0x20 || c == u'&' || c.unicode() == 0x9c ||
               c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
    });
}

} // namespace

// The text's box on one line, and what the label adds around it (margins, the frame, and the
// indent a frame brings), as the label itself measures them; once per text.
const ResultLabel::Measure &ResultLabel::measure() const {
    const QString shown = text();
    const MeasuredFor now{shown,    wordWrap(), minimumWidth(),   int(alignment()),
                          margin(), indent(),   contentsMargins()};
    if (m_measuredFor == now)
        return m_measure;
    Measure &m = m_measure;
    const QFontMetrics metrics = fontMetrics();
    int across = 2 * margin(), down = across;
    int inset = indent();
    if (inset < 0 && frameWidth() > 0)
        inset = metrics.horizontalAdvance(u'x') - 2 * margin();
    const Qt::Alignment align = QStyle::visualAlignment(layoutDirection(), alignment());
    if (inset > 0) {
        if (align & (Qt::AlignLeft | Qt::AlignRight))
            across += inset;
        if (align & (Qt::AlignTop | Qt::AlignBottom))
            down += inset;
    }
    const QMargins margins = contentsMargins();
    m.extra =
        QSize(across + margins.left() + margins.right(), down + margins.top() + margins.bottom());
    m.flags = int(align & ~(Qt::AlignVCenter | Qt::AlignHCenter));
    m_line.reset();
    if (drawnAsOneLine(shown)) {
        // Shaped as the label's own drawing shapes it, so the line can be drawn as it stands.
        m_line.emplace(shown, font(), this);
        QTextOption option;
        option.setTextDirection(Qt::LeftToRight);
        m_line->setTextOption(option);
        m_line->setCacheEnabled(true);
        m_line->beginLayout();
        QTextLine line = m_line->createLine();
        line.setLineWidth(0x01000000);
        line.setPosition(QPointF(0, 0));
        m_line->endLayout();
        m.oneLine = QRectF(0, 0, line.naturalTextWidth(), line.height()).toAlignedRect().size();
    } else {
        m.oneLine = metrics.boundingRect(0, 0, 2000 - m.extra.width(), 2000, m.flags, shown).size();
    }
    m.hint = m.oneLine;
    if (wordWrap()) {
        // Laid out at a width it wraps at, as the label does: its own minimum width if it has
        // one, else a golden-ratio search from eighty characters, narrower while few lines.
        const bool search = minimumWidth() <= 0;
        const int width =
            (search ? std::min(metrics.averageCharWidth() * 80, maximumWidth()) : minimumWidth()) -
            m.extra.width();
        QSize box = wrappedAt(width);
        if (search && box.height() < 4 * metrics.lineSpacing() && box.width() > width / 2)
            box = wrappedAt(width / 2);
        if (search && box.height() < 2 * metrics.lineSpacing() && box.width() > width / 4)
            box = wrappedAt(width / 4);
        m.hint = box;
    }
    m.hint += m.extra;
    m_measuredFor = now;
    return m;
}

// The text's box wrapped at `width`: the one-line box where it fits, without laying it out.
QSize ResultLabel::wrappedAt(int width) const {
    if (m_measure.oneLine.width() < width)
        return m_measure.oneLine;
    return fontMetrics()
        .boundingRect(0, 0, width, 2000, m_measure.flags | Qt::TextWordWrap, text())
        .size();
}

QSize ResultLabel::sizeHint() const {
    if (!isPlainText())
        return QLabel::sizeHint();
    return measure().hint.expandedTo(minimumSize());
}

QSize ResultLabel::minimumSizeHint() const {
    if (!isPlainText())
        return QLabel::minimumSizeHint();
    if (!wordWrap())
        return sizeHint(); // one line cannot be narrower than itself
    // Wrapped: one line high, and no narrower than the label adds around its text. A label's
    // own least width would be its widest word, which no result is wider than the box holding
    // it; working it out lays the text out a word to a line.
    const Measure &m = measure();
    return QSize(m.extra.width(), std::min(m.oneLine.height() + m.extra.height(), m.hint.height()))
        .expandedTo(minimumSize());
}

int ResultLabel::heightForWidth(int width) const {
    if (!isPlainText() || !wordWrap())
        return QLabel::heightForWidth(width);
    const Measure &m = measure();
    const int inside = std::max(width, minimumWidth()) - m.extra.width();
    return m.oneLine.width() < inside ? m.oneLine.height() + m.extra.height()
                                      : QLabel::heightForWidth(width);
}

// Where a label draws its text: inside its margins, and inside the indent a frame brings on
// the sides the text is aligned to.
QRect ResultLabel::textRect() const {
    QRect inside = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    const Qt::Alignment align = QStyle::visualAlignment(Qt::LeftToRight, alignment());
    int inset = indent();
    if (inset < 0 && frameWidth() > 0)
        inset = fontMetrics().horizontalAdvance(u'x') / 2 - margin();
    if (inset > 0) {
        if (align & Qt::AlignLeft)
            inside.setLeft(inside.left() + inset);
        if (align & Qt::AlignRight)
            inside.setRight(inside.right() - inset);
        if (align & Qt::AlignTop)
            inside.setTop(inside.top() + inset);
        if (align & Qt::AlignBottom)
            inside.setBottom(inside.bottom() - inset);
    }
    return inside;
}

// Whether the label shows its text on the one line it was measured with: in the style's own
// colours (no style sheet, enabled), and not wrapped at the width it has.
bool ResultLabel::drawsOneLine() const {
    if (!isPlainText() || !isEnabled() || testAttribute(Qt::WA_StyleSheet) || buddy())
        return false;
    const Measure &m = measure();
    return m_line && (!wordWrap() || m.oneLine.width() < textRect().width());
}

void ResultLabel::paintEvent(QPaintEvent *event) {
    if (!drawsOneLine()) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    if (painter.paintEngine()->paintDevice()->devicePixelRatio() != 1) {
        // A scaled screen places glyphs by rules of its own: the label draws there itself.
        painter.end();
        QLabel::paintEvent(event);
        return;
    }
    // Placed as a label's drawing places one line: on whole pixels when centred as a box, the
    // line itself centred on its advance, and clipped to the text's room where it overflows.
    drawFrame(&painter);
    const QRect room = textRect();
    const QTextLine line = m_line->lineAt(0);
    const Qt::Alignment align = QStyle::visualAlignment(Qt::LeftToRight, alignment());
    const qreal width = line.naturalTextWidth(), height = line.height();
    qreal top = 0, boxLeft = 0, lineLeft = 0;
    if (align & Qt::AlignBottom)
        top = room.height() - height;
    else if (align & Qt::AlignVCenter)
        top = -qRound(-(room.height() - height) / 2);
    const qreal advance = line.horizontalAdvance();
    if (align & Qt::AlignRight) {
        boxLeft = room.width() - width;
        lineLeft = room.width() - advance;
    } else if (align & Qt::AlignHCenter) {
        boxLeft = qRound((room.width() - width) / 2);
        lineLeft = (room.width() - advance) / 2;
    }
    if (!QRectF(room).contains(QRectF(room.x() + boxLeft, room.y() + top, width, height)))
        painter.setClipRect(room, Qt::IntersectClip);
    QStyleOption option;
    option.initFrom(this);
    painter.setPen(QPen(option.palette.brush(foregroundRole()), painter.pen().widthF()));
    line.draw(&painter, QPointF(room.x() + lineLeft, room.y() + top));
}

void ResultLabel::changeEvent(QEvent *event) {
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        m_measuredFor.reset();
        m_line.reset();
    }
    QLabel::changeEvent(event);
}

void ResultLabel::setSelectable(bool selectable) {
    setTextInteractionFlags(selectable ? Qt::TextSelectableByMouse : Qt::NoTextInteraction);
}

void ResultLabel::enterEvent(QEnterEvent *event) {
    setSelectable(true);
    QLabel::enterEvent(event);
}

void ResultLabel::leaveEvent(QEvent *event) {
    QLabel::leaveEvent(event);
    // A selection the user made stays until the focus goes elsewhere, so it can still be copied
    // with the keyboard.
    if (!hasFocus())
        setSelectable(false);
}

void ResultLabel::focusOutEvent(QFocusEvent *event) {
    QLabel::focusOutEvent(event);
    if (!underMouse())
        setSelectable(false);
}

} // namespace quarbel
