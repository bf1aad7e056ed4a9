#include "ui/common/result_label.h"

#include <QEvent>
#include <QStyle>
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
    m.oneLine = metrics.boundingRect(0, 0, 2000 - m.extra.width(), 2000, m.flags, shown).size();
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

void ResultLabel::changeEvent(QEvent *event) {
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        m_measuredFor.reset();
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
