#pragma once

#include <string>
#include <string_view>

#include "engine/AngleUnit.h"

namespace quantaro {

// A formula file is one angle-unit byte ("0" degrees, "1" radians), the formula
// text exactly as held (lines separated by CR LF) and a closing CR LF.
struct FormulaContent {
    AngleUnit unit = AngleUnit::Degrees;
    std::string text;

    bool operator==(const FormulaContent&) const = default;
};

// An empty file is degrees with no text. A first byte "0" means degrees, any
// other byte radians; everything after it, up to the end-of-file mark, is the
// text, so the closing CR LF written by SerializeFormulaFile stays on the text.
// The text is cut out of bytes in place.
FormulaContent ParseFormulaFile(std::string bytes);

std::string SerializeFormulaFile(AngleUnit unit, std::string_view text);

}  // namespace quantaro
