#pragma once

#include "core/entry/cell_rules.h"

#include <QLineEdit>

#include <functional>

namespace quarbel {

// An entry cell that applies its family's input rules on every change of its text, whether
// typed or written by the program, and then announces the cleaned text with edited().
// A rule's write-back re-enters the change handler, so edited() fires once, for the final text.
class NumericCell : public QLineEdit {
    Q_OBJECT
  public:
    NumericCell(const QString &name, CellRules rules, QWidget *parent);

    // While the gate answers true, changes are ignored entirely (no rules, no edited()): the
    // grids set it while they copy list entries into their cells.
    void setGate(std::function<bool()> gate) { m_gate = std::move(gate); }

  Q_SIGNALS:
    void edited(const QString &text);

  private:
    void onTextChanged(const QString &text);

    CellRules m_rules;
    std::function<bool()> m_gate;
};

} // namespace quarbel
