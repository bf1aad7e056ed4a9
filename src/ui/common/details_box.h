#pragma once

#include "core/entry/details.h"

#include <QGroupBox>
#include <QPixmap>

class QLabel;

namespace quarbel {

// The "详细结果" box under a method's results: a caption and a value label per detail item,
// laid out from the computation's own item list, and the note line (`noteName`) under it.
// Every value written repaints the box's frame beneath it, and the style draws that frame from
// an image it looks up on each paint: the frame is drawn once per size and resolution, kept,
// and copied back only under the pieces repainted.
class DetailsBox : public QGroupBox {
    Q_OBJECT
  public:
    DetailsBox(const Details &layout, const QString &noteName, QWidget *parent,
               int pairsPerRow = 2);

    // Writes every item's text by name and the note; items the layout lacks are ignored.
    void write(const Details &details);
    void clear();

  protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

  private:
    QList<QLabel *> m_values;
    QLabel *m_note{nullptr};
    QPixmap m_frame; // the frame without its title, as the style draws it; null when stale
};

} // namespace quarbel
