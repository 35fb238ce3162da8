#include "tests/support/pdfread.h"

#include "tests/support/ink.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>

namespace pdfread {

QString run(const QString &program, const QStringList &arguments, bool *ok)
{
    QProcess process;
    process.start(program, arguments);
    const bool finished = process.waitForFinished(120000);
    if (ok)
        *ok = finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    return QString::fromUtf8(process.readAllStandardOutput());
}

bool toolsAvailable()
{
    for (const char *tool : {"pdfinfo", "pdftoppm", "pdftotext"})
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            return false;
    return true;
}

QSizeF pageSizePoints(const QString &pdf)
{
    const auto m = QRegularExpression(QStringLiteral("Page size:\\s+([0-9.]+) x ([0-9.]+) pts"))
                       .match(run(QStringLiteral("pdfinfo"), {pdf}));
    return m.hasMatch() ? QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()) : QSizeF();
}

int pageCount(const QString &pdf)
{
    const auto m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(run(QStringLiteral("pdfinfo"), {pdf}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

QStringList texts(const QString &pdf)
{
    QStringList pages = run(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}).split(QLatin1Char('\f'));
    pages.removeLast();  // after the last page's form feed
    for (QString &page : pages)
        page = page.simplified();
    return pages;
}

QList<Word> words(const QString &pdf)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("words.html"));
    run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, out});
    QFile file(out);
    QList<Word> result;
    if (!file.open(QIODevice::ReadOnly))
        return result;
    const QRegularExpression pattern(QStringLiteral(
        "<word xMin=\"([-0-9.]+)\" yMin=\"([-0-9.]+)\" xMax=\"([-0-9.]+)\" yMax=\"([-0-9.]+)\">([^<]*)</word>"));
    for (auto it = pattern.globalMatch(QString::fromUtf8(file.readAll())); it.hasNext();) {
        const auto m = it.next();
        result.append({m.captured(5), QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                                             QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()))});
    }
    return result;
}

const Word *find(const QList<Word> &words, const QString &text)
{
    for (const Word &w : words)
        if (w.text == text)
            return &w;
    return nullptr;
}

QStringList wordsIn(const QList<Word> &words, const QRectF &area)
{
    QStringList out;
    for (const Word &w : words)
        if (area.contains(w.box.topLeft()))
            out << w.text;
    std::sort(out.begin(), out.end());
    return out;
}

QStringList sortedWords(const QString &text)
{
    QStringList out = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    std::sort(out.begin(), out.end());
    return out;
}

QImage rasterize(const QString &pdf, Shade shade, double dpi, int page)
{
    QTemporaryDir dir;
    const QString prefix = dir.filePath(QStringLiteral("page"));
    const QString number = QString::number(page);
    QStringList arguments{QStringLiteral("-r"), QString::number(dpi, 'f', 4), QStringLiteral("-f"), number,
                          QStringLiteral("-l"), number, QStringLiteral("-singlefile")};
    if (shade == Shade::Grey)
        arguments << QStringLiteral("-gray");
    run(QStringLiteral("pdftoppm"), arguments << pdf << prefix);
    const QString suffix = shade == Shade::Grey ? QStringLiteral(".pgm") : QStringLiteral(".ppm");
    return QImage(prefix + suffix).convertToFormat(QImage::Format_RGB32);
}

QPair<QRect, int> pageInk(const QString &pdf, int page, const QRect &area)
{
    const QImage image = rasterize(pdf, Shade::Grey, 96, page);
    return {ink::bounds(image, area, 128), ink::count(image, area, 128)};
}

} // namespace pdfread
