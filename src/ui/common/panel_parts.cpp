#include "ui/common/panel_parts.h"

#include <QGridLayout>
#include <QLabel>

namespace quarbel {

QLabel *resultField(const QString &name, QWidget *parent, bool emphasised) {
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setMinimumWidth(90);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    if (emphasised)
        label->setStyleSheet(QStringLiteral("color: red;"));
    return label;
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

} // namespace quarbel
