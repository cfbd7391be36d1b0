#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace quantaro {

// Where in a text an outcome points: the bytes [begin, end) of the text, and
// the equation they lie in (0 when the place is not in an equation).
struct TextPlace {
    int equationNumber = 0;
    std::size_t begin = 0;
    std::size_t end = 0;
    bool operator==(const TextPlace&) const = default;
};

// What an operation came to, in the one shape every layer reports in: a
// status (its first value, zero, means success), the text for the user
// (empty after success) and, where it is known, the place at fault.
template <class Status>
struct Outcome {
    Status status{};
    std::string message;
    std::optional<TextPlace> place;

    bool succeeded() const { return status == Status{}; }
};

}  // namespace quantaro
