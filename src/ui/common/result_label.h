#pragma once

#include <QLabel>
#include <QTextLayout>

#include <optional>

namespace quarbel {

// A label that shows a computed value, which the user can select and copy. Results change on
// every keystroke, so a change is kept cheap:
// - It takes the mouse only while the pointer is over it or it holds the focus: a selectable
//   label keeps a text document that Qt lays out anew on every change, and the pointer is
//   mostly elsewhere.
// - A plain text is measured once per change on one line, and laid out wrapped only where it
//   does not fit: the same hints a plain label gives after laying it out three to seven times
//   (one word to a line among them), except a wrapped text's least width.
// - A text shown on one line is drawn from the line it was measured with, where a plain label
//   would shape it again: the same pixels, one shaping per change.
class ResultLabel : public QLabel {
  public:
    explicit ResultLabel(QWidget *parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    int heightForWidth(int width) const override;

  protected:
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void changeEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

  private:
    struct Measure {
        QSize oneLine; // the text's box on one line
        QSize extra;   // what the label adds around its text
        QSize hint;    // the size hint before the minimum size applies
        int flags{0};
    };
    // What a measure depends on besides the font: set once for most labels, but a change
    // must not leave an old measure in place.
    struct MeasuredFor {
        QString text;
        bool wrapped{false};
        int minimumWidth{0};
        int alignment{0};
        int margin{0};
        int indent{0};
        QMargins contents;
        bool operator==(const MeasuredFor &) const = default;
    };

    void setSelectable(bool selectable);
    bool isPlainText() const;
    const Measure &measure() const;
    QSize wrappedAt(int width) const;
    QRect textRect() const;
    bool drawsOneLine() const;

    mutable std::optional<MeasuredFor> m_measuredFor; // none until measured or after a font change
    mutable Measure m_measure;
    // The text shaped on one line, when it can be drawn as the label would draw it: left to
    // right, without line breaks, tabs or mnemonics.
    mutable std::optional<QTextLayout> m_line;
};

} // namespace quarbel
