#pragma once

// The arithmetic of the operators a compiled equation applies inline, one
// body each. The registry's operator functions call these bodies too, so an
// operator's arithmetic is written once whichever way it runs.

#include <cmath>

namespace quantaro::bodies {

inline long double Add(long double l, long double r) {
    return l + r;
}
inline long double Subtract(long double l, long double r) {
    return l - r;
}
inline long double Multiply(long double l, long double r) {
    return l * r;
}

// Divide and Reciprocal hold only when their check has passed.
inline bool DivisorFails(long double r) {
    return r == 0;
}
inline long double Divide(long double l, long double r) {
    return l / r;
}
inline long double Reciprocal(long double l) {
    return 1.0L / l;
}

inline long double Negate(long double l) {
    return -l;
}

// L^2 by the integer power's one multiplication.
inline long double Square(long double l) {
    return l * l;
}

// The square root of a radicand that is not negative, as the power L^0.5
// computes it: e^(0.5 ln L), and 0 for 0.
inline bool RadicandFails(long double l) {
    return l < 0;
}
inline long double SquareRoot(long double l) {
    if (l == 0) return 0.0L;
    return std::exp(0.5L * std::log(l));
}

inline long double Truth(bool holds) {
    return holds ? 1.0L : 0.0L;
}
inline long double Equal(long double l, long double r) {
    return Truth(l == r);
}
inline long double NotEqual(long double l, long double r) {
    return Truth(l != r);
}
inline long double Less(long double l, long double r) {
    return Truth(l < r);
}
inline long double Greater(long double l, long double r) {
    return Truth(l > r);
}
inline long double LessOrEqual(long double l, long double r) {
    return Truth(l <= r);
}
inline long double GreaterOrEqual(long double l, long double r) {
    return Truth(l >= r);
}

}  // namespace quantaro::bodies
