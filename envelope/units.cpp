#include "envelope/units.h"

#include <cmath>
#include <cstdlib>

namespace envelope {

int roundUnits(double value)
{
    if (!std::isfinite(value))
        return 0;
    const double snapped = std::round(value * 1e9) / 1e9;
    const double whole = std::floor(snapped);
    const double fraction = snapped - whole;
    double result = whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0))
        result = whole + 1.0;
    // Far outside any envelope; keep the conversion defined.
    if (result > 1e9)
        return 1000000000;
    if (result < -1e9)
        return -1000000000;
    return int(result);
}

int placeUnits(double mm, double offsetUnits)
{
    return roundUnits(mm * UnitsPerMm + offsetUnits);
}

int mulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1;
    const long long product = static_cast<long long>(a) * b;
    const long long half = std::llabs(c) / 2;
    const bool negative = (product < 0) != (c < 0);
    const long long q = (std::llabs(product) + half) / std::llabs(c);
    return int(negative ? -q : q);
}

int pointsOfPixelHeight(int pixels)
{
    return mulDiv(std::abs(pixels), 72, 96);
}

int pixelHeightOfPoints(int points)
{
    return mulDiv(points, 96, 72);
}

double addressLineGap(double linesH, int fontPoints)
{
    const double s = fontPoints;
    return (s / 100.0 + 1.3) * (linesH * 2.77 - s);
}

} // namespace envelope
