// The circular and hyperbolic functions and their inverses. The functions
// read their operand as an angle in the current unit; the inverses return an
// angle in that unit.

#include <cmath>

#include "engine/ApplyOperator.h"
#include "engine/OperatorSupport.h"
#include "engine/Operators.h"

namespace quantaro {
namespace {

// Each constant is the extended value nearest to the quantity named.
constexpr long double kPiOver180 = 0.017453292519943295769L;
constexpr long double k180OverPi = 57.295779513082320877L;
constexpr long double kHalfPi = 1.5707963267948966193L;
constexpr long double kOneOverPi = 0.31830988618379067154L;
constexpr long double kOneOverTwoPi = 0.15915494309189533577L;
constexpr long double kLn2 = 0.69314718055994530942L;

// Near the point where (e^x)^2 would leave the extended range; beyond it
// tanh x is ±1 to extended precision.
constexpr long double kTanhLimit = 5678.22249441322L;

// From this magnitude on (the operand limit of the x87 sine and cosine
// instructions) sine and cosine are taken as 0.
constexpr long double kTwoTo63 = 9223372036854775808.0L;

long double ToRadians(long double x) {
    return x * kPiOver180;
}
long double ToDegrees(long double x) {
    return x * k180OverPi;
}

long double AngleOperand(const OperatorArgs& a) {
    return a.angle == AngleUnit::Degrees ? ToRadians(a.left) : a.left;
}

OperatorResult AngleResult(const OperatorArgs& a, long double radians) {
    return Value(a.angle == AngleUnit::Degrees ? ToDegrees(radians) : radians);
}

long double Sine(long double x) {
    return std::fabs(x) >= kTwoTo63 ? 0.0L : std::sin(x);
}
long double Cosine(long double x) {
    return std::fabs(x) >= kTwoTo63 ? 0.0L : std::cos(x);
}

// For 0 <= y <= 1.
long double ArcSine(long double y) {
    return std::atan2(y, std::sqrt(1.0L - y * y));
}
long double ArcCosine(long double y) {
    return std::atan2(std::sqrt(1.0L - y * y), y);
}

// The hyperbolic functions build on h = e^x / 2, so that sinh x = h - 1/(4h)
// and cosh x = h + 1/(4h). Near 0 these lose all significance.
long double HalfExp(long double x) {
    return Exp(x) * 0.5L;
}

long double HyperbolicSine(long double x) {
    const long double h = HalfExp(x);
    return h - 0.25L / h;
}

long double HyperbolicCosine(long double x) {
    const long double h = HalfExp(x);
    return h + 0.25L / h;
}

long double HyperbolicTangent(long double x) {
    if (x > kTanhLimit) return 1.0L;
    if (x < -kTanhLimit) return -1.0L;
    const long double e = Exp(x);
    const long double s = e * e;
    return (s - 1.0L) / (s + 1.0L);
}

long double AreaSine(long double y) {
    if (y == 0) return 0.0L;
    const long double a = std::fabs(y);
    long double result;
    if (a > 1e10L) {
        result = std::log(a) + kLn2;
    } else {
        const long double square = a * a;
        result = std::log1p(a + square / (std::sqrt(square + 1.0L) + 1.0L));
    }
    return y < 0 ? -result : result;
}

// For y >= 1.
long double AreaCosine(long double y) {
    if (y == 1) return 0.0L;
    if (y > 1e10L) return std::log(y) + kLn2;
    return std::log(y + std::sqrt((y - 1.0L) * (y + 1.0L)));
}

// For |y| < 1.
long double AreaTangent(long double y) {
    if (y == 0) return 0.0L;
    const long double a = std::fabs(y);
    const long double result = 0.5L * std::log1p(2.0L * a / (1.0L - a));
    return y < 0 ? -result : result;
}

}  // namespace

namespace operators {

OperatorResult Sin(const OperatorArgs& a) {
    return Value(Sine(AngleOperand(a)));
}
OperatorResult Cos(const OperatorArgs& a) {
    return Value(Cosine(AngleOperand(a)));
}

OperatorResult Tan(const OperatorArgs& a) {
    const long double x = AngleOperand(a);
    const long double shifted = x - kHalfPi;
    const long double q = shifted * kOneOverPi;
    if (IsWholeByTruncation(q))
        return DomainError("TAN 90 or 270 degrees invalid (0.5Pi or 1.5Pi radians).");
    return Value(std::tan(x));
}

OperatorResult Cosec(const OperatorArgs& a) {
    const long double s = Sine(AngleOperand(a));
    if (s == 0) return DomainError("COSEC 0 or 180 degrees invalid (0Pi or 1Pi radians).");
    return Value(1.0L / s);
}

OperatorResult Sec(const OperatorArgs& a) {
    const long double c = Cosine(AngleOperand(a));
    if (c == 0) return DomainError("SEC 90 or 270 degrees invalid (0.5Pi or 1.5Pi radians).");
    return Value(1.0L / c);
}

OperatorResult Cot(const OperatorArgs& a) {
    const long double x = AngleOperand(a);
    const long double q = x * kOneOverTwoPi;
    if (IsWholeByTruncation(q)) return DomainError("COT 0 degrees invalid (0Pi radians).");
    return Value(1.0L / std::tan(x));
}

OperatorResult ArcSin(const OperatorArgs& a) {
    if (a.left < 0 || a.left > 1) return DomainError(Detail({"Invalid ARCSIN (", a.left, ")"}));
    return AngleResult(a, ArcSine(a.left));
}

OperatorResult ArcCos(const OperatorArgs& a) {
    if (a.left < 0 || a.left > 1) return DomainError(Detail({"Invalid ARCCOS (", a.left, ")"}));
    return AngleResult(a, ArcCosine(a.left));
}

OperatorResult ArcTan(const OperatorArgs& a) {
    return AngleResult(a, std::atan(a.left));
}

OperatorResult ArcCosec(const OperatorArgs& a) {
    if (a.left < 1) return DomainError(Detail({"Invalid ARCCOSEC (", a.left, ")"}));
    return AngleResult(a, ArcSine(1.0L / a.left));
}

OperatorResult ArcSec(const OperatorArgs& a) {
    if (a.left < 1) return DomainError(Detail({"Invalid ARCSEC (", a.left, ")"}));
    return AngleResult(a, ArcCosine(1.0L / a.left));
}

OperatorResult ArcCot(const OperatorArgs& a) {
    if (a.left == 0) return DomainError(Detail({"Invalid ARCCOT (", a.left, ")"}));
    return AngleResult(a, std::atan(1.0L / a.left));
}

OperatorResult Sinh(const OperatorArgs& a) {
    return Value(HyperbolicSine(AngleOperand(a)));
}
OperatorResult Cosh(const OperatorArgs& a) {
    return Value(HyperbolicCosine(AngleOperand(a)));
}
OperatorResult Tanh(const OperatorArgs& a) {
    return Value(HyperbolicTangent(AngleOperand(a)));
}

OperatorResult Cosech(const OperatorArgs& a) {
    const long double x = AngleOperand(a);
    if (x == 0) return DomainError("Invalid COSECH 0 Degrees (0Pi)");
    return Value(1.0L / HyperbolicSine(x));
}

OperatorResult Sech(const OperatorArgs& a) {
    return Value(1.0L / HyperbolicCosine(AngleOperand(a)));
}

OperatorResult Coth(const OperatorArgs& a) {
    const long double x = AngleOperand(a);
    if (x == 0) return DomainError("Invalid COTH 0 dgrees (0Pi)");
    return Value(1.0L / HyperbolicTangent(x));
}

OperatorResult ArcSinh(const OperatorArgs& a) {
    return AngleResult(a, AreaSine(a.left));
}

OperatorResult ArcCosh(const OperatorArgs& a) {
    if (a.left < 1) return DomainError(Detail({"Invalid ARCCOSH (", a.left, ")"}));
    return AngleResult(a, AreaCosine(a.left));
}

OperatorResult ArcTanh(const OperatorArgs& a) {
    if (a.left <= -1 || a.left >= 1) {
        return DomainError(Detail({"Invalid ARCTANH (", a.left, ")"}));
    }
    return AngleResult(a, AreaTangent(a.left));
}

OperatorResult ArcCosech(const OperatorArgs& a) {
    if (a.left == 0) return DomainError(Detail({"Invalid ARCCOSECH (", a.left, ")"}));
    return AngleResult(a, AreaSine(1.0L / a.left));
}

OperatorResult ArcSech(const OperatorArgs& a) {
    if (a.left <= 0 || a.left > 1) return DomainError(Detail({"Invalid ARCSECH (", a.left, ")"}));
    return AngleResult(a, AreaCosine(1.0L / a.left));
}

OperatorResult ArcCoth(const OperatorArgs& a) {
    if (a.left >= -1 && a.left <= 1) {
        return DomainError(Detail({"Invalid ARCCOTH (", a.left, ")"}));
    }
    return AngleResult(a, AreaTangent(1.0L / a.left));
}

}  // namespace operators
}  // namespace quantaro
