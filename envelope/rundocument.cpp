#include "envelope/rundocument.h"

#include "envelope/envelopeprinter.h"
#include "report/oserror.h"
#include "report/pdfdocument.h"
#include "report/reporterror.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>

namespace envelope {

namespace {

[[noreturn]] void throwCannotWrite(const QString &fileName, const QString &reason)
{
    throw report::ReportError(report::ReportError::Kind::OutputFailed,
                      QStringLiteral("Не удалось записать файл «%1»: %2.")
                          .arg(QDir::toNativeSeparators(fileName), report::fileErrorCause(reason)));
}

} // namespace

int writeRunDocument(const EnvelopeRun &run, QIODevice *device)
{
    report::ReportPdfDocument document(device);
    runEnvelopes(run.recipients, run.sender, run.options,
                 [&](const EnvelopeTexts &texts) {
                     run.printer.layOut(texts);
                     document.addPage(run.printer.page());
                 },
                 run.progress);
    document.finish();
    return document.pageCount();
}

int saveRunPdf(const EnvelopeRun &run, const QString &fileName)
{
    // Without commit() the temporary file is removed when this goes out of
    // scope, also when the run throws.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throwCannotWrite(fileName, file.errorString());
    const int pages = writeRunDocument(run, &file);
    if (pages == 0) {
        file.cancelWriting();
        return 0;
    }
    // QPdfWriter does not say when the device refused its bytes, and a
    // refused write alone does not stop commit(): a full disk would leave an
    // empty or cut file where the older one was.
    if (!file.flush() || file.error() != QFileDevice::NoError) {
        const QString reason = file.errorString();
        file.cancelWriting();
        throwCannotWrite(fileName, reason);
    }
    if (!file.commit())
        throwCannotWrite(fileName, file.errorString());
    return pages;
}

int printRunAsOneJob(const EnvelopeRun &run)
{
    QTemporaryFile file(QDir::tempPath() + QStringLiteral("/kuvertix-run-XXXXXX.pdf"));
    if (!file.open())
        throwCannotWrite(file.fileTemplate(), file.errorString());
    const int pages = writeRunDocument(run, &file);
    if (!file.flush() || file.error() != QFileDevice::NoError)
        throwCannotWrite(file.fileName(), file.errorString());
    file.close();
    if (pages == 0)
        return 0;
    run.printer.printDocument(file.fileName());
    return run.printer.lastJob();
}

} // namespace envelope
