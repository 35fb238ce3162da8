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

using report::throwCannotWrite;

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
    // QPdfWriter does not say when the device refused its bytes.
    report::commitWhole(file);
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
