#pragma once
// Exchange of recipients with a spreadsheet: the rows of texts that an
// export writes, the column letters an import asks for, and the storing of
// the cells read into new recipients. The spreadsheet program itself sits
// behind SheetOffice, so this logic needs no office and no window.

#include "core/error.h"
#include "store/cursor.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace addressbook {

// A failure of the spreadsheet program or of a workbook, by cause. Its
// message is the Russian text of its kind, with the detail below it.
class SheetError : public core::Error {
public:
    enum class Kind {
        NoOffice,           // the spreadsheet program is not installed
        OfficeNotStarting,  // it is installed but did not start (the detail says why)
        TooLarge,           // a workbook too large to read (the detail says how)
        NoExportWorkbook,   // the export workbook is missing or unreadable
        NotAWorkbook,       // the chosen file does not open as a spreadsheet
        NoSheets,           // a workbook without a single sheet
        RowsBeyondSheet,    // more rows asked for than the sheet holds
        OfficeGone,         // the spreadsheet program ended while in use
        NoDisplay,          // nowhere to show the exported rows
        Failed,             // anything else the program reported
    };
    // cause: the technical text behind it, for the standard error output.
    SheetError(Kind kind, const QString &detail = {}, int limit = 0, const QString &cause = {});
    Kind kind() const { return m_kind; }
    QString detail() const { return m_detail; }
    int limit() const { return m_limit; }

private:
    Kind m_kind;
    QString m_detail;
    int m_limit;
};

// The error's text naming the workbook concerned (its message when no file
// is given).
QString sheetErrorText(const SheetError &error, const QString &file = {});

// Displayed texts of a sheet: row r, column c (from 0) of rows 1.. and
// columns A.. as the user sees them. Rows and cells past the end are empty.
class SheetCells {
public:
    SheetCells() = default;
    explicit SheetCells(QVector<QStringList> rows) : m_rows(std::move(rows)) {}
    QString text(int row, int column) const;
    int rowCount() const { return int(m_rows.size()); }
    // The cells (such as "B7") whose formula gave an error instead of a
    // value; their texts are empty.
    const QStringList &formulaErrors() const { return m_formulaErrors; }
    void setFormulaErrors(QStringList cells) { m_formulaErrors = std::move(cells); }

private:
    QVector<QStringList> m_rows;
    QStringList m_formulaErrors;
};

// The spreadsheet program: LibreOffice Calc in the program, a fake sheet in
// tests. Every member throws SheetError.
class SheetOffice {
public:
    virtual ~SheetOffice() = default;
    // Whether the program can be reached at all.
    virtual bool available() = 0;
    // Writes the rows (column A on) into the first sheet of a copy of the
    // export workbook and shows the copy to the user as an unsaved document.
    virtual void exportRows(const QVector<QStringList> &rows) = 0;
    // Reads rows 1 to rowCount, columns A to columnCount, of the active sheet
    // of the workbook in filePath.
    virtual SheetCells readCells(const QString &filePath, int rowCount, int columnCount) = 0;
};

// The eleven fields written, in the columns A to K.
const QStringList &exportedFields();

// One row of eleven texts per recipient the cursor lets through, in its
// order. Leaves the cursor on its first recipient.
QVector<QStringList> exportRows(store::Cursor &recipients);

// A field an import can fill, with the label its question shows.
struct ImportField {
    int field;
    QString label;
};
// The fields of the recipient table whose labels do not begin with "-", in
// table order.
QVector<ImportField> importableFields(const store::TableSchema &schema);

// A column letter as typed: A..Z or a..z gives 0..25, an empty text -1.
// Anything else gives -2.
int columnOfLetter(const QString &letter);

// The columns chosen for an import: for each field of the table, its column
// (from 0) or -1 when the field is not imported.
struct ColumnMap {
    QVector<int> columnOfField;
    int columnCount() const;  // columns to read: up to the rightmost chosen
};

// A cell's text as it can be stored: line breaks and tabs become spaces,
// other control characters are dropped. changed tells whether it did either.
QString storableText(const QString &cell, bool *changed);

struct ImportOutcome {
    int added = 0;
    bool errors = false;   // a cell had to be changed to be stored
    int cutCells = 0;      // cells longer than their field: only the beginning is stored
};

// The closing words of an import with errors, with the count of cut cells.
QString importErrorsText(const ImportOutcome &outcome);

// Drops a pending edit of the cursor, then adds rowCount new unmarked
// recipients to it, one per row of the cells, empty rows included, each
// batch of importBatchSize rows committed as one transaction. When storing fails, the rows of the failing batch are
// dropped, those of earlier batches stay (outcome counts them), and the
// store error is passed on.
constexpr int importBatchSize = 500;
void importRows(store::Cursor &recipients, const SheetCells &cells, const ColumnMap &map, int rowCount,
                ImportOutcome &outcome);

} // namespace addressbook
