#pragma once

#include "core/entry/details.h"

#include <QGroupBox>

class QLabel;

namespace quarbel {

// The "详细结果" box under a method's results: a caption and a value label per detail item,
// laid out from the computation's own item list, and the note line (`noteName`) under it.
class DetailsBox : public QGroupBox {
    Q_OBJECT
  public:
    DetailsBox(const Details &layout, const QString &noteName, QWidget *parent,
               int pairsPerRow = 2);

    // Writes every item's text by name and the note; items the layout lacks are ignored.
    void write(const Details &details);
    void clear();

  private:
    QList<QLabel *> m_values;
    QLabel *m_note{nullptr};
};

} // namespace quarbel
