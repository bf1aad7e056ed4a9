#include "core/entry/wide_int.h"

#include <boost/multiprecision/cpp_int.hpp>
#include <cmath>
#include <gtest/gtest.h>

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

} // namespace
} // namespace quarbel
