#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

#include "engine/EngineTables.h"

namespace quantaro {

// What a token stands for, tried in this order by everything that reads
// tokens: a number word, a constant, a variable; else an operator or nothing.
struct TokenMeaning {
    enum Kind { Number, Constant, Variable, Other };
    Kind kind = Other;
    const NameTable* table = nullptr;  // of a constant or variable
    int row = 0;
};
TokenMeaning MeaningOf(std::string_view token, const EngineTables& tables);

// A run stores into the first token from the right that may name its
// result: one that is neither a number nor a constant. It must then be a
// variable.
inline bool MayNameResult(TokenMeaning::Kind kind) {
    return kind != TokenMeaning::Number && kind != TokenMeaning::Constant;
}

// The index of the token a run stores into, found by that rule, when it is
// a variable; nothing otherwise.
std::optional<std::size_t> ResultTokenOf(const std::vector<std::string_view>& tokens,
                                         const EngineTables& tables);

// Splits equations into blank-separated words and each word into tokens,
// each the longest remaining prefix that is a number or a name in the
// constant, variable or operator table.
// Appends one token text at the end of the list.
void AddToken(std::vector<std::string_view>& tokens, std::string_view text);

class Tokeniser {
  public:
    explicit Tokeniser(const EngineTables& tables) : tables_(tables) {}

    // Appends the tokens of the equation's words (views into equation).
    // Returns false when a word cannot be split; failedWord is then that
    // whole word and tokens holds those of the earlier words.
    // Recognising a token reads its value, which may raise the overflow
    // fault, as each token is cut in turn.
    bool tokenise(std::string_view equation, std::vector<std::string_view>& tokens,
                  std::string_view& failedWord) const;

    // Cuts the tokens as tokenise does, without reading any value; the reads
    // tokenise would make are those of the tokens cut, in order.
    bool cut(std::string_view equation, std::vector<std::string_view>& tokens,
             std::string_view& failedWord) const;

    bool splitWord(std::string_view word, std::vector<std::string_view>& tokens) const;

  private:
    bool cutWord(std::string_view word, std::vector<std::string_view>& tokens) const;
    std::size_t longestRecognisedPrefix(std::string_view text) const;
    void recognise(std::string_view token) const;
    void recogniseFrom(const std::vector<std::string_view>& tokens, std::size_t first) const;

    EngineTables tables_;
};

}  // namespace quantaro
