#pragma once
// Reading PDF files back with poppler-utils: page size and count (pdfinfo),
// each page's words (pdftotext), word boxes (pdftotext -bbox) and pages
// rasterized (pdftoppm).

#include <QImage>
#include <QList>
#include <QPair>
#include <QRect>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>

namespace pdfread {

// The standard output of a program; ok tells whether it ended normally with 0.
QString run(const QString &program, const QStringList &arguments, bool *ok = nullptr);
bool toolsAvailable();

// The first page's size in points; invalid when pdfinfo cannot read it.
QSizeF pageSizePoints(const QString &pdf);
// -1 when pdfinfo cannot read the file.
int pageCount(const QString &pdf);

// Each page's words joined by single spaces.
QStringList texts(const QString &pdf);

struct Word {
    QString text;
    QRectF box;  // points from the top left corner of the page
};
QList<Word> words(const QString &pdf);
// The first word of that text, or null.
const Word *find(const QList<Word> &words, const QString &text);
// The sorted words whose boxes start inside an area (points).
QStringList wordsIn(const QList<Word> &words, const QRectF &area);
// The words of a text, split at blanks, sorted.
QStringList sortedWords(const QString &text);

enum class Shade { Grey, Colour };
// One page at a resolution, as RGB32; at 96 dpi a pixel is a page unit.
QImage rasterize(const QString &pdf, Shade shade = Shade::Grey, double dpi = 96, int page = 1);
// The bounding box of the dark pixels of a page at 96 dpi inside an area,
// and their count: two renderings of one page agree on both to the pixel.
QPair<QRect, int> pageInk(const QString &pdf, int page, const QRect &area);

} // namespace pdfread
