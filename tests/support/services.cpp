#include "tests/support/services.h"

#include "tests/support/pdfread.h"
#include "tests/support/printedjobs.h"

#include <QFileInfo>

namespace services {

bool required()
{
    return qEnvironmentVariableIsSet("KUVERTIX_REQUIRE_CUPS");
}

QString spoolerProblem(const QString &defaultPrinter)
{
    const QString queue = QString::fromLatin1(printedjobs::CaptureQueue);
    QString problem;
    if (defaultPrinter.isEmpty())
        problem = QStringLiteral("no default printer (is the CUPS scheduler running?)");
    else if (defaultPrinter != queue)
        problem = QStringLiteral("the default printer is %1, not %2").arg(defaultPrinter, queue);
    else if (!QFileInfo(printedjobs::captureDir()).isDir())
        problem = QStringLiteral("capture folder %1 is missing").arg(printedjobs::captureDir());
    else if (!pdfread::toolsAvailable())
        problem = QStringLiteral("poppler-utils are missing");
    if (!problem.isEmpty())
        problem += QStringLiteral("; run tools/setup-printing.sh as root");
    return problem;
}

QString officeProblem(const QString &program)
{
    if (program.isEmpty())
        return QStringLiteral("LibreOffice is not installed (tools/deps lists its packages)");
    if (!QFileInfo(program).isExecutable())
        return QStringLiteral("the office program %1 cannot be run").arg(program);
    return QString();
}

} // namespace services
