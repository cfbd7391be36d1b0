#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "engine/NameFolding.h"
#include "engine/OperatorFunction.h"

namespace quantaro {

// How a compiled equation applies an operator: inline, by one of the bodies
// of OperatorBodies.h, or by calling its function.
enum class InlineCode : std::uint8_t {
    Call,
    Add,
    Subtract,
    Multiply,
    Divide,
    Reciprocal,
    Negate,
    Square,
    SquareRoot,
    Equal,
    NotEqual,
    Less,
    Greater,
    LessOrEqual,
    GreaterOrEqual,
};

struct OperatorDefinition {
    std::string_view name;   // as shown in the grid and inserted into formulas
    int operandCount;        // 0, 1 or 2
    OperatorFunction apply;  // null for "(" and ")", which the evaluator handles itself
    InlineCode code = InlineCode::Call;
};

// The operators of the formula language in the order the operator grid
// lists them, with their names indexed. A constant, complete before the
// program starts and never changed, so that any thread may read it.
class OperatorRegistry {
  public:
    // Fails to compile on a name given twice (equal with case folding) or
    // on more operators than the index has room for.
    constexpr explicit OperatorRegistry(std::span<const OperatorDefinition> operators);

    std::span<const OperatorDefinition> all() const { return operators_; }
    std::size_t size() const { return operators_.size(); }

    // The operator whose name equals name with ASCII case folding; null
    // when there is none.
    const OperatorDefinition* find(std::string_view name) const;

    // Length of the longest operator name that text starts with (ASCII case
    // folded), 0 when none does.
    std::size_t longestNamePrefix(std::string_view text) const;

  private:
    // An open-addressing index of the operators by folded name, at most
    // half full.
    static constexpr std::size_t kSlots = 256;
    static constexpr std::uint8_t kNoOperator = 0xFF;
    static constexpr std::size_t FirstSlot(std::string_view name) {
        return static_cast<std::size_t>(FoldedHash(name)) & (kSlots - 1);
    }
    static constexpr std::size_t NextSlot(std::size_t slot) { return (slot + 1) & (kSlots - 1); }

    std::span<const OperatorDefinition> operators_;
    std::array<std::uint8_t, kSlots> slots_{};
    std::size_t longestName_ = 0;
};

// Every operator, rows 1 to size() of the operator grid.
const OperatorRegistry& Operators();

constexpr OperatorRegistry::OperatorRegistry(std::span<const OperatorDefinition> operators)
    : operators_(operators) {
    // A throw in a constant expression does not compile.
    if (operators.size() > kSlots / 2) throw "too many operators for the index";
    slots_.fill(kNoOperator);
    for (std::size_t k = 0; k < operators.size(); ++k) {
        const std::string_view name = operators[k].name;
        std::size_t slot = FirstSlot(name);
        for (; slots_[slot] != kNoOperator; slot = NextSlot(slot)) {
            if (NamesEqual(operators_[slots_[slot]].name, name)) throw "an operator name twice";
        }
        slots_[slot] = static_cast<std::uint8_t>(k);
        if (name.size() > longestName_) longestName_ = name.size();
    }
}

}  // namespace quantaro
