#include "engine/Tokeniser.h"

#include <algorithm>

#include "engine/Numbers.h"
#include "engine/OperatorRegistry.h"

namespace quantaro {

// Trying every prefix from the longest down would cost quadratic time on a
// long word. Only a number, or a prefix no longer than the longest name in a
// table, can be recognised, so the longest recognised prefix is the longer
// of the longest number prefix and the longest name prefix.
std::size_t Tokeniser::longestRecognisedPrefix(std::string_view text) const {
    return std::max({LongestNumberPrefix(text), tables_.constantNames.longestNamePrefix(text),
                     tables_.variableNames.longestNamePrefix(text),
                     Operators().longestNamePrefix(text)});
}

// Recognising a candidate reads its value: a number word, or the value cell
// of the constant or variable it names. That read may raise the overflow
// fault (1E5000), at the same point as trying the candidates in turn would.
// An operator has no value to read.
void Tokeniser::recognise(std::string_view candidate) const {
    const TokenMeaning meaning = MeaningOf(candidate, tables_);
    if (meaning.kind == TokenMeaning::Number) ParseNumber(candidate);
    if (meaning.table) meaning.table->number(meaning.row);
}

TokenMeaning MeaningOf(std::string_view token, const EngineTables& tables) {
    if (IsNumberText(token)) return {TokenMeaning::Number};
    if (const int row = tables.constantNames.findRow(token)) {
        return {TokenMeaning::Constant, &tables.constants, row};
    }
    if (const int row = tables.variableNames.findRow(token)) {
        return {TokenMeaning::Variable, &tables.variables, row};
    }
    return {};
}

std::optional<std::size_t> ResultTokenOf(const std::vector<std::string_view>& tokens,
                                         const EngineTables& tables) {
    for (std::size_t k = tokens.size(); k-- > 0;) {
        const TokenMeaning::Kind kind = MeaningOf(tokens[k], tables).kind;
        if (!MayNameResult(kind)) continue;
        if (kind == TokenMeaning::Variable) return k;
        return std::nullopt;
    }
    return std::nullopt;
}

void AddToken(std::vector<std::string_view>& tokens, std::string_view text) {
    tokens.push_back(text);
}

void Tokeniser::recogniseFrom(const std::vector<std::string_view>& tokens,
                              std::size_t first) const {
    for (std::size_t k = first; k < tokens.size(); ++k) recognise(tokens[k]);
}

// Cutting reads no value, so reading the tokens after cutting them makes the
// same reads, and raises the same fault, as reading each as it is cut.
bool Tokeniser::splitWord(std::string_view word, std::vector<std::string_view>& tokens) const {
    const std::size_t first = tokens.size();
    const bool whole = cutWord(word, tokens);
    recogniseFrom(tokens, first);
    return whole;
}

bool Tokeniser::cutWord(std::string_view word, std::vector<std::string_view>& tokens) const {
    std::string_view rest = word;
    while (!rest.empty()) {
        const std::size_t length = longestRecognisedPrefix(rest);
        if (length == 0) return false;
        AddToken(tokens, rest.substr(0, length));
        rest.remove_prefix(length);
    }
    return true;
}

bool Tokeniser::tokenise(std::string_view equation, std::vector<std::string_view>& tokens,
                         std::string_view& failedWord) const {
    const std::size_t first = tokens.size();
    const bool whole = cut(equation, tokens, failedWord);
    recogniseFrom(tokens, first);
    return whole;
}

bool Tokeniser::cut(std::string_view equation, std::vector<std::string_view>& tokens,
                    std::string_view& failedWord) const {
    std::size_t start = 0;
    while (start < equation.size()) {
        if (equation[start] == ' ') {
            ++start;
            continue;
        }
        std::size_t end = equation.find(' ', start);
        if (end == std::string_view::npos) end = equation.size();
        const std::string_view word = equation.substr(start, end - start);
        if (!cutWord(word, tokens)) {
            failedWord = word;
            return false;
        }
        start = end;
    }
    return true;
}

}  // namespace quantaro
