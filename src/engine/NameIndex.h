#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/NameTable.h"

namespace quantaro {

// The names of a table, indexed: the first row of every name and the
// distinct name lengths, longest first, so that a search costs a few hash
// probes instead of a scan of every row. Kept by whoever searches a table
// often (a run, the editor's colouring), it holds while the table's names
// stamp stays the same.
class NameIndex {
  public:
    // Knows no names, and no table's stamp.
    NameIndex() = default;
    explicit NameIndex(const NameTable& table) { follow(table); }

    // Builds the index again when the table's names have changed since.
    void follow(const NameTable& table);

    // The first data row whose name equals name with ASCII case folding, or 0.
    int findRow(std::string_view name) const {
        const auto it = firstRow_.find(name);
        return it == firstRow_.end() ? 0 : it->second;
    }

    // Length of the longest name that text starts with (ASCII case folded).
    std::size_t longestNamePrefix(std::string_view text) const;

  private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view name) const {
            return static_cast<std::size_t>(FoldedHash(name));
        }
    };
    struct Equal {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const { return NamesEqual(a, b); }
    };

    std::unordered_map<std::string, int, Hash, Equal> firstRow_;
    std::vector<std::size_t> lengths_;
    std::uint64_t namesStamp_ = 0;  // no table has it
};

}  // namespace quantaro
