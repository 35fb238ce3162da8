#pragma once

#include <QColor>
#include <QPalette>

#include <cstdint>

namespace messages {

// Colour values as the markup and the callers write them: for a plain colour
// the bytes from low to high are red, green, blue and 0 ("$0000FF" is red);
// a value whose top byte is 0x80 names the system colour whose number is the
// low byte.
using ColorValue = std::int32_t;

namespace SystemColor {
constexpr ColorValue WindowText = ColorValue(0x80000008u);
constexpr ColorValue ButtonFace = ColorValue(0x8000000Fu);
constexpr ColorValue InfoText = ColorValue(0x80000017u);
constexpr ColorValue InfoBackground = ColorValue(0x80000018u);
} // namespace SystemColor

// Turns a colour value into a colour; system colours come from the nearest
// role of the given palette.
QColor ColorFromValue(ColorValue value, const QPalette &palette);

// The palette role that stands for a system colour number.
QPalette::ColorRole PaletteRoleOfSystemColor(int number);

} // namespace messages
