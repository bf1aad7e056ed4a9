#include "core/means/studentized_range.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using namespace quarbel;

namespace {

// One row of data/studentized_range.txt, computed by data/studentized_range.R.
struct RangeCase {
    std::string kind; // "cdf": x = q, reference = P(Q <= q); "quantile": x = p, reference = q
    int k{0};
    double nu{0};
    double x{0};
    double reference{0};
    std::string name;
};

void PrintTo(const RangeCase &c, std::ostream *os) {
    *os << c.name;
}

std::string nameOf(const RangeCase &c, const std::string &nuText, const std::string &xText) {
    std::string name = c.kind + "_k" + std::to_string(c.k) + "_nu" + nuText + "_" +
                       (c.kind == "cdf" ? "q" : "p") + xText;
    for (char &ch : name)
        if (ch == '.')
            ch = 'p';
    return name;
}

std::vector<RangeCase> referenceRows() {
    std::vector<RangeCase> rows;
    std::ifstream in(QUARBEL_TEST_DATA "/studentized_range.txt");
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        RangeCase c;
        std::string nuText, xText, source;
        fields >> c.kind >> c.k >> nuText >> xText >> c.reference >> source;
        c.nu = nuText == "Inf" ? INFINITY : std::stod(nuText);
        c.x = std::stod(xText);
        c.name = nameOf(c, nuText, xText);
        rows.push_back(c);
    }
    return rows;
}

class StudentizedRange : public testing::TestWithParam<RangeCase> {};

// Six significant digits at least; the reference is good to ten or more.
TEST_P(StudentizedRange, AgreesWithR) {
    const RangeCase &c = GetParam();
    const auto value = c.kind == "cdf" ? studentizedRangeCdf(c.x, c.k, c.nu)
                                       : studentizedRangeQuantile(c.x, c.k, c.nu);
    ASSERT_TRUE(value.has_value());
    EXPECT_NEAR(*value, c.reference, 5e-7 * std::fabs(c.reference));
}

INSTANTIATE_TEST_SUITE_P(R, StudentizedRange, testing::ValuesIn(referenceRows()),
                         [](const auto &row) { return row.param.name; });

TEST(StudentizedRangeData, IsThere) {
    EXPECT_GT(referenceRows().size(), 300u);
}

// Two means: the range over its standard error is √2 |t|, so the CDF is Student's in closed
// form for 2 degrees of freedom, P(|T| <= t) = t / sqrt(2 + t²).
TEST(StudentizedRangeEdges, TwoMeansMatchStudentsT) {
    for (double q : {0.3, 1.0, 2.5, 7.0, 30.0}) {
        const double t = q / std::sqrt(2.0);
        EXPECT_NEAR(*studentizedRangeCdf(q, 2, 2), t / std::sqrt(2 + t * t), 1e-9) << q;
    }
}

TEST(StudentizedRangeEdges, DomainAndLimits) {
    EXPECT_EQ(studentizedRangeCdf(0, 3, 10), 0.0);
    EXPECT_EQ(studentizedRangeCdf(-1, 3, 10), 0.0);
    EXPECT_EQ(studentizedRangeCdf(INFINITY, 3, 10), 1.0);
    // Far beyond any range, with many degrees of freedom: certain, not an overflow.
    EXPECT_EQ(studentizedRangeCdf(1e8, 3, 1000), 1.0);
    EXPECT_EQ(studentizedRangeCdf(1e8, 3, 1e9), 1.0);
    EXPECT_FALSE(studentizedRangeCdf(3, 3, 1.5).has_value());
    EXPECT_FALSE(studentizedRangeCdf(3, 1, 10).has_value());
    EXPECT_FALSE(studentizedRangeCdf(NAN, 3, 10).has_value());
    EXPECT_FALSE(studentizedRangeCdf(3, 3, NAN).has_value());
    EXPECT_FALSE(studentizedRangeQuantile(0, 3, 10).has_value());
    EXPECT_FALSE(studentizedRangeQuantile(1, 3, 10).has_value());
    EXPECT_FALSE(studentizedRangeQuantile(0.95, 3, 1).has_value());
    // Very many degrees of freedom approach the limit smoothly.
    EXPECT_NEAR(*studentizedRangeCdf(3.5, 3, 1e9), *studentizedRangeCdf(3.5, 3, INFINITY), 1e-8);
    // Fractional degrees of freedom (group sizes typed with decimals) lie between their
    // neighbours.
    const double low = *studentizedRangeCdf(3.5, 3, 10), high = *studentizedRangeCdf(3.5, 3, 11);
    const double mid = *studentizedRangeCdf(3.5, 3, 10.5);
    EXPECT_LT(low, mid);
    EXPECT_LT(mid, high);
}

} // namespace
