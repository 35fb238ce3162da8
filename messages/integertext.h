#pragma once

#include <QString>

#include <cstdint>
#include <stdexcept>

namespace messages {

// Raised when a text that should hold an integer does not. The message has
// the program's conversion-error wording ("... is not a valid integer value"),
// which the program-wide error handler passes over silently.
class InvalidIntegerError : public std::runtime_error
{
public:
    explicit InvalidIntegerError(const QString &text);
};

// Converts a decimal integer with an optional sign, or a hexadecimal one
// after a leading "$" (up to 32 bits, taken as two's complement, so
// "$FFFFFFFF" is -1). Anything else, an empty text included, throws
// InvalidIntegerError.
std::int32_t ParseIntegerText(const QString &text);

} // namespace messages
