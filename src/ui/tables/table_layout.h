#pragma once

#include <QGridLayout>
#include <QLabel>
#include <QString>

namespace quarbel {

// "Label18", 4 -> "Label18_4": controls of an array are found by these names.
inline QString itemName(const char *array, int index) {
    return QStringLiteral("%1_%2").arg(QLatin1String(array)).arg(index);
}

// A label; named when it is one of the controls the method switch or a story addresses.
inline QLabel *tableLabel(const QString &text, QWidget *parent, const QString &name = {}) {
    auto *label = new QLabel(text, parent);
    if (!name.isEmpty())
        label->setObjectName(name);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

// A field that shows a total or a result, framed so an empty one is still visible.
inline QLabel *fieldLabel(const QString &name, QWidget *parent) {
    auto *label = tableLabel(QString(), parent, name);
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    label->setMinimumWidth(96);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

// A result panel's grid of "caption  field" rows; the spare width stays to the right.
inline QGridLayout *resultGrid(QWidget *panel) {
    auto *grid = new QGridLayout(panel);
    grid->setColumnStretch(2, 1);
    return grid;
}

// A judgment field, wide enough for the longest message of its method.
inline QLabel *judgmentField(const QString &name, QWidget *parent) {
    QLabel *field = fieldLabel(name, parent);
    field->setMinimumWidth(340);
    field->setWordWrap(true);
    return field;
}

// One "caption  field" row of a result panel.
inline QLabel *addResultRow(QGridLayout *grid, const QString &caption, QLabel *field) {
    const int row = grid->rowCount();
    auto *label = new QLabel(caption, field->parentWidget());
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(label, row, 0);
    grid->addWidget(field, row, 1);
    return field;
}

} // namespace quarbel
