#pragma once

#include <QString>

#include <array>

namespace quarbel {

// The eight methods in the order of the method bar; the index is what export and import read.
enum Method : int {
    TwoSampleT = 0,
    PairedT = 1,
    Anova = 2,
    FourFold = 3,
    PairedFourFold = 4,
    RxC = 5,
    Correlation = 6,
    Graded = 7,
};
inline constexpr int MethodCount = 8;

inline const std::array<QString, MethodCount> &methodCaptions() {
    static const std::array<QString, MethodCount> captions{
        QStringLiteral("两样本均数t检验"),   QStringLiteral("配对资料t检验"),
        QStringLiteral("方差分析（F检验）"), QStringLiteral("计数资料卡方检验"),
        QStringLiteral("配对资料卡方检验"),  QStringLiteral("多个样本率卡方检验"),
        QStringLiteral("直线相关与回归"),    QStringLiteral("秩和检验及Ridit分析"),
    };
    return captions;
}

inline const QString &gridHint() {
    static const QString hint = QStringLiteral("（按回车键或“↓”键输入下一个数据）");
    return hint;
}

// Methods whose input is one of the two data grids: they get the grid hint in their heading
// and may import and export.
inline bool usesGrid(int index) {
    return index == TwoSampleT || index == PairedT || index == Anova || index == Correlation;
}

inline QString methodHeading(int index) {
    const QString &caption = methodCaptions().at(std::size_t(index));
    return usesGrid(index) ? caption + gridHint() : caption;
}

} // namespace quarbel
