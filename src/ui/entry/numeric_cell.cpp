#include "ui/entry/numeric_cell.h"

namespace quarbel {

NumericCell::NumericCell(const QString &name, CellRules rules, QWidget *parent)
    : QLineEdit(parent), m_rules(rules) {
    setObjectName(name);
    connect(this, &QLineEdit::textChanged, this, &NumericCell::onTextChanged);
}

void NumericCell::onTextChanged(const QString &text) {
    if (m_gate && m_gate())
        return;
    const QString cleaned = applyCellRules(text, m_rules);
    if (cleaned != text) {
        setText(cleaned); // re-enters with the cleaned text, which does the work
        return;
    }
    if (m_rules.caretToEnd)
        setCursorPosition(int(text.size()));
    Q_EMIT edited(text);
}

} // namespace quarbel
