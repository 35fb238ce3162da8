#include "letters/blankoutput.h"

#include "letters/writersession.h"
#include "office/officechild.h"
#include "report/pdfjoin.h"
#include "report/reporterror.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <unistd.h>

namespace letters {

int runBlankTo(WriterSession &session, BlankRun &run, store::Cursor &recipients, runs::PrintScope scope,
               const QString &pdfFile)
{
    if (pdfFile.isEmpty())
        return run.run(recipients, scope);
    // The filled sheets hold user data: readable by the user alone, and gone
    // with the run; named as this program's leftovers, so that a start after
    // a killed run removes them.
    QTemporaryDir sheets(QDir::tempPath() + QLatin1Char('/') + office::leftoverPrefix(::getpid())
                         + QStringLiteral("sheets-XXXXXX"));
    if (!sheets.isValid())
        throw report::ReportError(report::ReportError::Kind::OutputFailed,
                                  QStringLiteral("Не удалось создать временную папку для листов: %1.")
                                      .arg(sheets.errorString()));
    session.collectSheetsIn(sheets.path());
    // The session prints again after this run, however it ends.
    struct PrintAgain {
        WriterSession &session;
        ~PrintAgain() { session.collectSheetsIn(QString()); }
    } printAgain{session};
    const int filled = run.run(recipients, scope);
    report::joinPdfFiles(session.sheetFiles(), pdfFile);
    return filled;
}

QString blankRunStoppedText(const QString &cause, int sheetsPrinted, bool toPdf)
{
    return toPdf ? QStringLiteral("Бланки не сохранены в PDF: %1").arg(cause)
                 : QStringLiteral("Печать бланков остановлена: %1\nНапечатано листов: %2.").arg(cause).arg(sheetsPrinted);
}

QString proposedBlankPdfName(const QString &blankName, const QDate &date)
{
    return QStringLiteral("%1 %2.pdf").arg(QFileInfo(blankName).completeBaseName(), date.toString(Qt::ISODate));
}

} // namespace letters
