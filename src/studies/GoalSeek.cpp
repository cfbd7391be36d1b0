#include "studies/GoalSeek.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <map>

#include "engine/Messages.h"
#include "engine/Numbers.h"

namespace quantaro {
namespace {

// Before bracketing, an interval is sampled at its ends and then at its
// halves, quarters and so on down to this many parts; a search without one
// goes outward in steps that double. Either stops after kMaxBracketTrials
// trials, which leaves Brent's method enough to narrow any bracket.
constexpr int kScanLevels = 6;
constexpr int kMaxBracketTrials = 130;
// The outward search starts this fraction of the start value away from it.
constexpr long double kFirstStep = 1.0L / 16;
// Values beyond this are not searched: their neighbours would overflow.
constexpr long double kLargestSearched = 1e4900L;

// The value of a cell holding x's text: x rounded to 15 significant digits.
long double Rounded(long double x) {
    return ReadNumber(FormatNumber(x)).value.value_or(x);
}

bool StrictlyBetween(long double v, long double a, long double b) {
    return std::min(a, b) < v && v < std::max(a, b);
}

// Halves first, so that nothing overflows.
long double Midpoint(long double a, long double b) {
    return a / 2 + b / 2;
}

// Whether any 15-digit value lies strictly between a and b, themselves such
// values: then the one nearest their midpoint does.
bool RoomBetween(long double a, long double b) {
    return StrictlyBetween(Rounded(Midpoint(a, b)), a, b);
}

// The 15-digit value next to x in the direction of `toward`. The step is one
// unit of the 15th digit; where the digits' scale changes, it is found by
// trying a step ten times larger or smaller.
long double Neighbour(long double x, long double toward) {
    const long double direction = toward > x ? 1.0L : -1.0L;
    if (x == 0) return Rounded(direction * LDBL_MIN);
    long double step = std::pow(10.0L, std::floor(std::log10(std::fabs(x))) - 14);
    for (int attempt = 0; attempt < 8; ++attempt) {
        const long double next = Rounded(x + direction * step);
        if (next == x) {
            step *= 10;
        } else if (RoomBetween(x, next)) {
            step /= 10;
        } else {
            return next;
        }
    }
    return Rounded(Midpoint(x, toward));
}

bool SameSign(long double a, long double b) {
    return (a > 0 && b > 0) || (a < 0 && b < 0);
}

// One run of the formula at x: RESULT - TARGET there, when the run succeeded
// and RESULT holds a number.
struct Trial {
    long double x = 0.0L;
    long double f = 0.0L;
    bool valid = false;
    std::string resultText;
};

using Bracket = std::pair<Trial, Trial>;

// The step of Brent's method from b towards c, the bracket's other end, with
// a the previous b: inverse quadratic interpolation through the three (or a
// secant step through a and b) while it lands well inside the bracket and
// the steps shrink fast enough, else bisection. d is the step to take and e
// the one before it; tol is the smallest step.
void BrentStep(const Trial& a, const Trial& b, const Trial& c, long double tol, long double& d,
               long double& e) {
    const long double m = Midpoint(c.x, -b.x);
    if (std::fabs(e) < tol || std::fabs(a.f) <= std::fabs(b.f)) {
        d = e = m;
        return;
    }
    long double s = b.f / a.f;
    long double p, q;
    if (a.x == c.x) {  // secant
        p = 2 * m * s;
        q = 1 - s;
    } else {  // inverse quadratic
        q = a.f / c.f;
        const long double r = b.f / c.f;
        p = s * (2 * m * q * (q - r) - (b.x - a.x) * (r - 1));
        q = (q - 1) * (r - 1) * (s - 1);
    }
    if (p > 0) {
        q = -q;
    } else {
        p = -p;
    }
    s = e;
    e = d;
    if (2 * p < 3 * m * q - std::fabs(tol * q) && p < std::fabs(s * q / 2)) {
        d = p / q;
    } else {
        d = e = m;
    }
}

class Seeker {
  public:
    Seeker(const Worksheet& sheet, const SeekSetup& setup, StudyControl* control)
        : setup_(setup),
          control_(control),
          runner_(sheet, setup.run),
          cell_(*FindInputCell(sheet, setup.input)),
          resultRow_(sheet.variables.findRow(setup.result)),
          inputName_(TableOf(sheet, cell_.table).name(cell_.row)),
          resultName_(sheet.variables.name(resultRow_)),
          start_(startValue(sheet)) {}

    SeekResult seek();

  private:
    long double startValue(const Worksheet& sheet) const {
        const NameTable& table = TableOf(sheet, cell_.table);
        return table.overflows(cell_.row) ? 0.0L : table.number(cell_.row);
    }

    Trial trial(long double x);
    bool stopped() const {
        return exact_ || trials_ >= kMaxSeekTrials || (control_ && control_->cancelled());
    }
    bool bracketStopped() const { return stopped() || trials_ >= kMaxBracketTrials; }

    std::optional<Bracket> bracketWithin(long double lo, long double hi);
    std::optional<Bracket> bracketOutward();
    std::optional<Bracket> sample(long double x);
    std::optional<Bracket> acrossFailures() const;
    std::optional<Bracket> narrowAwayFrom(const Trial& b, const Trial& c, long double failed);
    SeekResult brent(Trial a, Trial b);
    bool jumpsAcross(const Trial& b, const Trial& c, long double largest);

    SeekResult found(const Trial& best) const;
    SeekResult notFound(const std::string& why) const;
    std::string between(long double lo, long double hi) const;
    std::string noSignChange() const;

    const SeekSetup& setup_;
    StudyControl* control_;
    PointRunner runner_;
    InputCell cell_;
    int resultRow_;
    std::string inputName_;
    std::string resultName_;
    long double start_;

    int trials_ = 0;
    std::optional<Trial> exact_;          // a trial that gave TARGET itself
    std::map<long double, Trial> tried_;  // while bracketing
    std::string lastFailure_;
    std::string searched_;  // the interval searched, in words
};

Trial Seeker::trial(long double x) {
    ++trials_;
    Trial t{x, 0.0L, false, {}};
    const std::optional<RunOutcome> outcome = runner_.run({&cell_, 1}, {&x, 1}, control_);
    if (!outcome) return t;  // cancelled within the trial
    t.resultText = runner_.sheet().variables.value(resultRow_);
    if (control_) control_->countDone();
    if (!outcome->succeeded()) {
        lastFailure_ = outcome->message;
        return t;
    }
    const NumberReading reading = ReadNumber(t.resultText);
    if (reading.overflows) {
        lastFailure_ = FaultText(FaultKind::Overflow);
        return t;
    }
    const std::optional<long double> value = reading.value;
    if (!value) {
        lastFailure_ = resultName_ + " holds \"" + t.resultText + "\", which is no number";
        return t;
    }
    t.f = *value - setup_.target;
    t.valid = true;
    if (*value == setup_.target) exact_ = t;
    return t;
}

// Tries x and looks for a sign change between it and the values tried next
// to it. One across a value where the run failed may be no crossing at all
// but a pole: such brackets are left to acrossFailures().
std::optional<Bracket> Seeker::sample(long double x) {
    if (tried_.contains(x)) return std::nullopt;
    const Trial t = trial(x);
    const auto at = tried_.emplace(x, t).first;
    if (!t.valid) return std::nullopt;
    if (at != tried_.begin()) {
        const Trial& below = std::prev(at)->second;
        if (below.valid && !SameSign(below.f, t.f)) return Bracket{below, t};
    }
    if (const auto above = std::next(at); above != tried_.end()) {
        if (above->second.valid && !SameSign(above->second.f, t.f))
            return Bracket{t, above->second};
    }
    return std::nullopt;
}

// The first sign change between values tried, failing values between them
// or not.
std::optional<Bracket> Seeker::acrossFailures() const {
    const Trial* previous = nullptr;
    for (const auto& [x, t] : tried_) {
        if (!t.valid) continue;
        if (previous && !SameSign(previous->f, t.f)) return Bracket{*previous, t};
        previous = &t;
    }
    return std::nullopt;
}

std::optional<Bracket> Seeker::bracketWithin(long double lo, long double hi) {
    searched_ = between(lo, hi);
    for (const long double end : {lo, hi}) {
        if (auto bracket = sample(end)) return bracket;
        if (bracketStopped()) return std::nullopt;
    }
    for (int level = 1; level <= kScanLevels; ++level) {
        const int parts = 1 << level;
        for (int j = 1; j < parts; j += 2) {
            const long double t = static_cast<long double>(j) / parts;
            if (auto bracket = sample(Rounded((1 - t) * lo + t * hi))) return bracket;
            if (bracketStopped()) return std::nullopt;
        }
    }
    return std::nullopt;
}

std::optional<Bracket> Seeker::bracketOutward() {
    const long double x0 = Rounded(start_);
    const long double step = x0 == 0 ? kFirstStep : std::fabs(x0) * kFirstStep;
    auto bracket = sample(x0);
    for (long double offset = step; !bracket && !bracketStopped(); offset *= 2) {
        bool searched = false;
        for (const long double x : {x0 + offset, x0 - offset}) {
            if (bracket || bracketStopped() || !(std::fabs(x) <= kLargestSearched)) continue;
            bracket = sample(Rounded(x));
            searched = true;
        }
        if (!searched) break;
    }
    searched_ = between(tried_.begin()->first, tried_.rbegin()->first) +
                " (searched outward from " + FormatNumber(x0) + ")";
    return bracket;
}

// A trial between b and c failed. The bracket is narrowed towards each end
// in turn, halving the distance to the nearest failing value, until a sign
// change is found on one side of every failing value.
std::optional<Bracket> Seeker::narrowAwayFrom(const Trial& b, const Trial& c, long double failed) {
    const bool bLeft = b.x < c.x;
    for (Trial end : {bLeft ? b : c, bLeft ? c : b}) {
        long double gap = failed;
        while (RoomBetween(end.x, gap)) {
            if (stopped()) return std::nullopt;
            const Trial t = trial(Rounded(Midpoint(end.x, gap)));
            if (!t.valid) {
                gap = t.x;
            } else if (!SameSign(t.f, end.f)) {
                return Bracket{end, t};
            } else {
                end = t;
            }
        }
    }
    return std::nullopt;
}

// Brent's zero finder on the 15-digit values: b is the best value so far, c
// the other end of the bracket, a the previous b. The smallest step is to the
// neighbouring 15-digit value.
SeekResult Seeker::brent(Trial a, Trial b) {
    // Near a root RESULT - TARGET is smaller than at the bracket's ends; where
    // it is not, the bracket has closed in on a jump across TARGET.
    long double largest = std::max(std::fabs(a.f), std::fabs(b.f));
    Trial c = a;
    long double d = b.x - a.x;
    long double e = d;
    for (;;) {
        if (SameSign(b.f, c.f)) {
            c = a;
            d = e = b.x - a.x;
        }
        if (std::fabs(c.f) < std::fabs(b.f)) {
            a = b;
            b = c;
            c = a;
        }
        if (b.f == 0) return found(b);
        if (!RoomBetween(b.x, c.x)) {
            const bool jumps = jumpsAcross(b, c, largest);
            if (exact_) return found(*exact_);
            if (!jumps) return found(b);
            const auto [low, high] =
                std::minmax(b, c, [](const Trial& l, const Trial& r) { return l.x < r.x; });
            return notFound(resultName_ + " jumps from " + low.resultText + " at " + inputName_ +
                            " = " + FormatNumber(low.x) + " to " + high.resultText + " at " +
                            inputName_ + " = " + FormatNumber(high.x) + " without reaching " +
                            FormatNumber(setup_.target));
        }
        if (stopped()) break;

        const long double tol = std::fabs(Neighbour(b.x, c.x) - b.x);
        BrentStep(a, b, c, tol, d, e);
        long double x = Rounded(b.x + (std::fabs(d) > tol ? d : std::copysign(tol, c.x - b.x)));
        if (x == b.x) {
            x = Neighbour(b.x, c.x);
        } else if (!StrictlyBetween(x, b.x, c.x)) {
            x = Rounded(Midpoint(b.x, c.x));
        }
        a = b;
        Trial next = trial(x);
        if (next.valid) {
            b = std::move(next);
            continue;
        }
        const std::optional<Bracket> narrowed = narrowAwayFrom(b, c, x);
        if (!narrowed) {
            if (exact_) return found(*exact_);
            if (stopped()) break;
            return notFound(resultName_ + " crosses " + FormatNumber(setup_.target) +
                            " only where the formula fails (" + lastFailure_ + ")");
        }
        a = c = narrowed->first;
        b = narrowed->second;
        d = e = b.x - a.x;
        largest = std::max({largest, std::fabs(a.f), std::fabs(b.f)});
    }
    if (exact_) return found(*exact_);
    if (control_ && control_->cancelled()) return notFound("the search was cancelled");
    return notFound("none was found in " + std::to_string(kMaxSeekTrials) +
                    " trials; the sign changes " + between(b.x, c.x));
}

// Whether RESULT jumps across TARGET between b and c, neighbouring values,
// rather than crossing it: when it is further from TARGET than at the
// bracket's first ends (a pole), or when its step from b to c is many times
// its step from b to b's other neighbour and than the 15th digit of RESULT.
bool Seeker::jumpsAcross(const Trial& b, const Trial& c, long double largest) {
    if (std::fabs(b.f) > largest) return true;
    if (trials_ >= kMaxSeekTrials) return false;
    const Trial outer = trial(Neighbour(b.x, c.x > b.x ? -LDBL_MAX : LDBL_MAX));
    if (!outer.valid) return false;
    const long double result = std::fabs(b.f + setup_.target);
    const long double digit =
        result == 0 ? 0 : std::pow(10.0L, std::floor(std::log10(result)) - 14);
    return std::fabs(c.f - b.f) > 10 * std::max(std::fabs(outer.f - b.f), digit);
}

SeekResult Seeker::seek() {
    std::optional<Bracket> bracket;
    if (setup_.interval) {
        const auto [first, second] = *setup_.interval;
        bracket = bracketWithin(Rounded(std::min(first, second)), Rounded(std::max(first, second)));
    } else {
        bracket = bracketOutward();
    }
    if (!bracket) bracket = acrossFailures();
    if (exact_) return found(*exact_);
    if (control_ && control_->cancelled()) return notFound("the search was cancelled");
    if (!bracket) return notFound(noSignChange());
    return brent(bracket->first, bracket->second);
}

std::string Seeker::noSignChange() const {
    const bool anyValid = std::any_of(tried_.begin(), tried_.end(),
                                      [](const auto& entry) { return entry.second.valid; });
    if (!anyValid) return "the formula fails at every value tried (" + lastFailure_ + ")";
    const bool above = std::any_of(tried_.begin(), tried_.end(), [](const auto& entry) {
        return entry.second.valid && entry.second.f > 0;
    });
    return resultName_ + " stays " + (above ? "above " : "below ") + FormatNumber(setup_.target) +
           " at every value tried";
}

std::string Seeker::between(long double lo, long double hi) const {
    return "between " + FormatNumber(std::min(lo, hi)) + " and " + FormatNumber(std::max(lo, hi));
}

SeekResult Seeker::found(const Trial& best) const {
    SeekResult result;
    result.value = best.x;
    result.valueText = FormatNumber(best.x);
    result.resultText = best.resultText;
    result.trials = trials_;
    return result;
}

SeekResult Seeker::notFound(const std::string& why) const {
    SeekResult result;
    result.status = SeekStatus::NoSolution;
    result.trials = trials_;
    result.message = "No value of " + inputName_ + " " + searched_ + " sets " + resultName_ +
                     " to " + FormatNumber(setup_.target) + ": " + why;
    return result;
}

}  // namespace

std::string SeekSetupError(const Worksheet& sheet, const SeekSetup& setup) {
    if (!FindInputCell(sheet, setup.input)) {
        return QuotedName(setup.input) + " is neither a constant nor a variable";
    }
    if (sheet.variables.findRow(setup.result) == 0) {
        return QuotedName(setup.result) + " is not a variable of the variable table";
    }
    if (!std::isfinite(setup.target)) return "The target must be a number";
    if (setup.interval &&
        !(std::isfinite(setup.interval->first) && std::isfinite(setup.interval->second))) {
        return "The ends of the interval must be numbers";
    }
    return StudyRunError(setup.run);
}

SeekResult GoalSeek(const Worksheet& sheet, const SeekSetup& setup, StudyControl* control) {
    return Seeker(sheet, setup, control).seek();
}

}  // namespace quantaro
