#pragma once
// Printed jobs read back from the test queue of tools/setup-printing.sh,
// whose backend stores each job's document as job-<number>.pdf in the
// capture folder.

#include <QDateTime>
#include <QString>

namespace printedjobs {

// The queue the tests print to; it must be the default destination.
inline const char CaptureQueue[] = "Kuvertix_Capture";

// KUVERTIX_CAPTURE_DIR, by default /var/spool/kuvertix-capture.
QString captureDir();
// The stored document of a job, waiting up to 30 s; empty when it never
// came. A file older than the submission is left from an earlier
// scheduler's numbering and is not taken.
QString waitForJob(int job, const QDateTime &submitted);

} // namespace printedjobs
