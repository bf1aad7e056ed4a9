#include "core/generator/normal_generator.h"
#include "core/entry/wide_int.h"

#include "core/entry/number_rules.h"
#include "core/generator/uniform_source.h"

#include <cmath>
#include <optional>

namespace quarbel {
namespace {

using Wide = WideInt;

const QString FillInMessage = QStringLiteral("请把数据填写完整！");
const QString InvalidMessage = QStringLiteral("请输入有效的数字！");
const QString UnreachableMessage = QStringLiteral("无法生成符合要求的数据，请调整输入！");

// Beyond these the exact running totals could overflow; no sample of clinical data comes near.
constexpr double MaxMean = 1e9;
constexpr double MaxSd = 1e7;
constexpr double MaxSdUnits = 1e12; // the SD in units of the last decimal
constexpr int MaxTypedDecimals = 12;
constexpr int MaxValueDecimals = 6;
// 2π as the generator has always used it, not to full precision.
constexpr double TwoPi = 6.2831852;

Wide pow10(int e) {
    Wide p = 1;
    for (int i = 0; i < e; ++i)
        p *= 10;
    return p;
}

Wide floorDiv(Wide a, Wide b) {
    Wide q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}

Wide ceilDiv(Wide a, Wide b) {
    return -floorDiv(-a, b);
}

// a / b rounded half to even; b > 0.
Wide roundHalfEvenDiv(Wide a, Wide b) {
    const Wide q = floorDiv(a, b);
    const Wide twice = 2 * (a - q * b);
    if (twice > b || (twice == b && q % 2 != 0))
        return q + 1;
    return q;
}

std::uint64_t isqrt(WideUInt y) {
    auto r = std::uint64_t(std::sqrt(static_cast<long double>(y)));
    while (r > 0 && static_cast<WideUInt>(r) * r > y)
        --r;
    while (static_cast<WideUInt>(r + 1) * (r + 1) <= y)
        ++r;
    return r;
}

// A text that is wholly a plain decimal number: optional sign, digits, at most one point.
struct ExactDecimal {
    Wide scaled{0}; // value × 10^decimals
    int decimals{0};
};

std::optional<ExactDecimal> exactDecimal(QStringView text) {
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    ExactDecimal d;
    int digits = 0;
    bool point = false;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'.' && !point) {
            point = true;
        } else if (c >= u'0' && c <= u'9') {
            if (++digits > 30)
                return std::nullopt;
            d.scaled = d.scaled * 10 + (c - u'0');
            if (point)
                ++d.decimals;
        } else {
            return std::nullopt;
        }
    }
    if (digits == 0)
        return std::nullopt;
    if (negative)
        d.scaled = -d.scaled;
    return d;
}

// Rounds half away from zero to `decimals` places, as the value pattern shows the number.
std::int64_t unitsOf(double x, int decimals) {
    const double r = std::fabs(x) * double(pow10(decimals));
    const double whole = std::floor(r);
    const double frac = r - whole;
    // Far from a half, the binary product decides; near one, the decimal text does.
    if (std::fabs(frac - 0.5) > 1e-6 + r * 1e-15) {
        const auto u = std::int64_t(whole) + (frac > 0.5 ? 1 : 0);
        return x < 0 ? -u : u;
    }
    const QString text = fixedForm(x, decimals);
    const auto exact = exactDecimal(text);
    return exact ? std::int64_t(exact->scaled) : 0;
}

} // namespace

QString scaledText(std::int64_t units, int decimals) {
    const std::uint64_t mag = units < 0 ? 0 - std::uint64_t(units) : std::uint64_t(units);
    const auto scale = std::uint64_t(pow10(decimals));
    QString text = QString::number(mag / scale);
    if (decimals > 0)
        text += u'.' + QString::number(mag % scale).rightJustified(decimals, u'0');
    return units < 0 ? u'-' + text : text;
}

GeneratorPlan planGeneration(const GeneratorInput &input) {
    GeneratorPlan plan;
    plan.meanText = input.mean.trimmed();
    plan.sdText = input.sd.trimmed();
    const QString countText = input.count.trimmed();
    if (leadingNumber(plan.meanText) == 0 || leadingNumber(plan.sdText) == 0 ||
        leadingNumber(countText) == 0) {
        plan.message = FillInMessage;
        return plan;
    }
    plan.message = InvalidMessage;
    const auto mean = exactDecimal(plan.meanText);
    const auto sd = exactDecimal(plan.sdText);
    const auto count = exactDecimal(countText);
    const auto decimals = exactDecimal(input.decimals.trimmed());
    if (!mean || !sd || !count || !decimals)
        return plan;
    if (mean->decimals > MaxTypedDecimals || sd->decimals > MaxTypedDecimals)
        return plan;
    const Wide countScale = pow10(count->decimals);
    const Wide decimalsScale = pow10(decimals->decimals);
    if (count->scaled % countScale != 0 || decimals->scaled % decimalsScale != 0)
        return plan;
    const Wide n = count->scaled / countScale;
    const Wide d = decimals->scaled / decimalsScale;
    if (n < 2 || n > MaxGeneratedValues || d < 0 || d > MaxValueDecimals)
        return plan;
    plan.mean = double(mean->scaled) / double(pow10(mean->decimals));
    plan.sd = double(sd->scaled) / double(pow10(sd->decimals));
    if (std::fabs(plan.mean) > MaxMean || plan.sd <= 0 || plan.sd > MaxSd ||
        plan.sd * double(pow10(int(d))) > MaxSdUnits)
        return plan;
    plan.count = int(n);
    plan.decimals = int(d);
    plan.meanDecimals = mean->decimals;
    plan.sdDecimals = sd->decimals;
    plan.meanScaled = std::int64_t(mean->scaled);
    plan.sdScaled = std::int64_t(sd->scaled);
    plan.message.clear();
    return plan;
}

NormalGenerator::NormalGenerator(const GeneratorPlan &plan, UniformSource &source)
    : m_plan(plan), m_source(source) {
    m_result.meanValue = plan.meanText;
    m_result.sdValue = plan.sdText;
    if (!plan.message.isEmpty()) {
        m_result.message = plan.message;
        m_phase = Phase::Done;
        return;
    }
    m_values.reserve(std::size_t(plan.count));
}

QStringList NormalGenerator::valueTexts() const {
    QStringList texts;
    texts.reserve(qsizetype(m_values.size()));
    for (const std::int64_t v : m_values)
        texts << scaledText(v, m_plan.decimals);
    return texts;
}

bool NormalGenerator::advance(std::int64_t work) {
    while (work > 0 && m_phase != Phase::Done) {
        if (step())
            --work;
    }
    return m_phase == Phase::Done;
}

// One step of the current phase; true when it cost a unit of work (a draw or a pick), false
// when it only moved on to the next phase.
bool NormalGenerator::step() {
    switch (m_phase) {
    case Phase::Sample:
        return sampleStep();
    case Phase::MeanUp:
    case Phase::MeanDown:
        return meanStep();
    case Phase::SdUp:
    case Phase::SdDown:
        return sdStep();
    case Phase::Done:
        break;
    }
    return false;
}

bool NormalGenerator::sampleStep() {
    if (m_values.size() < std::size_t(m_plan.count)) {
        drawOne();
        return true;
    }
    planMean();
    return false;
}

// One unit up (or down) on a picked value, until the planned mean steps are used up.
bool NormalGenerator::meanStep() {
    std::int64_t &left = m_phase == Phase::MeanUp ? m_meanUpLeft : m_meanDownLeft;
    if (left == 0) {
        if (m_phase == Phase::MeanUp)
            m_phase = Phase::MeanDown;
        else
            startSd();
        return false;
    }
    // A fresh seed before every pick, so that no value collects many steps in a row.
    m_source.reseed();
    const std::int64_t delta = m_phase == Phase::MeanUp ? 1 : -1;
    m_values[pick()] += delta;
    m_sum += delta;
    --left;
    ++m_meanStepsTaken;
    return true;
}

// One pick of two values that spreads (or narrows) the sample, until its SD meets the target.
bool NormalGenerator::sdStep() {
    const bool growing = m_phase == Phase::SdUp;
    if (m_sdDirty)
        measureSd();
    const int e = std::min(m_plan.sdDecimals, 4);
    const Wide current = Wide(m_currentSd) * pow10(m_plan.sdDecimals - e);
    const Wide target = m_plan.sdScaled;
    if (growing ? target <= current : target >= current) {
        m_result.sdValue = scaledText(std::int64_t(current), m_plan.sdDecimals);
        if (growing && target < current)
            m_phase = Phase::SdDown;
        else
            finishSd();
        return false;
    }
    if (sdStuck(growing)) {
        fail();
        return false;
    }
    const std::size_t j1 = pick();
    const std::size_t j2 = pick();
    if (sideOf(m_values[j1]) > 0 && sideOf(m_values[j2]) < 0) {
        moveValue(j1, growing ? 1 : -1);
        moveValue(j2, growing ? -1 : 1);
    }
    ++m_sdPicks;
    return true;
}

void NormalGenerator::drawOne() {
    float u1 = m_source.next();
    while (u1 == 0.0f) // its logarithm is undefined
        u1 = m_source.next();
    const float u2 = m_source.next();
    const double z = std::sqrt(-2.0 * std::log(double(u1))) * std::cos(TwoPi * double(u2));
    const std::int64_t units = unitsOf(m_plan.mean + z * m_plan.sd, m_plan.decimals);
    m_values.push_back(units);
    m_sum += units;
}

std::size_t NormalGenerator::pick() {
    const auto j = std::size_t(double(m_source.next()) * double(m_values.size()));
    return std::min(j, m_values.size() - 1);
}

// The mean moves by one unit of the sum per step, so how far each adjustment goes follows
// from the sum and the target before the first pick.
void NormalGenerator::planMean() {
    const Wide perMean = Wide(m_plan.count) * pow10(m_plan.decimals); // sum units per mean unit
    const Wide typed = pow10(m_plan.meanDecimals);
    const Wide target = m_plan.meanScaled;
    const Wide targetSum = target * perMean; // the target mean, as a sum, × 10^meanDecimals
    // The sample mean rounded half to even to the typed decimals.
    auto rounded = [&](Wide sum) { return roundHalfEvenDiv(sum * typed, perMean); };

    Wide sum = m_sum;
    bool adjusted = false;
    if (sum * typed < targetSum) {
        adjusted = true;
        Wide lo = sum, hi = ceilDiv(targetSum, typed);
        while (lo < hi) {
            const Wide mid = lo + (hi - lo) / 2;
            if (rounded(mid) >= target)
                hi = mid;
            else
                lo = mid + 1;
        }
        m_meanUpLeft = std::int64_t(lo - sum);
        sum = lo;
    }
    if (sum * typed > targetSum) {
        adjusted = true;
        Wide lo = floorDiv(targetSum, typed), hi = sum;
        while (lo < hi) {
            const Wide mid = hi - (hi - lo) / 2;
            if (rounded(mid) <= target)
                lo = mid;
            else
                hi = mid - 1;
        }
        m_meanDownLeft = std::int64_t(sum - lo);
        sum = lo;
    }
    if (rounded(sum) != target) {
        fail();
        return;
    }
    if (adjusted)
        m_result.meanValue = scaledText(std::int64_t(rounded(sum)), m_plan.meanDecimals);
    m_phase = Phase::MeanUp;
}

void NormalGenerator::startSd() {
    const int k = m_plan.meanDecimals;
    const int d = m_plan.decimals;
    const Wide target = m_plan.meanScaled;
    // Sums are taken from the target in units, so they stay small whatever the mean.
    m_offset = std::int64_t(k <= d ? target * pow10(d - k) : target / pow10(k - d));
    if (k <= d) {
        const auto centre = std::int64_t(target * pow10(d - k));
        m_nearestAbove = centre + 1;
        m_nearestBelow = centre - 1;
    } else {
        const Wide f = pow10(k - d);
        const Wide q = floorDiv(target, f);
        m_nearestAbove = std::int64_t(q + 1);
        m_nearestBelow = std::int64_t(target == q * f ? q - 1 : q);
    }
    m_offsetSum = m_offsetSquares = 0;
    m_aboveCount = m_belowCount = 0;
    m_aboveSum = m_belowSum = 0;
    for (const std::int64_t v : m_values) {
        const Wide w = v - m_offset;
        m_offsetSum += w;
        m_offsetSquares += w * w;
        if (const int side = sideOf(v); side > 0) {
            ++m_aboveCount;
            m_aboveSum += v;
        } else if (side < 0) {
            ++m_belowCount;
            m_belowSum += v;
        }
    }
    measureSd();
    m_phase = Phase::SdUp;
}

// +1 above the centre (the target mean), -1 below, 0 on it.
int NormalGenerator::sideOf(std::int64_t units) const {
    const int k = m_plan.meanDecimals;
    const int d = m_plan.decimals;
    const int g = std::max(k, d);
    const Wide v = Wide(units) * pow10(g - d);
    const Wide c = Wide(m_plan.meanScaled) * pow10(g - k);
    return v > c ? 1 : (v < c ? -1 : 0);
}

void NormalGenerator::moveValue(std::size_t j, std::int64_t delta) {
    const std::int64_t old = m_values[j];
    const std::int64_t now = old + delta;
    const Wide wOld = old - m_offset;
    const Wide wNow = now - m_offset;
    m_offsetSum += wNow - wOld;
    m_offsetSquares += wNow * wNow - wOld * wOld;
    m_sdDirty = true;
    auto account = [this](std::int64_t v, int sign) {
        if (const int side = sideOf(v); side > 0) {
            m_aboveCount += sign;
            m_aboveSum += sign * Wide(v);
        } else if (side < 0) {
            m_belowCount += sign;
            m_belowSum += sign * Wide(v);
        }
    };
    account(old, -1);
    account(now, 1);
    m_values[j] = now;
}

// The sample standard deviation of the values, rounded once, half to even, to the decimals
// typed in the target (four at most): rounding to four first and then to fewer could show a
// target the sample misses by a hair.
void NormalGenerator::measureSd() {
    const Wide c = Wide(m_values.size());
    const int e = std::min(m_plan.sdDecimals, 4);
    const int d = m_plan.decimals;
    // variance × 10^(2e) = spread / denominator, with the units of 10^-d scaled to 10^-e
    Wide spread = c * m_offsetSquares - m_offsetSum * m_offsetSum;
    Wide denominator = c * (c - 1);
    if (e >= d)
        spread *= pow10(2 * (e - d));
    else
        denominator *= pow10(2 * (d - e));
    const Wide y = floorDiv(4 * spread, denominator);
    const std::uint64_t r = isqrt((WideUInt)y); // floor of 2·sd
    auto sd = std::int64_t(r / 2);
    if (r % 2 != 0) {
        const bool tie = (4 * spread) % denominator == 0 && y == Wide(r) * Wide(r);
        if (!tie || sd % 2 != 0)
            ++sd;
    }
    m_currentSd = sd;
    m_sdDirty = false;
}

// True when no pick can change the spread: nothing on one side of the centre or, when
// shrinking, every value already next to the centre on its side (a pick then only swaps two
// values).
bool NormalGenerator::sdStuck(bool growing) const {
    if (m_aboveCount == 0 || m_belowCount == 0)
        return true;
    if (growing || m_nearestAbove - m_nearestBelow != 1)
        return false;
    return m_aboveSum == Wide(m_aboveCount) * m_nearestAbove &&
           m_belowSum == Wide(m_belowCount) * m_nearestBelow;
}

void NormalGenerator::finishSd() {
    const int e = std::min(m_plan.sdDecimals, 4);
    if (Wide(m_currentSd) * pow10(m_plan.sdDecimals - e) != m_plan.sdScaled)
        fail();
    else
        m_phase = Phase::Done;
}

void NormalGenerator::fail() {
    m_result.message = UnreachableMessage;
    m_values.clear();
    m_values.shrink_to_fit();
    m_phase = Phase::Done;
}

} // namespace quarbel
