#include "envelope/printfont.h"

#include "envelope/units.h"

#include <QtMath>
#include <cstdlib>

namespace envelope {

bool PrintFont::operator==(const PrintFont &o) const
{
    return family == o.family && height == o.height && bold == o.bold && italic == o.italic
        && underline == o.underline && strikeOut == o.strikeOut && color == o.color
        && charset == o.charset;
}

int PrintFont::pointSize() const
{
    return pointsOfPixelHeight(height);
}

int PrintFont::pixelSize() const
{
    const int pixels = std::abs(height);
    return pixels > 0 ? pixels : 15;
}

QFont PrintFont::toQFont() const
{
    QFont font(family.isEmpty() ? QStringLiteral("Arial") : family);
    font.setPixelSize(pixelSize());
    font.setBold(bold);
    font.setItalic(italic);
    font.setUnderline(underline);
    font.setStrikeOut(strikeOut);
    return font;
}

QColor PrintFont::textColor() const
{
    return colorOfStored(color);
}

void PrintFont::assignFrom(const QFont &font)
{
    family = font.family();
    if (font.pixelSize() > 0)
        height = -font.pixelSize();
    else if (font.pointSizeF() > 0)
        height = -pixelHeightOfPoints(qRound(font.pointSizeF()));
    bold = font.bold();
    italic = font.italic();
    underline = font.underline();
    strikeOut = font.strikeOut();
}

QColor colorOfStored(qint32 stored)
{
    const quint32 v = quint32(stored);
    if ((v & 0xFF000000u) == 0xFF000000u) {
        switch (v & 0xFFu) {
        case 5:  // window
        case 14: // highlight text
            return Qt::white;
        case 13: // highlight
        case 2:  // active caption
            return QColor(0x00, 0x00, 0x80);
        case 15: // button face
        case 4:  // menu
            return QColor(0xC0, 0xC0, 0xC0);
        case 16: // button shadow
        case 17: // grey text
            return QColor(0x80, 0x80, 0x80);
        default: // window text, button text, menu text, captions: black
            return Qt::black;
        }
    }
    if (v == 0x1FFFFFFFu || v == 0x20000000u) // none, default
        return Qt::black;
    return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}

} // namespace envelope
