#include "letters/writersession.h"

#include "office/unotext.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/datatransfer/XTransferableSupplier.hpp>
#include <com/sun/star/drawing/XDrawPageSupplier.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/table/XCellRange.hpp>
#include <com/sun/star/table/XTableRows.hpp>
#include <com/sun/star/text/ControlCharacter.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/text/XTextDocument.hpp>
#include <com/sun/star/util/XReplaceable.hpp>
#include <com/sun/star/util/XSearchable.hpp>
#include <com/sun/star/view/XSelectionSupplier.hpp>

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QFile>

#include <vector>

using css::uno::Any;
using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;
using office::OfficeError;
using office::toOUString;
using office::toQString;

namespace letters {

namespace {

// The paragraphs of a replacement in the word processor's syntax: "^p"
// separates them, "^^" is a caret, anything else stands for itself.
QStringList paragraphsOf(const QString &replacement)
{
    QStringList paragraphs{QString()};
    for (int i = 0; i < replacement.size(); ++i) {
        const QChar c = replacement.at(i);
        if (c == QLatin1Char('^') && i + 1 < replacement.size()) {
            const QChar next = replacement.at(i + 1);
            if (next == QLatin1Char('^')) {
                paragraphs.last() += c;
                ++i;
                continue;
            }
            if (next == QLatin1Char('p')) {
                paragraphs << QString();
                ++i;
                continue;
            }
        }
        paragraphs.last() += c;
    }
    return paragraphs;
}

// A literal text inside a regular expression of the office (ICU syntax).
QString regexLiteral(const QString &text)
{
    static const QString special = QStringLiteral("\\^$.|?*+()[]{}");
    QString out;
    for (const QChar c : text) {
        if (special.contains(c))
            out += QLatin1Char('\\');
        out += c;
    }
    return out;
}

// A literal text inside the replacement of a regular expression: "&" and
// "$1" would insert the found text, "\n" a paragraph.
QString replacementLiteral(const QString &text)
{
    QString out;
    for (const QChar c : text) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('&') || c == QLatin1Char('$'))
            out += QLatin1Char('\\');
        out += c;
    }
    return out;
}

void setSearchOptions(const Reference<css::util::XSearchDescriptor> &descriptor, bool regex)
{
    const Reference<css::beans::XPropertySet> props(descriptor, UNO_QUERY_THROW);
    props->setPropertyValue("SearchCaseSensitive", Any(false));
    props->setPropertyValue("SearchRegularExpression", Any(regex));
    props->setPropertyValue("SearchWords", Any(false));
}

// The texts of the drawing shapes (text boxes), which the document's own
// search does not reach.
std::vector<Reference<css::text::XText>> shapeTexts(const Reference<css::lang::XComponent> &document)
{
    std::vector<Reference<css::text::XText>> texts;
    const Reference<css::drawing::XDrawPageSupplier> supplier(document, UNO_QUERY);
    if (!supplier.is())
        return texts;
    // Writer documents have one draw page; the interface is marked deprecated
    // in favour of one Writer does not offer.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    const Reference<css::container::XIndexAccess> page(supplier->getDrawPage(), UNO_QUERY);
#pragma GCC diagnostic pop
    if (!page.is())
        return texts;
    for (sal_Int32 i = 0, n = page->getCount(); i < n; ++i) {
        const Reference<css::text::XText> text(page->getByIndex(i), UNO_QUERY);
        if (text.is())
            texts.push_back(text);
    }
    return texts;
}

// Replaces every occurrence in one shape's text; the new text takes the
// formatting of the placeholder's first character. Returns the count.
int replaceInText(const Reference<css::text::XText> &text, const QString &find, const QStringList &paragraphs)
{
    int from = 0;
    int count = 0;
    while (true) {
        const QString all = toQString(text->getString());
        const int at = all.indexOf(find, from, Qt::CaseInsensitive);
        if (at < 0)
            return count;
        ++count;
        const Reference<css::text::XTextCursor> cursor = text->createTextCursor();
        const Reference<css::text::XTextRange> place(cursor, UNO_QUERY_THROW);
        cursor->gotoStart(false);
        cursor->goRight(sal_Int16(at), false);
        cursor->goRight(sal_Int16(find.size()), true);
        cursor->setString(toOUString(paragraphs.first()));
        cursor->collapseToEnd();
        int inserted = paragraphs.first().size();
        for (int p = 1; p < paragraphs.size(); ++p) {
            text->insertControlCharacter(place, css::text::ControlCharacter::PARAGRAPH_BREAK, false);
            text->insertString(place, toOUString(paragraphs.at(p)), false);
            inserted += 1 + paragraphs.at(p).size();
        }
        from = at + inserted;
    }
}

// The table and 0-based row of the table cell a found text lies in.
bool tableRowOf(const Reference<css::uno::XInterface> &found, Reference<css::text::XTextTable> *table, int *row)
{
    const Reference<css::beans::XPropertySet> props(found, UNO_QUERY);
    if (!props.is())
        return false;
    Reference<css::table::XCell> cell;
    if (!(props->getPropertyValue("Cell") >>= cell) || !cell.is())
        return false;
    if (!(props->getPropertyValue("TextTable") >>= *table) || !table->is())
        return false;
    office::OUString name;
    Reference<css::beans::XPropertySet>(cell, UNO_QUERY_THROW)->getPropertyValue("CellName") >>= name;
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("(\\d+)$")).match(toQString(name));
    if (!m.hasMatch())
        return false;
    *row = m.captured(1).toInt() - 1;
    return true;
}

// The names of the cells of a table row ("A2", "B2", ...), in the table's
// order; merged cells count once.
QStringList rowCellNames(const Reference<css::text::XTextTable> &table, int row)
{
    QStringList cells;
    const QString number = QString::number(row + 1);
    const QRegularExpression name(QStringLiteral("^[A-Za-z]+(\\d+)$"));
    const auto names = table->getCellNames();
    for (sal_Int32 i = 0; i < names.getLength(); ++i) {
        const QRegularExpressionMatch m = name.match(toQString(names[i]));
        if (m.hasMatch() && m.captured(1) == number)
            cells << m.captured(0);
    }
    return cells;
}

// What selects a whole table row in the view: the cell range of the row,
// e.g. "A2:D2" (its first and last cell as the table names them, so merged
// cells are covered). A row of one cell is the cell's text instead: a range
// of one cell selects no table cells in the view, and a transferable taken
// from it would paste nothing.
Any rowSelection(const Reference<css::text::XTextTable> &table, int row)
{
    const QStringList names = rowCellNames(table, row);
    const QString first = names.value(0);
    const QString last = names.isEmpty() ? QString() : names.last();
    if (first == last) {
        const Reference<css::text::XText> text(table->getCellByName(toOUString(first)), UNO_QUERY_THROW);
        const Reference<css::text::XTextCursor> all = text->createTextCursor();
        all->gotoStart(false);
        all->gotoEnd(true);
        return Any(Reference<css::text::XTextRange>(all, UNO_QUERY_THROW));
    }
    const Reference<css::table::XCellRange> cells(table, UNO_QUERY_THROW);
    return Any(cells->getCellRangeByName(toOUString(first + QLatin1Char(':') + last)));
}

// The table row in which the marker text first stands, if it stands in a
// table cell at all.
bool findMarkerRow(const Reference<css::lang::XComponent> &document, const QString &marker,
                   Reference<css::text::XTextTable> *table, int *row)
{
    const Reference<css::util::XSearchable> searchable(document, UNO_QUERY_THROW);
    const Reference<css::util::XSearchDescriptor> descriptor = searchable->createSearchDescriptor();
    setSearchOptions(descriptor, false);
    descriptor->setSearchString(toOUString(marker));
    return tableRowOf(searchable->findFirst(descriptor), table, row);
}

// Selects a whole table row in the document's view; the view's
// transferable then copies or replaces exactly that row.
Reference<css::datatransfer::XTransferableSupplier> selectRow(const Reference<css::lang::XComponent> &document,
                                                             const Reference<css::text::XTextTable> &table,
                                                             int row)
{
    const Reference<css::frame::XModel> model(document, UNO_QUERY_THROW);
    const Reference<css::frame::XController> controller = model->getCurrentController();
    Reference<css::view::XSelectionSupplier>(controller, UNO_QUERY_THROW)->select(rowSelection(table, row));
    return Reference<css::datatransfer::XTransferableSupplier>(controller, UNO_QUERY_THROW);
}

} // namespace

WriterSession::WriterSession(QString programFolder, report::ReportPrinter printer, QString officeProgram)
    : m_programFolder(std::move(programFolder)), m_printer(std::move(printer)),
      m_office(std::move(officeProgram))
{
    m_printer.setNotPrintedText(QStringLiteral("Лист не напечатан."));
}

WriterSession::~WriterSession()
{
    end();
}

void WriterSession::end() noexcept
{
    forgetDocument();
    m_office.stop();
}

void WriterSession::collectSheetsIn(const QString &folder)
{
    m_sheetFolder = folder;
    m_sheetFiles.clear();
}

void WriterSession::forgetDocument() noexcept
{
    forgetRow();
    m_shapes.clear();
    office::OfficeProcess::closeDocument(m_document);
}

void WriterSession::forgetRow()
{
    m_rowCopied = false;
    m_row.clear();
    m_rowTable.clear();
    m_rowIndex = -1;
}

void WriterSession::requireDocument() const
{
    if (!m_document.is())
        throw OfficeError(OfficeError::Kind::OperationFailed, QStringLiteral("Документ бланка не открыт."));
}

void WriterSession::WordOpen(const QString &name)
{
    if (m_document.is())
        throw OfficeError(OfficeError::Kind::OperationFailed,
                          QStringLiteral("Одновременная работа с двумя отчётами невозможна. "
                                         "Сначала закончите работу с предыдущим."));
    const QString path = QDir::isAbsolutePath(name) ? name : m_programFolder + name;
    if (!QFileInfo(path).isFile())
        throw OfficeError(OfficeError::Kind::DocumentUnreadable,
                          QStringLiteral("Файл «%1» не найден.").arg(QFileInfo(path).fileName()));
    m_office.start();
    Reference<css::lang::XComponent> document = m_office.loadHidden(path, true);
    if (!m_office.call([&] { return Reference<css::text::XTextDocument>(document, UNO_QUERY).is(); })) {
        office::OfficeProcess::closeDocument(document);
        throw OfficeError(OfficeError::Kind::DocumentUnreadable,
                          QStringLiteral("Файл «%1» не является документом текстового редактора.")
                              .arg(QFileInfo(path).fileName()));
    }
    m_document = document;
    m_shapes = m_office.call([&] { return shapeTexts(m_document); });
    m_documentName = QFileInfo(path).fileName();
    if (path != m_templatePath) {
        m_templatePath = path;
        m_absent.clear();
        m_present.clear();
    }
    m_repeatList.clear();
    forgetRow();
}

void WriterSession::WordReplace(const QString &text, const QString &replacement)
{
    requireDocument();
    const QString key = text.toLower();
    if (m_absent.contains(key))
        return;
    const QStringList paragraphs = paragraphsOf(replacement);
    const bool regex = paragraphs.size() > 1;
    m_office.call([&] {
        const Reference<css::util::XReplaceable> replaceable(m_document, UNO_QUERY_THROW);
        const Reference<css::util::XReplaceDescriptor> descriptor = replaceable->createReplaceDescriptor();
        setSearchOptions(Reference<css::util::XSearchDescriptor>(descriptor, UNO_QUERY_THROW), regex);
        if (regex) {
            QStringList parts;
            for (const QString &p : paragraphs)
                parts << replacementLiteral(p);
            descriptor->setSearchString(toOUString(regexLiteral(text)));
            descriptor->setReplaceString(toOUString(parts.join(QStringLiteral("\\n"))));
        } else {
            descriptor->setSearchString(toOUString(text));
            descriptor->setReplaceString(toOUString(paragraphs.first()));
        }
        int count = replaceable->replaceAll(Reference<css::util::XSearchDescriptor>(descriptor, UNO_QUERY_THROW));
        for (const auto &shape : m_shapes)
            count += replaceInText(shape, text, paragraphs);
        if (count > 0)
            m_present.insert(key);
        else if (!m_present.contains(key))
            m_absent.insert(key);
    });
}

bool WriterSession::WordContains(const QString &text)
{
    requireDocument();
    return m_office.call([&] {
        const Reference<css::util::XSearchable> searchable(m_document, UNO_QUERY_THROW);
        const Reference<css::util::XSearchDescriptor> descriptor = searchable->createSearchDescriptor();
        setSearchOptions(descriptor, false);
        descriptor->setSearchString(toOUString(text));
        if (searchable->findFirst(descriptor).is())
            return true;
        for (const auto &shape : m_shapes)
            if (toQString(shape->getString()).contains(text, Qt::CaseInsensitive))
                return true;
        return false;
    });
}

QString WriterSession::WordText()
{
    requireDocument();
    return m_office.call([&] {
        const Reference<css::util::XSearchable> searchable(m_document, UNO_QUERY_THROW);
        const Reference<css::util::XSearchDescriptor> descriptor = searchable->createSearchDescriptor();
        setSearchOptions(descriptor, true);
        descriptor->setSearchString(toOUString(QStringLiteral(".+")));
        QStringList lines;
        const Reference<css::container::XIndexAccess> found = searchable->findAll(descriptor);
        for (sal_Int32 i = 0, n = found.is() ? found->getCount() : 0; i < n; ++i) {
            const Reference<css::text::XTextRange> range(found->getByIndex(i), UNO_QUERY);
            if (range.is())
                lines << toQString(range->getString());
        }
        for (const auto &shape : m_shapes)
            lines << toQString(shape->getString());
        return lines.join(QLatin1Char('\n'));
    });
}

QString WriterSession::WordRowText(const QString &marker)
{
    requireDocument();
    return m_office.call([&] {
        Reference<css::text::XTextTable> table;
        int row = -1;
        if (!findMarkerRow(m_document, marker, &table, &row))
            return QString();
        QStringList cells;
        for (const QString &name : rowCellNames(table, row)) {
            const Reference<css::text::XText> text(table->getCellByName(toOUString(name)), UNO_QUERY);
            if (text.is())
                cells << toQString(text->getString());
        }
        return cells.join(QLatin1Char('\n'));
    });
}

template <class F>
void WriterSession::rowOperation(F &&f)
{
    try {
        m_office.call(std::forward<F>(f));
    } catch (const OfficeError &e) {
        if (e.kind() == OfficeError::Kind::ConnectionLost)
            throw;
    }
}

void WriterSession::WordCopyRow(const QString &marker)
{
    requireDocument();
    forgetRow();
    rowOperation([&] {
        Reference<css::text::XTextTable> table;
        int row = -1;
        if (!findMarkerRow(m_document, marker, &table, &row))
            return;
        m_row = selectRow(m_document, table, row)->getTransferable();
        if (!m_row.is())
            return;
        m_rowTable = table;
        m_rowIndex = row;
        if (!m_repeatList.contains(marker))
            m_repeatList << marker;
        m_rowCopied = true;
    });
}

void WriterSession::WordAddRow()
{
    requireDocument();
    if (!m_rowCopied)
        return;
    // The fresh row brings its placeholders back.
    m_absent.clear();
    rowOperation([&] {
        m_rowTable->getRows()->insertByIndex(m_rowIndex + 1, 1);
        selectRow(m_document, m_rowTable, m_rowIndex + 1)->insertTransferable(m_row);
    });
}

void WriterSession::WordDeleteRow(const QString &marker)
{
    requireDocument();
    rowOperation([&] {
        Reference<css::text::XTextTable> table;
        int row = -1;
        if (findMarkerRow(m_document, marker, &table, &row))
            table->getRows()->removeByIndex(row, 1);
    });
}

void WriterSession::WordFinish(bool print)
{
    requireDocument();
    // The document is closed whatever happens below.
    struct CloseAtEnd {
        WriterSession &session;
        ~CloseAtEnd() { session.forgetDocument(); }
    } closeAtEnd{*this};

    for (const QString &marker : std::as_const(m_repeatList))
        WordDeleteRow(marker);
    if (!print)
        return;
    if (!m_sheetFolder.isEmpty()) {
        const QString sheet = QDir(m_sheetFolder).filePath(
            QStringLiteral("sheet-%1.pdf").arg(m_sheetFiles.size() + 1, 4, 10, QLatin1Char('0')));
        m_office.storeCopy(m_document, sheet, "writer_pdf_Export");
        m_sheetFiles << sheet;
        return;
    }
    // The filled sheet is a copy of user data: it lives in the run's private
    // folder only until the spooler has it.
    const QString pdf = QDir(m_office.runFolder()).filePath(QStringLiteral("blank.pdf"));
    struct RemoveAtEnd {
        QString path;
        ~RemoveAtEnd() { QFile::remove(path); }
    } removeAtEnd{pdf};
    m_office.storeCopy(m_document, pdf, "writer_pdf_Export");
    m_jobs << m_printer.printPdf(pdf, m_documentName);
}

} // namespace letters
