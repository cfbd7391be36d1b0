#include "interaction/ReadableColours.h"

#include <algorithm>
#include <cmath>

namespace quantaro {
namespace {

// Drawing text or a ground may round a channel by one step, so a colour
// found here keeps a little above the least contrast.
constexpr double kRoundingMargin = 0.1;

double LinearChannel(double channel) {
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

}  // namespace

double RelativeLuminance(const QColor& colour) {
    const QColor rgb = colour.toRgb();
    return 0.2126 * LinearChannel(rgb.redF()) + 0.7152 * LinearChannel(rgb.greenF()) +
           0.0722 * LinearChannel(rgb.blueF());
}

double ContrastRatio(const QColor& first, const QColor& second) {
    const double a = RelativeLuminance(first);
    const double b = RelativeLuminance(second);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

// Luminance grows with lightness at a fixed hue and saturation, so the
// nearest readable colour is found by stepping the lightness away from the
// preferred one, both ways at once, in steps of the eight-bit channels.
QColor ReadableOn(const QColor& ground, const QColor& preferred, double contrast) {
    if (ContrastRatio(preferred, ground) >= contrast) return preferred;
    float hue = 0;
    float saturation = 0;
    float lightness = 0;
    preferred.toHsl().getHslF(&hue, &saturation, &lightness);
    hue = std::max(hue, 0.0f);  // a grey has no hue
    for (int step = 1; step <= 255; ++step) {
        for (const int direction : {1, -1}) {
            const float shifted = lightness + static_cast<float>(direction * step) / 255;
            if (shifted < 0 || shifted > 1) continue;
            const QColor candidate(QColor::fromHslF(hue, saturation, shifted).rgb());
            if (ContrastRatio(candidate, ground) >= contrast + kRoundingMargin) return candidate;
        }
    }
    // Only for a contrast above what black or white reach on this ground.
    return ContrastRatio(Qt::black, ground) > ContrastRatio(Qt::white, ground) ? QColor(Qt::black)
                                                                               : QColor(Qt::white);
}

QColor Blended(const QColor& from, const QColor& to, double share) {
    const QColor a = from.toRgb();
    const QColor b = to.toRgb();
    const auto mix = [share = std::clamp(share, 0.0, 1.0)](float x, float y) {
        return static_cast<float>(x + (y - x) * share);
    };
    const QColor blend = QColor::fromRgbF(mix(a.redF(), b.redF()), mix(a.greenF(), b.greenF()),
                                          mix(a.blueF(), b.blueF()));
    return QColor(blend.rgb());
}

}  // namespace quantaro
