#pragma once

#include <cstdint>
#include <utility>

namespace quantaro {

// Where a study that samples (uncertainty, a randomised start) gets its
// numbers. A draw is a function of (seed, stream, counter) alone, not of a
// generator's state, so a trial gives the same numbers whichever worker runs
// it and in whatever order: the trial's number is the stream, the count of
// draws within it the counter, and a saved seed repeats the study exactly.
class CounterRandomSource {
  public:
    virtual ~CounterRandomSource() = default;

    // A uniform draw in the open interval (0, 1): never 0 and never 1, so that
    // it can go through a logarithm or an inverse distribution function.
    virtual long double uniform(std::uint64_t seed, std::uint64_t stream,
                                std::uint64_t counter) const = 0;
    // Two independent uniforms in (0, 1) at one (seed, stream, counter); the
    // first is uniform()'s.
    virtual std::pair<long double, long double> uniformPair(std::uint64_t seed,
                                                            std::uint64_t stream,
                                                            std::uint64_t counter) const = 0;
};

// Philox2x64-10 of Random123 (Salmon et al., SC'11): the seed is its key and
// (counter, stream) its 128-bit counter. The first output word's top 63 bits
// k give (k + 1/2) / 2^63, which a 64-bit mantissa holds exactly; a pair
// takes the second word's the same way.
class PhiloxRandomSource final : public CounterRandomSource {
  public:
    long double uniform(std::uint64_t seed, std::uint64_t stream,
                        std::uint64_t counter) const override;
    std::pair<long double, long double> uniformPair(std::uint64_t seed, std::uint64_t stream,
                                                    std::uint64_t counter) const override;
};

}  // namespace quantaro
