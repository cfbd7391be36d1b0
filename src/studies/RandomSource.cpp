#include "studies/RandomSource.h"

#include <Random123/philox.h>

namespace quantaro {

long double PhiloxRandomSource::uniform(std::uint64_t seed, std::uint64_t stream,
                                        std::uint64_t counter) const {
    const r123::Philox2x64 philox;
    const r123::Philox2x64::ctr_type block = {{counter, stream}};
    const r123::Philox2x64::key_type key = {{seed}};
    const std::uint64_t bits = philox(block, key)[0] >> 1;
    return (static_cast<long double>(bits) + 0.5L) * 0x1p-63L;
}

}  // namespace quantaro
