#include "ui/common/result_label.h"

namespace quarbel {

ResultLabel::ResultLabel(QWidget *parent) : QLabel(parent) {}

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
