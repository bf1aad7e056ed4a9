#include "core/generator/normal_generator.h"
#include "core/generator/uniform_source.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace quarbel;

namespace {

const QString FillIn = QStringLiteral("请把数据填写完整！");
const QString Invalid = QStringLiteral("请输入有效的数字！");
const QString Unreachable = QStringLiteral("无法生成符合要求的数据，请调整输入！");

struct Outcome {
    GeneratorResult result;
    QStringList texts;
};

Outcome generate(const GeneratorInput &input, UniformSource &source) {
    NormalGenerator generator(planGeneration(input), source);
    while (!generator.advance(10'000)) {
    }
    return {generator.result(), generator.valueTexts()};
}

struct RefusalCase {
    const char *name;
    GeneratorInput input;
    QString message;
};

// Failures name the row instead of dumping its bytes.
void PrintTo(const RefusalCase &c, std::ostream *os) {
    *os << c.name;
}

class Refusal : public testing::TestWithParam<RefusalCase> {};

TEST_P(Refusal, ShowsItsMessageAndDrawsNothing) {
    const RefusalCase &c = GetParam();
    const GeneratorPlan plan = planGeneration(c.input);
    EXPECT_EQ(plan.message, c.message);
    UniformSource source, fresh;
    NormalGenerator generator(plan, source);
    EXPECT_TRUE(generator.advance(1));
    EXPECT_EQ(generator.result().message, c.message);
    EXPECT_TRUE(generator.values().empty());
    EXPECT_EQ(source.next(), fresh.next()) << "a refused input must not consume draws";
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, Refusal,
    testing::Values(RefusalCase{"EmptyMean", {"", "10", "100", "2"}, FillIn},
                    RefusalCase{"ZeroMean", {"0", "10", "100", "2"}, FillIn},
                    RefusalCase{"EmptySd", {"50", " ", "100", "2"}, FillIn},
                    RefusalCase{"ZeroCount", {"50", "10", "0.0", "2"}, FillIn},
                    RefusalCase{"LettersOnly", {"abc", "10", "100", "2"}, FillIn},
                    RefusalCase{"TrailingLetter", {"12a", "10", "100", "2"}, Invalid},
                    RefusalCase{"TwoPoints", {"50", "1.0.1", "100", "2"}, Invalid},
                    RefusalCase{"Exponent", {"5e1", "10", "100", "2"}, Invalid},
                    RefusalCase{"FractionalCount", {"50", "10", "2.5", "2"}, Invalid},
                    RefusalCase{"SingleValue", {"50", "10", "1", "2"}, Invalid},
                    RefusalCase{"NegativeCount", {"50", "10", "-5", "2"}, Invalid},
                    RefusalCase{"TooManyValues", {"50", "10", "1000001", "2"}, Invalid},
                    RefusalCase{"NegativeSd", {"50", "-3", "100", "2"}, Invalid},
                    RefusalCase{"SevenDecimals", {"50", "10", "100", "7"}, Invalid},
                    RefusalCase{"NegativeDecimals", {"50", "10", "100", "-1"}, Invalid},
                    RefusalCase{"DecimalsNotANumber", {"50", "10", "100", "two"}, Invalid},
                    RefusalCase{"EmptyDecimals", {"50", "10", "100", ""}, Invalid},
                    RefusalCase{"HugeMean", {"1e12", "10", "100", "2"}, Invalid},
                    RefusalCase{"HugeSd", {"50", "100000000", "100", "2"}, Invalid},
                    RefusalCase{"SdTooFineGrained", {"50", "2000000", "100", "6"}, Invalid}),
    [](const auto &row) { return std::string(row.param.name); });

TEST(Plan, ReadsTypedPrecisionAndWholeCounts) {
    const GeneratorPlan plan = planGeneration({" 50.25 ", "3.10", "100.0", "1"});
    EXPECT_TRUE(plan.message.isEmpty());
    EXPECT_EQ(plan.count, 100);
    EXPECT_EQ(plan.decimals, 1);
    EXPECT_EQ(plan.meanDecimals, 2);
    EXPECT_EQ(plan.sdDecimals, 2);
    EXPECT_EQ(plan.meanScaled, 5025);
    EXPECT_EQ(plan.sdScaled, 310);
    EXPECT_EQ(plan.meanText, "50.25");
}

struct TargetCase {
    const char *name;
    GeneratorInput input;
    const char *meanShown;
    const char *sdShown;
};

void PrintTo(const TargetCase &c, std::ostream *os) {
    *os << c.name;
}

class Targets : public testing::TestWithParam<TargetCase> {};

// Recomputes mean and SD from the texts alone, in long double, and checks that they round to
// the typed targets within half a unit of the typed precision.
TEST_P(Targets, AchievedStatisticsRoundToTheTargets) {
    const TargetCase &c = GetParam();
    const GeneratorPlan plan = planGeneration(c.input);
    ASSERT_TRUE(plan.message.isEmpty());
    UniformSource source;
    source.reseed();
    const Outcome run = generate(c.input, source);
    ASSERT_TRUE(run.result.message.isEmpty()) << run.result.message.toStdString();
    ASSERT_EQ(run.texts.size(), plan.count);

    const QRegularExpression shape(plan.decimals == 0
                                       ? QStringLiteral("^-?\\d+$")
                                       : QStringLiteral("^-?\\d+\\.\\d{%1}$").arg(plan.decimals));
    long double sum = 0, squares = 0;
    for (const QString &t : run.texts) {
        ASSERT_TRUE(shape.match(t).hasMatch()) << t.toStdString();
        const long double v = std::strtold(t.toLatin1().constData(), nullptr);
        sum += v;
        squares += v * v;
    }
    const long double n = plan.count;
    const long double mean = sum / n;
    const long double sd = std::sqrt((squares - sum * sum / n) / (n - 1));
    const long double meanTolerance = 0.5L * std::pow(10.0L, -plan.meanDecimals) + 1e-9L;
    const long double sdTolerance = 0.5L * std::pow(10.0L, -std::min(plan.sdDecimals, 4)) + 1e-9L;
    EXPECT_LE(std::fabs(mean - plan.mean), meanTolerance) << double(mean);
    EXPECT_LE(std::fabs(sd - plan.sd), sdTolerance) << double(sd);
    EXPECT_EQ(run.result.meanValue, c.meanShown);
    EXPECT_EQ(run.result.sdValue, c.sdShown);
}

INSTANTIATE_TEST_SUITE_P(
    Samples, Targets,
    testing::Values(TargetCase{"Mean50Sd10TwoDecimals", {"50", "10", "100", "2"}, "50", "10"},
                    TargetCase{"FinerMeanThanValues", {"50.25", "3.5", "30", "1"}, "50.25", "3.5"},
                    TargetCase{"WholeNumbers", {"50", "10", "100", "0"}, "50", "10"},
                    TargetCase{"NegativeMean", {"-3.5", "0.25", "1000", "3"}, "-3.5", "0.25"},
                    TargetCase{
                        "PreciseTargets", {"120.00", "15.00", "500", "2"}, "120.00", "15.00"},
                    TargetCase{"SixDecimals", {"0.5", "0.0123", "200", "6"}, "0.5", "0.0123"},
                    TargetCase{"FewValues", {"10", "2", "20", "1"}, "10", "2"},
                    TargetCase{"LargestOldList", {"50", "10", "32767", "2"}, "50", "10"}),
    [](const auto &row) { return std::string(row.param.name); });

struct UnreachableCase {
    const char *name;
    GeneratorInput input;
};

void PrintTo(const UnreachableCase &c, std::ostream *os) {
    *os << c.name;
}

class UnreachableTarget : public testing::TestWithParam<UnreachableCase> {};

TEST_P(UnreachableTarget, StopsWithTheMessageAndKeepsNoValues) {
    UniformSource source;
    const Outcome run = generate(GetParam().input, source);
    EXPECT_EQ(run.result.message, Unreachable);
    EXPECT_TRUE(run.texts.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Targets, UnreachableTarget,
    testing::Values(
        // Three whole numbers have means in thirds: never 50.5 at one decimal.
        UnreachableCase{"MeanBetweenSteps", {"50.5", "1", "3", "0"}},
        // Two whole numbers around 50 can only have SD 0, 0.7, 1.4, …
        UnreachableCase{"SdBelowWholeNumberSpread", {"50", "0.3", "2", "0"}},
        // Centre 50.5 between whole numbers: the closest pair, 50 and 51, only swaps places.
        UnreachableCase{"SdBelowOffGridPair", {"50.5", "0.1", "2", "0"}},
        // Both values land on the centre: no pair straddles it, so the spread cannot grow.
        UnreachableCase{"NothingStraddlesTheCentre", {"50", "0.01", "2", "0"}},
        // The SD is measured at four decimals at most.
        UnreachableCase{"SdFinerThanMeasured", {"50", "10.00001", "100", "2"}}),
    [](const auto &row) { return std::string(row.param.name); });

TEST(UniformSource, FreshSourcesGiveTheSameSample) {
    const GeneratorPlan plan = planGeneration({"50", "10", "1000", "2"});
    UniformSource first, second;
    NormalGenerator a(plan, first), b(plan, second);
    a.advance(plan.count); // exactly the initial draws
    b.advance(plan.count);
    ASSERT_EQ(a.values().size(), std::size_t(plan.count));
    EXPECT_EQ(a.values(), b.values());

    UniformSource reseeded;
    reseeded.reseed();
    NormalGenerator c(plan, reseeded);
    c.advance(plan.count);
    EXPECT_NE(a.values(), c.values());
}

TEST(UniformSource, DrawsAreSinglePrecisionBelowOne) {
    UniformSource source;
    for (int i = 0; i < 100000; ++i) {
        const float u = source.next();
        ASSERT_GE(u, 0.0f);
        ASSERT_LT(u, 1.0f);
        ASSERT_EQ(u * 16777216.0f, std::floor(u * 16777216.0f));
    }
}

TEST(UniformSource, BackToBackReseedsGiveDifferentStreams) {
    UniformSource source;
    std::vector<float> firsts;
    for (int i = 0; i < 1000; ++i) {
        source.reseed();
        firsts.push_back(source.next());
    }
    std::sort(firsts.begin(), firsts.end());
    // 1000 draws out of 2^24 values rarely repeat; streams from one clock tick would all match.
    const auto distinct = std::unique(firsts.begin(), firsts.end()) - firsts.begin();
    EXPECT_GE(distinct, 995);
}

TEST(Generator, MillionValuesInBoundedWork) {
    const GeneratorPlan plan = planGeneration({"50", "10", "1000000", "2"});
    UniformSource source;
    NormalGenerator generator(plan, source);
    std::int64_t slices = 0;
    while (!generator.advance(100'000))
        ++slices;
    EXPECT_TRUE(generator.result().message.isEmpty());
    EXPECT_EQ(generator.values().size(), 1'000'000u);
    EXPECT_LT(slices, 100);
}

TEST(Generator, MeanAdjustmentTakesOneStepPerUnitOfTheSum) {
    // The first sample of a fresh source is fixed, so the distance to the target is too.
    const GeneratorPlan plan = planGeneration({"50.00", "10", "400", "2"});
    UniformSource source;
    NormalGenerator generator(plan, source);
    generator.advance(plan.count);
    long long before = 0;
    for (const auto v : generator.values())
        before += v;
    while (!generator.advance(1000)) {
    }
    long long after = 0;
    for (const auto v : generator.values())
        after += v;
    ASSERT_TRUE(generator.result().message.isEmpty());
    EXPECT_EQ(generator.meanSteps(), std::llabs(after - before));
    EXPECT_GT(generator.meanSteps(), 0);
}

TEST(ScaledText, ShowsExactlyTheDecimals) {
    EXPECT_EQ(scaledText(5025, 2), "50.25");
    EXPECT_EQ(scaledText(-5, 2), "-0.05");
    EXPECT_EQ(scaledText(0, 3), "0.000");
    EXPECT_EQ(scaledText(-12, 0), "-12");
}

} // namespace
