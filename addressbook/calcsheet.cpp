#include "addressbook/calcsheet.h"
#include "addressbook/csvtext.h"
#include "addressbook/zipsize.h"

#include "office/officechild.h"
#include "office/officeprocess.h"
#include "office/unotext.h"

#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/document/MacroExecMode.hpp>
#include <com/sun/star/document/UpdateDocMode.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/sheet/XCellRangeAddressable.hpp>
#include <com/sun/star/sheet/XCellRangeData.hpp>
#include <com/sun/star/sheet/XSheetCellCursor.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XUsedAreaCursor.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/sheet/XSpreadsheetView.hpp>
#include <com/sun/star/table/XCellRange.hpp>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <vector>

#include <unistd.h>

using css::uno::Any;
using css::uno::Reference;
using css::uno::Sequence;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;

namespace addressbook {

namespace {

constexpr int exportedColumns = 11;
// An address book of ten thousand recipients unpacks into a few MB and
// fills some hundred thousand cells.
constexpr int MaxUnpackedMegabytes = 256;
constexpr qint64 MaxCells = 2000000;
const QString copyPrefix = QStringLiteral("kuvertix-export-");

SheetError translated(const office::OfficeError &e, SheetError::Kind unreadable)
{
    using K = office::OfficeError::Kind;
    switch (e.kind()) {
    case K::NotInstalled:
        return SheetError(SheetError::Kind::NoOffice, e.message(), 0, e.cause());
    case K::StartFailed:
        return SheetError(SheetError::Kind::OfficeNotStarting, e.message(), 0, e.cause());
    case K::ConnectionLost:
        return SheetError(SheetError::Kind::OfficeGone, e.message(), 0, e.cause());
    case K::DocumentUnreadable:
        return SheetError(unreadable, e.message(), 0, e.cause());
    case K::OperationFailed:
        break;
    }
    return SheetError(SheetError::Kind::Failed, e.message(), 0, e.cause());
}

// Closes the document however the work on it ends.
struct OpenDocument {
    Reference<css::lang::XComponent> component;
    ~OpenDocument() { office::OfficeProcess::closeDocument(component); }
};

Reference<css::sheet::XSpreadsheet> firstSheet(const Reference<css::lang::XComponent> &document)
{
    const Reference<css::sheet::XSpreadsheetDocument> book(document, UNO_QUERY);
    if (!book.is())
        return {};
    const Reference<css::container::XIndexAccess> sheets(book->getSheets(), UNO_QUERY_THROW);
    if (sheets->getCount() == 0)
        return {};
    return Reference<css::sheet::XSpreadsheet>(sheets->getByIndex(0), UNO_QUERY_THROW);
}

// The sheet the workbook shows when opened; the first when it has no view.
Reference<css::sheet::XSpreadsheet> activeSheet(const Reference<css::lang::XComponent> &document)
{
    const Reference<css::frame::XModel> model(document, UNO_QUERY);
    if (model.is()) {
        const Reference<css::sheet::XSpreadsheetView> view(model->getCurrentController(), UNO_QUERY);
        if (view.is() && view->getActiveSheet().is())
            return view->getActiveSheet();
    }
    return firstSheet(document);
}

int rowsOf(const Reference<css::sheet::XSpreadsheet> &sheet)
{
    const Reference<css::sheet::XCellRangeAddressable> range(sheet, UNO_QUERY_THROW);
    return range->getRangeAddress().EndRow + 1;
}

// The cells of the sheet's used area, from A1 to its last used cell.
qint64 usedCells(const Reference<css::sheet::XSpreadsheet> &sheet)
{
    const Reference<css::sheet::XSheetCellCursor> cursor = sheet->createCursor();
    Reference<css::sheet::XUsedAreaCursor>(cursor, UNO_QUERY_THROW)->gotoEndOfUsedArea(false);
    const auto end = Reference<css::sheet::XCellRangeAddressable>(cursor, UNO_QUERY_THROW)->getRangeAddress();
    return qint64(end.EndRow + 1) * (end.EndColumn + 1);
}

Sequence<Sequence<Any>> dataArray(const QVector<QStringList> &rows)
{
    std::vector<Sequence<Any>> lines;
    lines.reserve(size_t(rows.size()));
    std::vector<Any> cells(exportedColumns);
    for (const QStringList &row : rows) {
        for (int c = 0; c < exportedColumns; ++c)
            cells[size_t(c)] <<= office::toOUString(row.value(c));
        lines.emplace_back(cells.data(), exportedColumns);
    }
    return Sequence<Sequence<Any>>(lines.data(), sal_Int32(lines.size()));
}

// Copies of exports made by earlier versions straight into the temporary
// folder; those older than a day are removed.
void removeOldCopies()
{
    const QDateTime dayAgo = QDateTime::currentDateTime().addDays(-1);
    const QDir temp = QDir::temp();
    for (const QFileInfo &f : temp.entryInfoList({copyPrefix + QStringLiteral("*.ods")}, QDir::Files))
        if (f.lastModified() < dayAgo)
            QFile::remove(f.absoluteFilePath());
}

// The copy is left for the desktop office to open, in a private folder
// (mode 0700) of this program that goes when the program ends; after a
// crash the next start of an office removes it.
QString newCopyPath()
{
    static QTemporaryDir folder(QDir::tempPath() + QLatin1Char('/') + office::leftoverPrefix(::getpid())
                                + QStringLiteral("export-XXXXXX"));
    if (!folder.isValid())
        throw SheetError(SheetError::Kind::Failed,
                         QStringLiteral("Не удалось создать временную папку для выгрузки в папке «%1».")
                             .arg(QDir::toNativeSeparators(QDir::tempPath())));
    return QDir(folder.path()).filePath(copyPrefix + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss-zzz"))
                                 + QStringLiteral(".ods"));
}

bool isCsv(const QString &path)
{
    return QFileInfo(path).suffix().compare(QStringLiteral("csv"), Qt::CaseInsensitive) == 0;
}

// Whether the office fell back to reading the file as a text table.
bool loadedAsText(const Reference<css::lang::XComponent> &document)
{
    const Reference<css::frame::XModel> model(document, UNO_QUERY);
    if (!model.is())
        return false;
    for (const css::beans::PropertyValue &arg : model->getArgs()) {
        office::OUString filter;
        if (arg.Name == "FilterName" && (arg.Value >>= filter))
            return filter.startsWith("Text");
    }
    return false;
}

// A file with zero bytes in its beginning is no text table, whatever the
// office made of it.
bool looksBinary(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(65536).contains('\0');
}

// A cell showing the error of a formula rather than a value: the office
// could not compute it (a function it lacks, say) and the file held no
// result it kept.
bool isFormulaError(const QString &text)
{
    static const QRegularExpression error(
        QStringLiteral("^(?:Err:\\d{3}|#NAME\\?|#VALUE!|#REF!|#DIV/0!|#N/A|#NUM!|#NULL!)$"));
    return error.match(text).hasMatch();
}

// Stores the sheet the workbook shows as UTF-8 text with the cells as they
// are shown: "," between cells, text cells in quotes.
const char *const shownCsvOptions = "44,34,76,1,,0,true,false,true,false,false";

} // namespace

QString exportWorkbookName()
{
    return QStringLiteral("Kuvertix.xls");
}

CopyViewer desktopOffice()
{
    CopyViewer viewer;
    viewer.available = [] {
        return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    };
    viewer.open = [](const QString &copy) {
        // "-n": a new untitled document made from the copy, in the user's
        // own office; its output goes nowhere so that no pipe stays open.
        QProcess process;
        process.setProgram(office::officeExecutable());
        process.setArguments({QStringLiteral("-n"), copy});
        process.setStandardOutputFile(QProcess::nullDevice());
        process.setStandardErrorFile(QProcess::nullDevice());
        if (!process.startDetached())
            throw SheetError(SheetError::Kind::Failed,
                             QStringLiteral("Не удалось запустить LibreOffice Calc, чтобы показать выгрузку."));
    };
    return viewer;
}

CalcSheet::CalcSheet(const QString &programFolder, CopyViewer viewer)
    : m_programFolder(programFolder), m_viewer(std::move(viewer))
{
}

CalcSheet::~CalcSheet() = default;

office::OfficeProcess &CalcSheet::office()
{
    if (!m_office) {
        m_office = std::make_unique<office::OfficeProcess>(m_officeProgram.isEmpty() ? office::officeExecutable()
                                                                                      : m_officeProgram);
        if (m_startTimeoutMs > 0)
            m_office->setStartTimeout(m_startTimeoutMs);
    }
    m_office->start();
    return *m_office;
}

void CalcSheet::setOfficeProgram(const QString &program, int startTimeoutMs)
{
    m_office.reset();
    m_officeProgram = program;
    m_startTimeoutMs = startTimeoutMs;
}

bool CalcSheet::available()
{
    return !office::officeExecutable().isEmpty()
        && QFileInfo::exists(QStringLiteral(KUVERTIX_OFFICE_PROGRAM "/libsclo.so"));
}

void CalcSheet::exportRows(const QVector<QStringList> &rows)
{
    if (!m_viewer.available())
        throw SheetError(SheetError::Kind::NoDisplay);
    const QString workbook = QDir(m_programFolder).filePath(exportWorkbookName());
    if (!QFileInfo(workbook).isFile())
        throw SheetError(SheetError::Kind::NoExportWorkbook);
    removeOldCopies();
    const QString copy = newCopyPath();
    try {
        office::OfficeProcess &process = office();
        // Loaded writable so that the sheet takes the rows; never stored.
        OpenDocument document{process.loadHidden(workbook, false)};
        process.call([&] {
            const Reference<css::sheet::XSpreadsheet> sheet = firstSheet(document.component);
            if (!sheet.is())
                throw SheetError(SheetError::Kind::NoExportWorkbook);
            if (rows.isEmpty())
                return;
            const Reference<css::sheet::XCellRangeData> range(
                sheet->getCellRangeByPosition(0, 0, exportedColumns - 1, sal_Int32(rows.size()) - 1), UNO_QUERY_THROW);
            range->setDataArray(dataArray(rows));
        });
        // In the office's own format: stored in about half the time of the
        // workbook's own, and the user saves the untitled document anyway.
        process.storeCopy(document.component, copy, "calc8");
    } catch (const office::OfficeError &e) {
        throw translated(e, SheetError::Kind::NoExportWorkbook);
    }
    m_copy = copy;
    m_viewer.open(copy);
}

SheetCells CalcSheet::readCells(const QString &filePath, int rowCount, int columnCount)
{
    if (!QFileInfo(filePath).isFile())
        throw SheetError(SheetError::Kind::NotAWorkbook);
    if (zipUnpackedSize(filePath) > qint64(MaxUnpackedMegabytes) * 1024 * 1024)
        throw SheetError(SheetError::Kind::TooLarge,
                         QStringLiteral("распакованный, он занял бы больше %1 МБ").arg(MaxUnpackedMegabytes));
    QString shown, source;
    struct RemoveAtEnd {
        QString &path;
        ~RemoveAtEnd() { if (!path.isEmpty()) QFile::remove(path); }
    } removeShown{shown}, removeSource{source};
    try {
        office::OfficeProcess &process = office();
        // The cells as shown are user data: in the run's private folder.
        shown = QDir(process.runFolder()).filePath(QStringLiteral("shown.csv"));
        OpenDocument document;
        if (isCsv(filePath)) {
            QFile file(filePath);
            if (!file.open(QIODevice::ReadOnly))
                throw SheetError(SheetError::Kind::NotAWorkbook, file.errorString());
            // The office reads the file in one encoding; a private copy in
            // UTF-8 keeps lines of the other encoding readable.
            const QByteArray text = csvAsUtf8(file.readAll());
            source = QDir(process.runFolder()).filePath(QStringLiteral("source.csv"));
            QFile copy(source);
            if (!copy.open(QIODevice::WriteOnly) || copy.write(text) != text.size() || !copy.flush())
                throw SheetError(SheetError::Kind::Failed, copy.errorString());
            copy.close();
            document.component = process.loadHidden(
                source, true,
                office::properties({{"FilterName", Any(office::OUString("Text - txt - csv (StarCalc)"))},
                                    {"FilterOptions", Any(office::toOUString(csvLoadOptions(text)))}}));
        } else {
            document.component = process.loadHidden(filePath, true);
        }
        process.call([&] {
            if (!Reference<css::sheet::XSpreadsheetDocument>(document.component, UNO_QUERY).is())
                throw SheetError(SheetError::Kind::NotAWorkbook);
            if (loadedAsText(document.component) && looksBinary(filePath))
                throw SheetError(SheetError::Kind::NotAWorkbook);
            const Reference<css::sheet::XSpreadsheet> sheet = activeSheet(document.component);
            if (!sheet.is())
                throw SheetError(SheetError::Kind::NoSheets);
            const int limit = rowsOf(sheet);
            if (rowCount > limit)
                throw SheetError(SheetError::Kind::RowsBeyondSheet, {}, limit);
            // The whole used area is read at once: a ceiling on its cells.
            if (usedCells(sheet) > MaxCells)
                throw SheetError(SheetError::Kind::TooLarge,
                                 QStringLiteral("в его листе больше %1 ячеек").arg(QLocale(QLocale::Russian).toString(MaxCells)));
        });
        if (rowCount == 0 || columnCount == 0)
            return {};
        process.call([&] {
            const Reference<css::frame::XStorable> storable(document.component, UNO_QUERY_THROW);
            storable->storeToURL(office::fileUrl(shown),
                                 office::properties({{"FilterName", Any(office::OUString("Text - txt - csv (StarCalc)"))},
                                                     {"FilterOptions", Any(office::OUString::createFromAscii(shownCsvOptions))},
                                                     {"Overwrite", Any(true)}}));
        });
    } catch (const office::OfficeError &e) {
        throw translated(e, SheetError::Kind::NotAWorkbook);
    }
    QFile text(shown);
    if (!text.open(QIODevice::ReadOnly))
        throw SheetError(SheetError::Kind::Failed, text.errorString());
    QVector<QStringList> rows = parseCsv(QString::fromUtf8(text.readAll()));
    if (rows.size() > rowCount)
        rows.resize(rowCount);
    QStringList formulaErrors;
    for (int r = 0; r < rows.size(); ++r) {
        QStringList &row = rows[r];
        if (row.size() > columnCount)
            row.erase(row.begin() + columnCount, row.end());
        for (int c = 0; c < row.size(); ++c)
            if (isFormulaError(row[c])) {
                formulaErrors << QChar(QLatin1Char('A').unicode() + c) + QString::number(r + 1);
                row[c].clear();
            }
    }
    SheetCells cells(std::move(rows));
    cells.setFormulaErrors(formulaErrors);
    return cells;
}

QString csvLoadOptions(const QByteArray &utf8Head)
{
    const QByteArray firstLine = utf8Head.left(utf8Head.indexOf('\n'));
    int separator = ';';
    qsizetype most = 0;
    for (char candidate : {';', ',', '\t'}) {
        const qsizetype n = firstLine.count(candidate);
        if (n > most) {
            most = n;
            separator = candidate;
        }
    }
    constexpr int utf8Charset = 76;
    QStringList columns;
    for (int c = 1; c <= 26; ++c)
        columns << QStringLiteral("%1/2").arg(c);  // 2: text, kept as written
    return QStringLiteral("%1,34,%2,1,%3").arg(separator).arg(utf8Charset).arg(columns.join(QLatin1Char('/')));
}

QVector<QStringList> parseCsv(const QString &text)
{
    QVector<QStringList> rows;
    QStringList row;
    QString cell;
    bool quoted = false;
    bool rowStarted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"')) {
                    cell += c;
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                cell += c;
            }
            continue;
        }
        if (c == QLatin1Char('"')) {
            quoted = true;
            rowStarted = true;
        } else if (c == QLatin1Char(',')) {
            row << cell;
            cell.clear();
            rowStarted = true;
        } else if (c == QLatin1Char('\n')) {
            row << cell;
            rows << row;
            row.clear();
            cell.clear();
            rowStarted = false;
        } else if (c != QLatin1Char('\r')) {
            cell += c;
            rowStarted = true;
        }
    }
    if (rowStarted) {
        row << cell;
        rows << row;
    }
    return rows;
}

} // namespace addressbook
