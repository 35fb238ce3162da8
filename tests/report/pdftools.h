#pragma once

// Reading PDF files back with poppler-utils: page size, rasterized pages and
// word boxes.

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRectF>
#include <QRegularExpression>
#include <QSizeF>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace pdftools {

inline QString run(const QString &program, const QStringList &arguments, bool *ok = nullptr)
{
    QProcess process;
    process.start(program, arguments);
    const bool finished = process.waitForFinished(60000);
    if (ok)
        *ok = finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The first page's size in points; invalid when pdfinfo cannot read it.
inline QSizeF pageSizePoints(const QString &pdf)
{
    const QString info = run(QStringLiteral("pdfinfo"), {pdf});
    const QRegularExpression pattern(QStringLiteral("Page size:\\s+([0-9.]+) x ([0-9.]+) pts"));
    const auto match = pattern.match(info);
    if (!match.hasMatch())
        return QSizeF();
    return QSizeF(match.captured(1).toDouble(), match.captured(2).toDouble());
}

inline int pageCount(const QString &pdf)
{
    const QString info = run(QStringLiteral("pdfinfo"), {pdf});
    const auto match = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

// The first page rasterized in grey at the given resolution, as RGB32.
inline QImage rasterize(const QString &pdf, int dpi = 96)
{
    QTemporaryDir dir;
    const QString prefix = dir.filePath(QStringLiteral("page"));
    run(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QString::number(dpi),
                                     QStringLiteral("-gray"), QStringLiteral("-singlefile"),
                                     QStringLiteral("-f"), QStringLiteral("1"), pdf, prefix});
    QImage image(prefix + QStringLiteral(".pgm"));
    return image.convertToFormat(QImage::Format_RGB32);
}

struct Word
{
    QString text;
    QRectF box; // points from the top left corner of the page
};

inline QList<Word> words(const QString &pdf)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("words.html"));
    run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, out});
    QFile file(out);
    QList<Word> result;
    if (!file.open(QIODevice::ReadOnly))
        return result;
    const QString html = QString::fromUtf8(file.readAll());
    const QRegularExpression pattern(QStringLiteral(
        "<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">([^<]*)</word>"));
    for (auto it = pattern.globalMatch(html); it.hasNext();) {
        const auto match = it.next();
        const QPointF topLeft(match.captured(1).toDouble(), match.captured(2).toDouble());
        const QPointF bottomRight(match.captured(3).toDouble(), match.captured(4).toDouble());
        result.append({match.captured(5), QRectF(topLeft, bottomRight)});
    }
    return result;
}

inline bool toolsAvailable()
{
    return !QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty()
        && !QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty()
        && !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
}

} // namespace pdftools
