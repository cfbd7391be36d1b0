#pragma once

#include <string>
#include <string_view>

namespace quantaro {

// The three options remembered between runs.
struct Settings {
    bool promptOnEveryLoop = false;                // "&Prompt on every loop"
    bool showVariableTableAfterExecuting = false;  // "Show entire &variable table after executing"
    bool showHints = false;                        // "Show &hints"

    bool operator==(const Settings&) const = default;
};

// One byte per option in the order of the fields above; only "1" checks an
// option, and a missing byte leaves its option unchecked.
Settings ParseSettingsFile(std::string_view bytes);

// Exactly three bytes, each "1" or "0".
std::string SerializeSettingsFile(const Settings& settings);

}  // namespace quantaro
