#pragma once
// The one rule for tests that need the print spooler or the office: where
// KUVERTIX_REQUIRE_CUPS is set (CI sets it, tools/test.sh too) a missing
// service fails the test; elsewhere the test is skipped and says why.
//
//     REQUIRE_OR_SKIP(services::spoolerProblem(report::ReportPrinter::defaultPrinterName()));
//     REQUIRE_OR_SKIP(services::officeProblem(office::officeExecutable()));

#include <QString>
#include <QTest>

namespace services {

// Whether the services must be there.
bool required();
// Why jobs cannot be printed to the capture queue and read back here, or
// empty when they can. defaultPrinter is the spooler's default destination.
QString spoolerProblem(const QString &defaultPrinter);
// Why the office cannot be started here, or empty when it can. program is
// the office executable the program would start (empty when none is found).
QString officeProblem(const QString &program);

} // namespace services

// Ends the test function when problem is not empty: a failure when the
// services are required, a skip with the reason otherwise.
#define REQUIRE_OR_SKIP(problem)                                                                   \
    do {                                                                                           \
        const QString requireOrSkipProblem = (problem);                                            \
        if (!requireOrSkipProblem.isEmpty()) {                                                     \
            if (services::required())                                                              \
                QFAIL(qPrintable(requireOrSkipProblem));                                           \
            QSKIP(qPrintable(requireOrSkipProblem));                                               \
        }                                                                                          \
    } while (false)
