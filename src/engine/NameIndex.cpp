#include "engine/NameIndex.h"

#include <algorithm>
#include <functional>

namespace quantaro {

void NameIndex::follow(const NameTable& table) {
    if (table.namesStamp() == namesStamp_) return;
    firstRow_.clear();
    lengths_.clear();
    for (int row = table.rowCount(); row >= 1; --row) {  // upward, so the first row wins
        const std::string& name = table.name(row);
        if (name.empty()) continue;  // a free row never matches
        firstRow_.insert_or_assign(name, row);
        lengths_.push_back(name.size());
    }
    std::sort(lengths_.begin(), lengths_.end(), std::greater<>());
    lengths_.erase(std::unique(lengths_.begin(), lengths_.end()), lengths_.end());
    namesStamp_ = table.namesStamp();
}

std::size_t NameIndex::longestNamePrefix(std::string_view text) const {
    for (const std::size_t length : lengths_) {
        if (length <= text.size() && firstRow_.contains(text.substr(0, length))) return length;
    }
    return 0;
}

}  // namespace quantaro
