#pragma once
// Pages of a PDF read back with poppler-utils: the text of each page
// (pdftotext) and one page rasterized at 96 dpi, where a pixel is a page unit.

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

// Each page's words joined by single spaces.
inline QStringList texts(const QString &pdf)
{
    QStringList pages = QString::fromUtf8(run(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}))
                            .split(QLatin1Char('\f'));
    pages.removeLast();  // after the last page's form feed
    for (QString &page : pages)
        page = page.simplified();
    return pages;
}

inline QImage page(const QString &pdf, int number)
{
    QTemporaryDir dir;
    const QString prefix = dir.filePath(QStringLiteral("p"));
    const QString n = QString::number(number);
    run(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("96"), QStringLiteral("-gray"),
                                     QStringLiteral("-f"), n, QStringLiteral("-l"), n,
                                     QStringLiteral("-singlefile"), pdf, prefix});
    return QImage(prefix + QStringLiteral(".pgm"));
}

// Ink inside an area: its bounding box and the number of dark pixels, which
// two renderings of the same envelope share to the pixel.
struct Ink {
    QRect bounds;
    int count = 0;
    bool operator==(const Ink &o) const { return bounds == o.bounds && count == o.count; }
};

inline Ink inkIn(const QImage &image, const QRect &area)
{
    Ink ink;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (qGray(image.pixel(x, y)) < 128) {
                ink.bounds |= QRect(x, y, 1, 1);
                ++ink.count;
            }
    return ink;
}

// The sender's boxes at the top left and the recipient's at the lower right
// of the fixture's DL format, in pixels at 96 dpi.
const QRect SenderArea(0, 0, 400, 160);
const QRect RecipientArea(400, 200, 431, 215);

} // namespace pdfpages
