// The shape check the property tests rely on: it must reject what a broken computation shows.
#include "robust_support.h"

#include <gtest/gtest.h>

using quarbel::robust::malformedNumber;

namespace {

struct ShapeCase {
    const char *name;
    const char *shown;
    bool wellFormed;
};

class NumberShape : public testing::TestWithParam<ShapeCase> {};

TEST_P(NumberShape, AcceptsOnlyPlainDecimals) {
    EXPECT_EQ(malformedNumber(QString::fromUtf8(GetParam().shown)).isEmpty(), GetParam().wellFormed)
        << GetParam().shown;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, NumberShape,
    testing::Values(
        ShapeCase{"Empty", "", true}, ShapeCase{"Display", "-2.2361", true},
        ShapeCase{"Whole", "2524", true}, ShapeCase{"Judged", "F = 7.9167  p < 0.01", true},
        ShapeCase{"PairLine", "第1组与第2组比较：LSD-t=1.2300 p=0.0123", true},
        ShapeCase{"Caption", "χ²<sub>0.05</sub> =", true}, ShapeCase{"Exponent", "1e+20", false},
        ShapeCase{"Nan", "t = nan", false}, ShapeCase{"Inf", "-inf", false},
        ShapeCase{"TwoPoints", "1.2.3", false}, ShapeCase{"DoubledSign", "--3", false},
        ShapeCase{"NegativeZero", "-0.0000", false}, ShapeCase{"TrailingPoint", "12.", false},
        ShapeCase{"Equation", "Y=-218218.0263+33238.3947X", true},
        ShapeCase{"EquationNegativeSlope", "Y=4.0000-1.2500X", true},
        ShapeCase{"EquationExponent", "Y=1e+20+2.0000X", false},
        ShapeCase{"EquationNegativeZeroSlope", "Y=1.0000-0.0000X", false}),
    [](const auto &row) { return std::string(row.param.name); });

} // namespace
