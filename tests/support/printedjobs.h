#pragma once
// Reading printed envelopes back from the test queue of
// tools/setup-printing.sh, whose backend stores each job's document as
// job-<number>.pdf in the capture folder; words with their boxes come from
// pdftotext -bbox (poppler-utils).

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRectF>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>

namespace printedjobs {

inline QString captureDir()
{
    const QString dir = qEnvironmentVariable("KUVERTIX_CAPTURE_DIR");
    return dir.isEmpty() ? QStringLiteral("/var/spool/kuvertix-capture") : dir;
}

// Why printing cannot be checked here, or empty when it can.
inline QString unavailable(const QString &defaultPrinter)
{
    if (defaultPrinter.isEmpty())
        return QStringLiteral("no default destination (spooler not reachable?)");
    if (!QFileInfo(captureDir()).isDir())
        return QStringLiteral("capture folder %1 missing").arg(captureDir());
    return QString();
}

// The stored document of a job, waiting up to 30 s; empty when it never
// came. A file older than the submission is left from an earlier numbering.
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
        QThread::msleep(20);
    return stored() ? path : QString();
}

struct Word {
    QString text;
    QRectF box;  // points from the top left corner of the page
};

inline QList<Word> words(const QString &pdf)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("w.html"));
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, out});
    process.waitForFinished(60000);
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

// The sorted words whose boxes start inside an area (points).
inline QStringList wordsIn(const QList<Word> &all, const QRectF &area)
{
    QStringList out;
    for (const Word &w : all)
        if (area.contains(w.box.topLeft()))
            out << w.text;
    std::sort(out.begin(), out.end());
    return out;
}

inline QStringList sortedWords(const QString &text)
{
    QStringList out = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    std::sort(out.begin(), out.end());
    return out;
}

} // namespace printedjobs
