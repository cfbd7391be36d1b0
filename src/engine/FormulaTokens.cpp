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
        : equation_(equation),
          offsets_(offsets),
          number_(number),
          tables_(tables),
          spans_(spans),
          first_(spans.size()) {}

    void classify() {
        const Tokeniser tokeniser(tables_);
        std::string_view rest = equation_;
        std::vector<std::string_view> tokens;
        std::string_view failedWord;
        for (;;) {
            tokens.clear();
            const bool whole = tokeniser.cut(rest, tokens, failedWord);
            for (std::string_view token : tokens) {
                // Tokens cut from the failed word before it failed are not kept.
                if (!whole && token.data() >= failedWord.data()) break;
                add(token, KindOf(token, tables_));
            }
            if (whole) break;
            add(failedWord, TokenSpan::Unknown).message =
                ResultMessage(ResultCode::UnknownItem, number_, failedWord);
            rest = equation_.substr(offsetOf(failedWord) + failedWord.size());
        }
        markResult();
    }

  private:
    std::size_t offsetOf(std::string_view piece) const {
        return static_cast<std::size_t>(piece.data() - equation_.data());
    }

    TokenSpan& add(std::string_view token, TokenSpan::Kind kind) {
        const std::size_t from = offsetOf(token);
        spans_.push_back({kind, offsets_[from], offsets_[from + token.size() - 1] + 1, {}});
        return spans_.back();
    }

    // The run stores into the first token from the right that is neither a
    // number nor a constant.
    void markResult() {
        for (std::size_t k = spans_.size(); k-- > first_;) {
            TokenSpan& span = spans_[k];
            if (span.kind == TokenSpan::Number || span.kind == TokenSpan::Constant) continue;
            if (span.kind == TokenSpan::Variable) span.kind = TokenSpan::Result;
            return;
        }
    }

    std::string_view equation_;
    const std::vector<std::size_t>& offsets_;
    int number_;
    const EngineTables& tables_;
    std::vector<TokenSpan>& spans_;
    std::size_t first_;
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
