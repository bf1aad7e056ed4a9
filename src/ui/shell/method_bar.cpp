#include "ui/shell/method_bar.h"

#include "core/shell/methods.h"
#include "ui/common/panel_parts.h"
#include "ui/shell/launches.h"

#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace quarbel {

MethodBar::MethodBar(const QStringList &added, QWidget *parent) : QWidget(parent) {
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    for (int i = 0; i < MethodCount; ++i) {
        QPushButton *button = methodButton(methodCaptions().at(std::size_t(i)), i, this);
        button->setMinimumHeight(36);
        column->addWidget(button);
    }
    if (!added.isEmpty()) {
        // Below the eight, so theirs keep their places; lower buttons, so all fit at 768 px.
        auto *group = new QGroupBox(tr("更多方法"), this);
        group->setObjectName(QStringLiteral("MoreMethods"));
        auto *inner = new QVBoxLayout(group);
        inner->setContentsMargins(4, 4, 4, 4);
        for (int i = 0; i < added.size(); ++i)
            inner->addWidget(methodButton(added[i], MethodCount + i, group));
        column->addWidget(group);
    }
    column->addSpacing(16);
    auto *generator = new QPushButton(QStringLiteral("正态分布数据生成工具"), this);
    generator->setObjectName(QStringLiteral("Command2"));
    connect(generator, &QPushButton::clicked, this, &MethodBar::generatorChosen);
    auto *tutorial = new QPushButton(QStringLiteral("统计学傻瓜教程"), this);
    tutorial->setObjectName(QStringLiteral("Command4"));
    connect(tutorial, &QPushButton::clicked, this, [] { openTutorial(); });
    auto *calculator = new QPushButton(QStringLiteral("计算器"), this);
    calculator->setObjectName(QStringLiteral("Command5"));
    connect(calculator, &QPushButton::clicked, this, [] { startCalculator(); });
    for (QPushButton *tool : {generator, tutorial, calculator})
        column->addWidget(tool);
    column->addStretch(1);
}

QPushButton *MethodBar::methodButton(const QString &caption, int method, QWidget *parent) {
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(controlName("Command1", method));
    connect(button, &QPushButton::clicked, this, [this, method] { Q_EMIT methodChosen(method); });
    m_buttons.push_back(button);
    return button;
}

void MethodBar::setActive(int method) {
    for (std::size_t i = 0; i < m_buttons.size(); ++i)
        makeBold(m_buttons[i], int(i) == method);
}

} // namespace quarbel
