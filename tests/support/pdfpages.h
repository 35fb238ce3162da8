#pragma once
// Pages of a PDF read back with poppler-utils: each page's words joined by
// single spaces (pdftotext), and ink of one page rasterized at 96 dpi,
// where a pixel is a page unit.

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

namespace pdfpages {

inline QByteArray run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(120000);
    return process.readAllStandardOutput();
}

inline QStringList texts(const QString &pdf)
{
    QStringList pages = QString::fromUtf8(run("pdftotext", {pdf, "-"})).split(QLatin1Char('\f'));
    pages.removeLast();  // after the last page's form feed
    for (QString &page : pages)
        page = page.simplified();
    return pages;
}

// The bounding box of the dark pixels of page `number` inside an area, and
// their count: two renderings of one envelope agree on both to the pixel.
inline QPair<QRect, int> ink(const QString &pdf, int number, const QRect &area)
{
    QTemporaryDir dir;
    const QString n = QString::number(number);
    run("pdftoppm", {"-r", "96", "-gray", "-f", n, "-l", n, "-singlefile", pdf, dir.filePath("p")});
    const QImage image(dir.filePath("p.pgm"));
    QPair<QRect, int> ink;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (qGray(image.pixel(x, y)) < 128) {
                ink.first |= QRect(x, y, 1, 1);
                ++ink.second;
            }
    return ink;
}

// The sender's boxes at the top left and the recipient's at the lower right
// of the fixtures' DL format, in pixels at 96 dpi.
const QRect SenderArea(0, 0, 400, 160);
const QRect RecipientArea(400, 200, 431, 215);

} // namespace pdfpages
