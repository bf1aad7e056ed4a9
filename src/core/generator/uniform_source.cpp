#include "core/generator/uniform_source.h"

#include <chrono>

namespace quarbel {
namespace {

constexpr std::uint64_t StartSeed = 0x5157'4152'4245'4c31ULL;

// Spreads nearby inputs (consecutive clock readings) over the whole 64-bit range.
std::uint64_t mix(std::uint64_t x) {
    x += 0x9e37'79b9'7f4a'7c15ULL;
    x = (x ^ (x >> 30)) * 0xbf58'476d'1ce4'e5b9ULL;
    x = (x ^ (x >> 27)) * 0x94d0'49bb'1331'11ebULL;
    return x ^ (x >> 31);
}

} // namespace

UniformSource::UniformSource() {
    seed(StartSeed);
}

void UniformSource::seed(std::uint64_t value) {
    // A permuted congruential generator: the increment must be odd.
    m_increment = (mix(value ^ 0xda3e'39cb'94b9'5bdbULL) << 1) | 1;
    m_state = 0;
    nextBits();
    m_state += mix(value);
    nextBits();
}

std::uint32_t UniformSource::nextBits() {
    const std::uint64_t old = m_state;
    m_state = old * 6364136223846793005ULL + m_increment;
    const auto xorshifted = std::uint32_t(((old >> 18) ^ old) >> 27);
    const auto rot = std::uint32_t(old >> 59);
    return (xorshifted >> rot) | (xorshifted << ((32 - rot) & 31));
}

float UniformSource::next() {
    // 24 random bits fill a float's mantissa exactly, so the value is below 1.
    return float(nextBits() >> 8) * (1.0f / 16777216.0f);
}

void UniformSource::reseed() {
    const auto now = std::chrono::high_resolution_clock::now().time_since_epoch();
    const auto ns =
        std::uint64_t(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());
    seed(mix(ns) ^ mix(++m_reseeds + 0x1234'5678ULL));
}

UniformSource &UniformSource::shared() {
    static UniformSource source;
    return source;
}

} // namespace quarbel
