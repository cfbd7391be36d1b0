#pragma once

namespace quantaro {

// Governs the circular and hyperbolic functions and their inverses.
enum class AngleUnit { Degrees, Radians };

}  // namespace quantaro
