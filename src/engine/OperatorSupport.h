#pragma once

// Shared by the files that implement the operators: the helpers that build
// results and detail texts.

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "engine/Numbers.h"
#include "engine/OperatorFunction.h"

namespace quantaro {

inline OperatorResult Value(long double v) {
    return OperatorResult{v, std::nullopt};
}
inline OperatorResult DomainError(std::string detail) {
    return OperatorResult{0.0L, std::move(detail)};
}

// A detail text piece: a literal, or an operand written by FormatNumber.
class DetailPiece {
  public:
    DetailPiece(const char* literal) : text_(literal) {}
    DetailPiece(std::string_view literal) : text_(literal) {}
    DetailPiece(long double operand) : text_(FormatNumber(operand)) {}
    const std::string& text() const { return text_; }

  private:
    std::string text_;
};

// Joins the pieces in order, e.g. Detail({L, " ^ ", R, kCrLf, "Nonpositive power of 0."}).
inline std::string Detail(std::initializer_list<DetailPiece> pieces) {
    std::string text;
    for (const DetailPiece& piece : pieces) text += piece.text();
    return text;
}

inline constexpr const char* kCrLf = "\r\n";
inline constexpr const char* kLfCr = "\n\r";

// Powers and factorials, shared by the operators and their tests; e^x is
// shared with the hyperbolic functions.
long double PowerOf(long double base, long double exponent);
long double IntegerPowerOf(long double base, int n);
long double FactorialOf(long double x);
long double Exp(long double x);  // e^x in extended precision

}  // namespace quantaro
