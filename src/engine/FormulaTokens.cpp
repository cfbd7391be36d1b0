#include "engine/FormulaTokens.h"

#include "engine/EquationSplitter.h"
#include "engine/Messages.h"
#include "engine/Tokeniser.h"

namespace quantaro {
namespace {

TokenSpan::Kind KindOf(std::string_view token, const EngineTables& tables) {
    switch (MeaningOf(token, tables).kind) {
        case TokenMeaning::Number:
            return TokenSpan::Number;
        case TokenMeaning::Constant:
            return TokenSpan::Constant;
        case TokenMeaning::Variable:
            return TokenSpan::Variable;
        case TokenMeaning::Other:
            break;
    }
    // Cutting keeps only recognised tokens, so what is left is an operator.
    return token == "=" ? TokenSpan::Equals : TokenSpan::Operator;
}

// Classifies the tokens of one equation; offsets map each of its characters
// back into the formula text.
class EquationClassifier {
  public:
    EquationClassifier(std::string_view equation, const std::vector<std::size_t>& offsets,
                       int number, const EngineTables& tables, std::vector<TokenSpan>& spans)
        : equation_(equation), offsets_(offsets), number_(number), tables_(tables), spans_(spans) {}

    void classify() {
        const Tokeniser tokeniser(tables_);
        std::string_view rest = equation_;
        std::vector<std::string_view> tokens;
        std::string_view failedWord;
        for (;;) {
            tokens.clear();
            const bool whole = tokeniser.cut(rest, tokens, failedWord);
            const std::size_t first = spans_.size();
            for (std::string_view token : tokens) {
                // Tokens cut from the failed word before it failed are not kept.
                if (!whole && token.data() >= failedWord.data()) break;
                add(token, KindOf(token, tables_));
            }
            if (whole) {
                markResult(first, tokens);
                break;
            }
            TokenSpan& unknown = add(failedWord, TokenSpan::Unknown);
            unknown.failure = FailedRun(ResultCode::UnknownItem, number_, std::string(failedWord),
                                        placeOf(failedWord));
            rest = equation_.substr(offsetOf(failedWord) + failedWord.size());
        }
    }

  private:
    std::size_t offsetOf(std::string_view piece) const {
        return static_cast<std::size_t>(piece.data() - equation_.data());
    }

    TextPlace placeOf(std::string_view token) const {
        return *PlaceOf(offsets_, number_, offsetOf(token), token.size());
    }

    TokenSpan& add(std::string_view token, TokenSpan::Kind kind) {
        const TextPlace place = placeOf(token);
        spans_.push_back({kind, place.begin, place.end, std::nullopt});
        return spans_.back();
    }

    // The tokens after the last word that cannot be cut, their spans from
    // first on, hold the result name if any: the run's rule finds it there,
    // as an unknown word before them could name none.
    void markResult(std::size_t first, const std::vector<std::string_view>& tokens) {
        if (const std::optional<std::size_t> result = ResultTokenOf(tokens, tables_)) {
            spans_[first + *result].kind = TokenSpan::Result;
        }
    }

    std::string_view equation_;
    const std::vector<std::size_t>& offsets_;
    int number_;
    const EngineTables& tables_;
    std::vector<TokenSpan>& spans_;
};

}  // namespace

std::vector<TokenSpan> ClassifyFormula(std::string_view text, const EngineTables& tables,
                                       int firstEquation) {
    std::vector<TokenSpan> spans;
    EquationSplitter splitter(text);
    std::vector<std::size_t> offsets;
    int number = firstEquation - 1;
    while (const auto equation = splitter.next(offsets)) {
        EquationClassifier(*equation, offsets, ++number, tables, spans).classify();
    }
    return spans;
}

}  // namespace quantaro
