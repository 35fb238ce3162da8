#include "messages/colourvalue.h"

#include <iterator>

namespace messages {

QPalette::ColorRole PaletteRoleOfSystemColor(int number)
{
    // Indexed by the system colour number (0 .. 30).
    static constexpr QPalette::ColorRole roles[] = {
        QPalette::Button,          // 0 scroll bar
        QPalette::Dark,            // 1 desktop
        QPalette::Highlight,       // 2 active caption
        QPalette::Mid,             // 3 inactive caption
        QPalette::Window,          // 4 menu
        QPalette::Base,            // 5 window
        QPalette::Shadow,          // 6 window frame
        QPalette::WindowText,      // 7 menu text
        QPalette::WindowText,      // 8 window text
        QPalette::HighlightedText, // 9 caption text
        QPalette::Window,          // 10 active border
        QPalette::Window,          // 11 inactive border
        QPalette::Dark,            // 12 application workspace
        QPalette::Highlight,       // 13 highlight
        QPalette::HighlightedText, // 14 highlight text
        QPalette::Button,          // 15 button face
        QPalette::Dark,            // 16 button shadow
        QPalette::PlaceholderText, // 17 grey text
        QPalette::ButtonText,      // 18 button text
        QPalette::WindowText,      // 19 inactive caption text
        QPalette::Light,           // 20 button highlight
        QPalette::Shadow,          // 21 3D dark shadow
        QPalette::Midlight,        // 22 3D light
        QPalette::ToolTipText,     // 23 info text
        QPalette::ToolTipBase,     // 24 info background
        QPalette::Window,          // 25 (unused number)
        QPalette::Link,            // 26 hot light
        QPalette::Highlight,       // 27 gradient of the active caption
        QPalette::Mid,             // 28 gradient of the inactive caption
        QPalette::Highlight,       // 29 menu highlight
        QPalette::Window,          // 30 menu bar
    };
    if (number < 0 || number >= int(std::size(roles)))
        return QPalette::WindowText;
    return roles[number];
}

QColor ColorFromValue(ColorValue value, const QPalette &palette)
{
    const auto bits = std::uint32_t(value);
    if ((bits >> 24) == 0x80)
        return palette.color(QPalette::Active, PaletteRoleOfSystemColor(int(bits & 0xFF)));
    return QColor(int(bits & 0xFF), int((bits >> 8) & 0xFF), int((bits >> 16) & 0xFF));
}

} // namespace messages
