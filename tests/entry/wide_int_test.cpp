#include "core/entry/running_totals.h"
#include "core/entry/wide_int.h"

#include <boost/multiprecision/cpp_int.hpp>
#include <cmath>
#include <gtest/gtest.h>
#include <random>

namespace quarbel {
namespace {

// The overflow rules must agree between the builtin and the portable integer, and both must
// refuse exactly at the edges of the signed 128-bit range.
template <class W> class WideIntTest : public ::testing::Test {};
#ifdef QUARBEL_BUILTIN_WIDE_INT
using Types = ::testing::Types<WideInt, boost::multiprecision::int128_t>;
#else
using Types = ::testing::Types<boost::multiprecision::int128_t>;
#endif
TYPED_TEST_SUITE(WideIntTest, Types);

TYPED_TEST(WideIntTest, SumsOverflowExactlyAtTheEdges) {
    using W = TypeParam;
    const W top = (W(1) << 126) - 1 + (W(1) << 126);
    W sum = top - 5;
    EXPECT_FALSE(addOverflows(sum, W(5)));
    EXPECT_TRUE(sum == top);
    EXPECT_TRUE(addOverflows(sum, W(1)));
    W low = -top;
    EXPECT_FALSE(addOverflows(low, W(-1))); // -2^127 is the last one
    EXPECT_TRUE(addOverflows(low, W(-1)));
}

TYPED_TEST(WideIntTest, ProductsOfTickCountsFitAndLargerOnesAreRefused) {
    using W = TypeParam;
    const W big = W(std::numeric_limits<std::int64_t>::max());
    W product = 0;
    EXPECT_FALSE(mulOverflows(big, big, &product));
    EXPECT_TRUE(product == big * big);
    EXPECT_FALSE(mulOverflows(W(-3), big, &product));
    EXPECT_TRUE(product == W(-3) * big);
    EXPECT_TRUE(mulOverflows(big * 4, big, &product));
    EXPECT_TRUE(mulOverflows(W(0) - big * 4, big, &product));
    EXPECT_FALSE(mulOverflows(W(0), big * big, &product));
}

TYPED_TEST(WideIntTest, ConvertsToFloatingPoint) {
    using W = TypeParam;
    EXPECT_DOUBLE_EQ(toDouble(W(-12345)), -12345.0);
    EXPECT_DOUBLE_EQ(toDouble(W(1) << 100), std::ldexp(1.0, 100));
}

TEST(WideInt64, SumsReportOverflowInsteadOfWrapping) {
    std::int64_t sum = std::numeric_limits<std::int64_t>::max() - 1;
    EXPECT_FALSE(addOverflows(sum, std::int64_t(1)));
    EXPECT_TRUE(addOverflows(sum, std::int64_t(1)));
    std::int64_t low = std::numeric_limits<std::int64_t>::min() + 1;
    EXPECT_FALSE(addOverflows(low, std::int64_t(-1)));
    EXPECT_TRUE(addOverflows(low, std::int64_t(-1)));
}

// Sums of squares of the largest tick counts cross the 128-bit boundary within a few terms,
// both upward and back down as entries are removed; the 192-bit sum must carry exactly.
TEST(ExactSum, CarriesAcrossTheLowWordBothWays) {
    std::mt19937_64 dice(5);
    const std::int64_t top = std::numeric_limits<std::int64_t>::max();
    ExactSum sum, other;
    exact::Int reference = 0, otherReference = 0;
    for (int i = 0; i < 4000; ++i) {
        const std::int64_t a = top - std::int64_t(dice() % 1000), b = std::int64_t(dice() % 3) - 1;
        const WideInt term = WideInt(a) * (b == 0 ? a : b * a);
        if (dice() % 3 == 0) {
            sum.subtract(term);
            reference -= exact::Int(term);
        } else {
            sum.add(term);
            reference += exact::Int(term);
        }
        if (i % 97 == 0) {
            other += sum;
            otherReference += reference;
        }
        ASSERT_TRUE(sum.value() == reference) << "step " << i;
    }
    EXPECT_TRUE(other.value() == otherReference);
    EXPECT_TRUE(reference > (exact::Int(1) << 130)); // well past the low word
}

} // namespace
} // namespace quarbel
