#pragma once

#include <atomic>
#include <cstdint>

namespace quantaro {

// A number never handed out before in this process: what was worked out from
// a piece of state remembers the state's stamp, and a new stamp on every
// change tells it that it no longer holds.
inline std::uint64_t NextStamp() {
    static std::atomic<std::uint64_t> last{0};
    return ++last;
}

}  // namespace quantaro
