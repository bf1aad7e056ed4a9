#include "ui/common/panel_parts.h"

#include "ui/common/result_label.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QPaintEvent>
#include <QScreen>

namespace quarbel {

void Panel::paintEvent(QPaintEvent *event) {
    // A few pixels in from the contents, clear of the style's rounded corners.
    constexpr int corner = 3;
    if (!contentsRect().adjusted(corner, corner, -corner, -corner).contains(event->rect()))
        QFrame::paintEvent(event);
}

QString controlName(const char *array, int index) {
    return QStringLiteral("%1_%2").arg(QLatin1String(array)).arg(index);
}

QLabel *tableLabel(const QString &text, QWidget *parent, const QString &name) {
    auto *label = new QLabel(text, parent);
    if (!name.isEmpty())
        label->setObjectName(name);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

void makeBold(QWidget *widget, bool bold) {
    QFont font = widget->font();
    font.setBold(bold);
    widget->setFont(font);
}

QLabel *boldLabel(const QString &text, QWidget *parent, const QString &name) {
    QLabel *label = tableLabel(text, parent, name);
    makeBold(label);
    return label;
}

void setResultStyle(QLabel *label) {
    label->setStyleSheet(QStringLiteral("color: red;"));
}

QLabel *resultField(const QString &name, QWidget *parent, bool emphasised) {
    auto *label = new ResultLabel(parent);
    label->setObjectName(name);
    label->setMinimumWidth(90);
    if (emphasised)
        setResultStyle(label);
    return label;
}

QLabel *columnHeader(const QString &text, QWidget *parent) {
    auto *label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignCenter);
    makeBold(label);
    return label;
}

QLabel *fieldLabel(const QString &name, QWidget *parent) {
    auto *label = new ResultLabel(parent);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignCenter);
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    label->setMinimumWidth(96);
    return label;
}

QLabel *judgmentField(const QString &name, QWidget *parent) {
    QLabel *field = fieldLabel(name, parent);
    field->setMinimumWidth(340);
    field->setWordWrap(true);
    return field;
}

QGridLayout *resultGrid(QWidget *panel) {
    auto *grid = new QGridLayout(panel);
    grid->setColumnStretch(2, 1);
    return grid;
}

QLabel *addResultRow(QGridLayout *grid, const QString &caption, QLabel *field) {
    const int row = grid->rowCount();
    auto *label = new QLabel(caption, field->parentWidget());
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(label, row, 0);
    grid->addWidget(field, row, 1);
    return field;
}

void addFieldRows(QGridLayout *layout, int row,
                  std::initializer_list<std::pair<QString, QLabel *>> fields) {
    for (const auto &[caption, field] : fields) {
        layout->addWidget(new QLabel(caption, layout->parentWidget()), row, 0, Qt::AlignRight);
        layout->addWidget(field, row++, 1);
    }
}

void addCriticalRows(QGridLayout *layout, int row, const QString &subscript,
                     const std::array<QLabel *, 3> &fields) {
    const char *levels[3] = {"0.05", "0.01", "0.001"};
    for (int i = 0; i < 3; ++i) {
        auto *caption = new QLabel(
            QStringLiteral("<i>t</i><sub>%1%2</sub> =").arg(subscript, QLatin1String(levels[i])),
            layout->parentWidget());
        caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        layout->addWidget(caption, row + i, 0);
        layout->addWidget(fields[std::size_t(i)], row + i, 1);
    }
}

QList<NumericCell *> addCells(QGridLayout *grid, QWidget *parent, const CellBlock &block,
                              CellRules rules, const std::function<void()> &onEdited) {
    QList<NumericCell *> cells;
    for (int k = 0; k < block.count; ++k) {
        auto *cell = new NumericCell(controlName(block.array, k), rules, parent);
        cell->setAlignment(Qt::AlignCenter);
        if (block.maximumWidth > 0)
            cell->setMaximumWidth(block.maximumWidth);
        QObject::connect(cell, &NumericCell::edited, parent, [onEdited] { onEdited(); });
        grid->addWidget(cell, block.row + k / block.columns, block.column + k % block.columns);
        cells.append(cell);
    }
    return cells;
}

void centreOnScreen(QWidget *window) {
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        window->move((area.width() - window->width()) / 2, (area.height() - window->height()) / 2);
    }
}

} // namespace quarbel
