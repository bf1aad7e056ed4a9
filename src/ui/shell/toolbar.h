#pragma once

#include <QToolBar>

class QAction;

namespace quarbel {

// The row of picture buttons under the menu bar. Entry i is a frame `Picture14_i` holding an
// icon `Image7_i`, a caption `Label15_i` and a transparent hit area `Label28_i` over the whole
// entry that takes the mouse. The method switch enables and disables the import and export
// captions and hit areas by name; a disabled hit area takes no press, so the entry does nothing.
class ToolBar : public QToolBar {
    Q_OBJECT
  public:
    enum Entry { Import, Export, Tutorial, Help };

    explicit ToolBar(QWidget *parent = nullptr);

    // Import and export trigger these actions; the tutorial and help open their pages.
    void runEntries(QAction *importAction, QAction *exportAction);
    // Only a method that takes a grid may import and export.
    void setExchangeEnabled(bool enabled);

  Q_SIGNALS:
    // A release after a press on the entry, wherever the pointer then is.
    void activated(int entry);
};

} // namespace quarbel
