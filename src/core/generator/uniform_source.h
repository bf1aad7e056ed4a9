#pragma once

#include <cstdint>

namespace quarbel {

// Single-precision uniform numbers in [0, 1). A fresh source always starts from the same state,
// so the first draws after every program start are the same; reseed() moves it to a state
// taken from a high-resolution clock.
class UniformSource {
  public:
    UniformSource();

    float next();
    // Seeds from the clock mixed with a running count, so two reseeds within one clock tick
    // still give unrelated streams.
    void reseed();
    void seed(std::uint64_t value);

    // The source the generator window uses; created on first use and kept until the program
    // ends, so a second generation continues the stream instead of repeating it.
    static UniformSource &shared();

  private:
    std::uint32_t nextBits();

    std::uint64_t m_state{0};
    std::uint64_t m_increment{0};
    std::uint64_t m_reseeds{0};
};

} // namespace quarbel
