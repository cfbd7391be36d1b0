#pragma once

#include <QColor>

namespace quantaro {

// The least contrast ratio between text and the ground it is drawn on.
inline constexpr double kReadableContrast = 4.5;

// Relative luminance of a colour as WCAG 2 defines it: 0 for black, 1 for white.
double RelativeLuminance(const QColor& colour);

// Contrast ratio of two colours as WCAG 2 defines it, from 1 to 21.
double ContrastRatio(const QColor& first, const QColor& second);

// The colour of preferred's hue and saturation, lightened or darkened as
// little as will do, whose contrast against ground is at least contrast:
// preferred itself when it has it. Every ground has a readable colour of any
// hue at the default contrast, black or white at the worst.
QColor ReadableOn(const QColor& ground, const QColor& preferred,
                  double contrast = kReadableContrast);

// The colour a share of the way (0 to 1) from one colour to another.
QColor Blended(const QColor& from, const QColor& to, double share);

}  // namespace quantaro
