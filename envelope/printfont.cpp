#include "envelope/printfont.h"

#include "envelope/units.h"
#include "messages/colourvalue.h"

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
    // Printed on paper: system colours take the classic light scheme, not
    // the screen's theme (window text is black).
    static const QPalette paper(Qt::black, QColor(0xC0, 0xC0, 0xC0), Qt::white, QColor(0x80, 0x80, 0x80),
                                QColor(0xA0, 0xA0, 0xA0), Qt::black, Qt::white, Qt::white, QColor(0xC0, 0xC0, 0xC0));
    const quint32 v = quint32(stored);
    if (v == 0x1FFFFFFFu || v == 0x20000000u)  // none, default
        return Qt::black;
    return messages::ColorFromValue(stored, paper);
}

} // namespace envelope
