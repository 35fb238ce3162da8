#pragma once
// The print font of the address boxes as the font dialog keeps it: family,
// height in pixels, style, colour and character set. Heights follow the
// platform convention: negative is the character height (the em size), which
// is what the font dialog produces.

#include <QColor>
#include <QFont>
#include <QString>

namespace envelope {

// Character sets and colours as the form stream names them.
namespace charset {
constexpr int Ansi = 0;
constexpr int Default = 1;
constexpr int Russian = 204;
} // namespace charset
namespace syscolor {
// A system colour: the top byte 0x80, the low byte the colour's number.
constexpr qint32 WindowText = qint32(0x80000008);
} // namespace syscolor

struct PrintFont {
    QString family = QStringLiteral("Arial");
    int height = -15;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    qint32 color = syscolor::WindowText;  // 0x00BBGGRR or a system colour
    int charset = charset::Russian;

    bool operator==(const PrintFont &other) const;
    bool operator!=(const PrintFont &other) const { return !(*this == other); }

    // Size in whole points (15 px -> 11 pt).
    int pointSize() const;
    int pixelSize() const;
    // A font whose pixel size is the height: at 96 units per inch this is
    // the size in page units the report engine expects.
    QFont toQFont() const;
    QColor textColor() const;
    bool isDefault() const { return *this == PrintFont(); }

    // Takes family, size and style from a font (e.g. from the font dialog);
    // colour and character set stay as they are.
    void assignFrom(const QFont &font);
};

// The colour of a stored colour value as printed: RGB for plain colours,
// system colours as in the classic light scheme (window text is black).
QColor colorOfStored(qint32 stored);

} // namespace envelope
