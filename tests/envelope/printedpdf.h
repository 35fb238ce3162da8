#pragma once
// Reading printed envelopes back: jobs stored by the test queue's backend,
// PDF page size, word boxes (pdftotext -bbox) and rasterized ink
// (pdftoppm), all from poppler-utils.

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRectF>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

namespace printedpdf {

inline QString captureDir()
{
    const QString dir = qEnvironmentVariable("KUVERTIX_CAPTURE_DIR");
    return dir.isEmpty() ? QStringLiteral("/var/spool/kuvertix-capture") : dir;
}

// The stored document of a job, waiting up to 30 s; empty when it never
// came. A file older than the submission is from an earlier numbering.
inline QString waitForJob(int job, const QDateTime &submitted)
{
    const QString path = captureDir() + QStringLiteral("/job-%1.pdf").arg(job);
    const auto stored = [&] {
        const QFileInfo info(path);
        return info.exists() && info.lastModified() >= submitted.addSecs(-1);
    };
    QElapsedTimer timer;
    timer.start();
    while (!stored() && timer.elapsed() < 30000)
        QThread::msleep(50);
    return stored() ? path : QString();
}

inline QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

inline QSizeF pageSizePoints(const QString &pdf)
{
    const auto m = QRegularExpression(QStringLiteral("Page size:\\s+([0-9.]+) x ([0-9.]+) pts"))
                       .match(run(QStringLiteral("pdfinfo"), {pdf}));
    return m.hasMatch() ? QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()) : QSizeF();
}

inline int pageCount(const QString &pdf)
{
    const auto m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)"))
                       .match(run(QStringLiteral("pdfinfo"), {pdf}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

struct Word {
    QString text;
    QRectF box;  // points from the top left corner
};

inline QList<Word> words(const QString &pdf)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("w.html"));
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

inline const Word *find(const QList<Word> &words, const QString &text)
{
    for (const Word &w : words)
        if (w.text == text)
            return &w;
    return nullptr;
}

// The first page in colour at 96 dpi: one pixel is one page unit.
inline QImage rasterize(const QString &pdf)
{
    QTemporaryDir dir;
    const QString prefix = dir.filePath(QStringLiteral("page"));
    run(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("96"),
                                     QStringLiteral("-singlefile"), pdf, prefix});
    return QImage(prefix + QStringLiteral(".ppm")).convertToFormat(QImage::Format_RGB32);
}

// Pixels darker than mid grey inside a rectangle.
inline int ink(const QImage &image, const QRect &area)
{
    int n = 0;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (qGray(image.pixel(x, y)) < 128)
                ++n;
    return n;
}

// Pixels of a strong red inside a rectangle.
inline int red(const QImage &image, const QRect &area)
{
    int n = 0;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 180 && c.green() < 80 && c.blue() < 80)
                ++n;
        }
    return n;
}

} // namespace printedpdf
