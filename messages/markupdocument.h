#pragma once

#include <QColor>
#include <QPalette>
#include <QString>

class QTextDocument;

namespace messages {

// The attributes a message text starts with and that "{F0}" returns to
// (character attributes only; alignment and background are not reset).
struct MarkupBaseAttributes
{
    QString family;
    int pointSize = 10;
    QColor color;
    Qt::Alignment alignment = Qt::AlignHCenter;
    QColor background;
};

MarkupBaseAttributes BaseMarkupAttributes(const QPalette &palette);

// Font sizes a code may set are kept within what a text view can draw.
constexpr int MinMarkupPointSize = 1;
constexpr int MaxMarkupPointSize = 1638;

// Replaces the document's content by the plain text of a markup text and
// applies its codes: character attributes as a running state from each
// code's position on, alignment to the paragraph of the code's position and
// every later one, the background (the last "{BC" wins) to the root frame.
// Line breaks are "\r", "\r\n" or "\n", each one paragraph break.
// A size, colour or background argument that is not an integer throws
// InvalidIntegerError; the plain text and the earlier codes are in place then.
void RenderMarkupDocument(QTextDocument &document, const QString &text, const QPalette &palette);

// The background colour of the whole text area that the last render set.
QColor MarkupBackground(const QTextDocument &document);

} // namespace messages
