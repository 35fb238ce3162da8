#pragma once
// Millimetres of the envelope formats to whole page units (1/96 inch) and
// the font sizes the layout works with.

namespace envelope {

// Page units per millimetre used for every envelope position and size.
constexpr double UnitsPerMm = 3.78;

// Rounds to the nearest whole unit, halves to the even neighbour
// (2.5 -> 2, 3.5 -> 4, -0.5 -> 0). The figures are decimal millimetres times
// 3.78, so the binary error of the product (25 * 3.78 is a hair below 94.5)
// must not decide a half: the value is first snapped to a 1e-9 grid.
int roundUnits(double value);

// round(mm * 3.78 + offset): the offset is added before rounding.
int placeUnits(double mm, double offsetUnits = 0.0);

// Windows-style MulDiv: a * b / c rounded half away from zero.
int mulDiv(int a, int b, int c);

// Whole points of a font given by its height in pixels at 96 per inch
// (15 px -> 11 pt, 16 px -> 12 pt).
int pointsOfPixelHeight(int pixels);
// Pixel height at 96 per inch of a size in whole points (11 pt -> 15 px).
int pixelHeightOfPoints(int points);

// The extra gap between the lines of an address box in page units:
// (S / 100 + 1.3) * (linesH * 2.77 - S) for a print font of S whole points.
// Negative when the lines are to overlap.
double addressLineGap(double linesH, int fontPoints);

} // namespace envelope
