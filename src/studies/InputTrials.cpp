#include "studies/InputTrials.h"

#include <algorithm>
#include <cmath>

#include "engine/Messages.h"
#include "engine/Numbers.h"

namespace quantaro {

long double RoundedToDigits(long double x) {
    return ReadNumber(FormatNumber(x)).value.value_or(x);
}

long double LastDigitUnit(long double x) {
    if (x == 0 || !std::isfinite(x)) return 0;
    return std::pow(10.0L, std::floor(std::log10(std::fabs(x))) - 14);
}

BoundedInput BoundedInput::Of(const std::optional<std::pair<long double, long double>>& bounds) {
    if (!bounds) return {};
    return {true, std::min(bounds->first, bounds->second), std::max(bounds->first, bounds->second)};
}

long double BoundedInput::value(long double u) const {
    return bounded ? std::clamp(low + (high - low) * (1 + std::sin(u)) / 2, low, high) : u;
}

long double BoundedInput::derivative(long double u) const {
    return bounded ? (high - low) * std::cos(u) / 2 : 1.0L;
}

long double BoundedInput::unknown(long double x) const {
    if (!bounded) return x;
    if (high == low) return 0.0L;
    return std::asin(std::clamp(2 * (x - low) / (high - low) - 1, -1.0L, 1.0L));
}

long double BoundedInput::startingUnknown(long double start) const {
    if (bounded && !(low < start && start < high)) start = low / 2 + high / 2;
    return unknown(RoundedToDigits(start));
}

InputTrials::InputTrials(const Worksheet& sheet, std::vector<InputCell> inputs,
                         std::vector<int> resultRows, StudyRun run, StudyControl* control)
    : runner_(sheet, run),
      inputs_(std::move(inputs)),
      resultRows_(std::move(resultRows)),
      control_(control) {
    for (const int row : resultRows_) resultNames_.push_back(sheet.variables.name(row));
}

std::optional<TrialReading> InputTrials::run(std::span<const long double> inputs) {
    typed_.assign(inputs.begin(), inputs.end());
    const std::optional<RunOutcome> outcome = runner_.run(inputs_, typed_, control_);
    if (!outcome) return std::nullopt;
    ++trials_;
    if (control_) control_->countDone();
    TrialReading reading;
    if (!outcome->succeeded()) {
        reading.failure = outcome->message;
        return reading;
    }
    const NameTable& variables = runner_.sheet().variables;
    for (std::size_t k = 0; k < resultRows_.size(); ++k) {
        const int row = resultRows_[k];
        std::string text = variables.value(row);
        // A stored result keeps the digits its text rounds away.
        std::optional<long double> value;
        if (const long double* stored = variables.storedResult(row)) {
            value = *stored;
        } else {
            const NumberReading typed = ReadNumber(text);
            if (typed.overflows) {
                reading.failure = resultNames_[k] + ": " + FaultText(FaultKind::Overflow);
                return reading;
            }
            value = typed.value;
        }
        if (!value || !std::isfinite(*value)) {
            reading.failure = resultNames_[k] + " holds \"" + text + "\", which is no number";
            return reading;
        }
        reading.values.push_back(*value);
        reading.texts.push_back(std::move(text));
    }
    reading.ok = true;
    return reading;
}

JacobianResult DecimalStepJacobian(const ResidualFunction& residuals,
                                   std::span<const long double> x, std::size_t residualCount) {
    // Unknowns measured from x in units of each value's decimal magnitude:
    // the step from 0 is then a whole unit of the 7th digit.
    std::vector<long double> unit(x.size());
    for (std::size_t j = 0; j < x.size(); ++j) {
        unit[j] = x[j] == 0 ? 1.0L : std::pow(10.0L, std::floor(std::log10(std::fabs(x[j]))));
    }
    std::vector<long double> point(x.size());
    const ResidualFunction offset = [&](std::span<const long double> y,
                                        std::span<long double> out) {
        for (std::size_t j = 0; j < x.size(); ++j)
            point[j] = RoundedToDigits(x[j] + y[j] * unit[j]);
        return residuals(point, out);
    };
    const std::vector<long double> origin(x.size(), 0.0L);
    JacobianResult result =
        FiniteDifferenceJacobian(offset, origin, residualCount, JacobianSteps{1e-6L, 1e-6L});
    if (!result.ok) return result;
    for (std::size_t row = 0; row < residualCount; ++row) {
        for (std::size_t j = 0; j < x.size(); ++j)
            result.jacobian.entries[row * x.size() + j] /= unit[j];
    }
    return result;
}

std::string JoinedNames(const std::vector<std::string>& names) {
    std::string joined;
    for (std::size_t k = 0; k < names.size(); ++k) {
        if (k > 0) joined += k + 1 == names.size() ? " and " : ", ";
        joined += names[k];
    }
    return joined;
}

}  // namespace quantaro
