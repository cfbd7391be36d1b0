#include "studies/RandomSource.h"

#include <Random123/philox.h>

namespace quantaro {

namespace {

r123::Philox2x64::ctr_type Block(std::uint64_t seed, std::uint64_t stream, std::uint64_t counter) {
    const r123::Philox2x64 philox;
    return philox({{counter, stream}}, {{seed}});
}

long double OpenUnit(std::uint64_t word) {
    return (static_cast<long double>(word >> 1) + 0.5L) * 0x1p-63L;
}

}  // namespace

long double PhiloxRandomSource::uniform(std::uint64_t seed, std::uint64_t stream,
                                        std::uint64_t counter) const {
    return OpenUnit(Block(seed, stream, counter)[0]);
}

std::pair<long double, long double> PhiloxRandomSource::uniformPair(std::uint64_t seed,
                                                                    std::uint64_t stream,
                                                                    std::uint64_t counter) const {
    const r123::Philox2x64::ctr_type block = Block(seed, stream, counter);
    return {OpenUnit(block[0]), OpenUnit(block[1])};
}

}  // namespace quantaro
