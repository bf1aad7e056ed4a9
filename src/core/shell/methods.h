#pragma once

#include <QCoreApplication>
#include <QString>

#include <array>

namespace quarbel {

// The methods in the order of the method bar; the index is what export, import, the report and
// the picture read. The eight classic methods come first; methods added later follow them, in a
// group of their own below the eight.
enum Method : int {
    TwoSampleT = 0,
    PairedT = 1,
    Anova = 2,
    FourFold = 3,
    PairedFourFold = 4,
    RxC = 5,
    Correlation = 6,
    Graded = 7,
    Survival = 8,
    Diagnostic = 9,
    Roc = 10,
    SampleSize = 11,
    KGroups = 12,
};
// The eight classic methods.
inline constexpr int MethodCount = 8;
// Every method, the added ones included.
inline constexpr int AllMethodCount = 13;

inline const std::array<QString, MethodCount> &methodCaptions() {
    static const std::array<QString, MethodCount> captions{
        QStringLiteral("两样本均数t检验"),   QStringLiteral("配对资料t检验"),
        QStringLiteral("方差分析（F检验）"), QStringLiteral("计数资料卡方检验"),
        QStringLiteral("配对资料卡方检验"),  QStringLiteral("多个样本率卡方检验"),
        QStringLiteral("直线相关与回归"),    QStringLiteral("秩和检验及Ridit分析"),
    };
    return captions;
}

// The caption of any method, the eight and the added ones; an index out of range gives the first.
inline QString methodCaption(int index) {
    if (index >= 0 && index < MethodCount)
        return methodCaptions().at(std::size_t(index));
    switch (index) {
    case Survival:
        return QCoreApplication::translate("Methods", "生存分析（Kaplan-Meier法）");
    case Diagnostic:
        return QCoreApplication::translate("Methods", "诊断试验评价");
    case Roc:
        return QCoreApplication::translate("Methods", "ROC曲线分析");
    case SampleSize:
        return QCoreApplication::translate("Methods", "样本量估计");
    case KGroups:
        return QCoreApplication::translate("Methods", "多组比较（2～10组）");
    default:
        return methodCaptions().front();
    }
}

inline const QString &gridHint() {
    static const QString hint = QStringLiteral("（按回车键或“↓”键输入下一个数据）");
    return hint;
}

// Methods whose input is one of the two data grids: they get the grid hint in their heading
// and may import and export.
inline bool usesGrid(int index) {
    return index == TwoSampleT || index == PairedT || index == Anova || index == Correlation ||
           index == Survival || index == Roc || index == KGroups;
}

inline QString methodHeading(int index) {
    const QString caption = methodCaption(index);
    return usesGrid(index) ? caption + gridHint() : caption;
}

} // namespace quarbel
