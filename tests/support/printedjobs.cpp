#include "tests/support/printedjobs.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>

namespace printedjobs {

QString captureDir()
{
    const QString dir = qEnvironmentVariable("KUVERTIX_CAPTURE_DIR");
    return dir.isEmpty() ? QStringLiteral("/var/spool/kuvertix-capture") : dir;
}

QString waitForJob(int job, const QDateTime &submitted)
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

} // namespace printedjobs
