#pragma once

#include <atomic>
#include <cstdint>

namespace quantaro {

// A number never handed out before in this process: what was worked out from
// a piece of state remembers the state's stamp, and a new stamp on every
// change tells it that it no longer holds. Each thread takes stamps in blocks
// of its own, so that threads changing tables of their own (a study's
// workers, a point each) do not share the counter's cache line.
inline std::uint64_t NextStamp() {
    constexpr std::uint64_t kBlock = 4096;
    static std::atomic<std::uint64_t> taken{0};
    thread_local std::uint64_t next = 0;
    thread_local std::uint64_t end = 0;
    if (next == end) {
        next = taken.fetch_add(kBlock, std::memory_order_relaxed) + 1;
        end = next + kBlock;
    }
    return next++;
}

}  // namespace quantaro
