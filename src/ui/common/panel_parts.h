#pragma once

#include <QString>

#include <array>

class QGridLayout;
class QLabel;
class QWidget;

namespace quarbel {

// A result field a computation writes into; `name` is its control name (Label5_6, Label13_7).
QLabel *resultField(const QString &name, QWidget *parent, bool emphasised = false);

// Adds a row of three critical-value fields, each under "t" with the level as subscript
// (`subscript` goes before the level, as "r " for the correlation test), from `row` on.
void addCriticalRows(QGridLayout *layout, int row, const QString &subscript,
                     const std::array<QLabel *, 3> &fields);

} // namespace quarbel
