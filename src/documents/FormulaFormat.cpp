#include "FormulaFormat.h"

#include "FileBytes.h"

namespace quantaro {

FormulaContent ParseFormulaFile(std::string_view bytes) {
    const std::string_view content = ContentBeforeEndMark(bytes);
    if (content.empty()) {
        return {AngleUnit::Degrees, {}};
    }
    const AngleUnit unit = content.front() == '0' ? AngleUnit::Degrees : AngleUnit::Radians;
    return {unit, std::string(content.substr(1))};
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
