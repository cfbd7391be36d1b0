#include "documents/FormulaFormat.h"

#include "documents/FileBytes.h"

#include <utility>

namespace quantaro {

FormulaContent ParseFormulaFile(std::string bytes) {
    bytes.resize(ContentBeforeEndMark(bytes).size());
    if (bytes.empty()) {
        return {AngleUnit::Degrees, {}};
    }
    const AngleUnit unit = bytes.front() == '0' ? AngleUnit::Degrees : AngleUnit::Radians;
    bytes.erase(0, 1);
    return {unit, std::move(bytes)};
}

std::string SerializeFormulaFile(AngleUnit unit, std::string_view text) {
    std::string bytes;
    bytes.reserve(text.size() + 3);
    bytes += unit == AngleUnit::Degrees ? '0' : '1';
    bytes += text;
    bytes += "\r\n";
    return bytes;
}

}  // namespace quantaro
