#pragma once

#include <QLabel>

namespace quarbel {

// A label that shows a computed value, which the user can select and copy. It takes the mouse
// only while the pointer is over it or it holds the focus: a selectable label keeps a text
// document that Qt lays out anew on every change, and the result labels change on every
// keystroke, most of them while the pointer is elsewhere.
class ResultLabel : public QLabel {
  public:
    explicit ResultLabel(QWidget *parent = nullptr);

  protected:
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

  private:
    void setSelectable(bool selectable);
};

} // namespace quarbel
