#include "documents/SettingsFormat.h"

#include "documents/FileBytes.h"

namespace quantaro {
namespace {

bool IsChecked(std::string_view content, std::size_t position) {
    return position < content.size() && content[position] == '1';
}

char Flag(bool checked) {
    return checked ? '1' : '0';
}

}  // namespace

Settings ParseSettingsFile(std::string_view bytes) {
    const std::string_view content = ContentBeforeEndMark(bytes);
    return {IsChecked(content, 0), IsChecked(content, 1), IsChecked(content, 2)};
}

std::string SerializeSettingsFile(const Settings& settings) {
    return {Flag(settings.promptOnEveryLoop), Flag(settings.showVariableTableAfterExecuting),
            Flag(settings.showHints)};
}

}  // namespace quantaro
