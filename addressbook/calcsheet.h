#pragma once
// LibreOffice Calc as the spreadsheet program of the address book's
// exchange. Each object runs one private office (started at its first use,
// ended with the object), so nothing the user has open is touched.
//
// Export: the rows go as one range into the first sheet of the export
// workbook loaded from the program folder (the file itself is never
// stored), a copy is written beside the temporary files (as .ods), and the copy is
// handed to a viewer: by default the desktop's own LibreOffice, which opens
// it as a new untitled document that the user saves under a name of their
// own.
//
// Import: the workbook's active sheet is read at once as the texts its
// cells show (a postal code "012345" as typed, a date as displayed) by
// storing it as a text table "as shown"; CSV files are read with every
// column as text, in UTF-8 or Windows-1251 as their bytes tell.

#include "addressbook/sheetcells.h"

#include <functional>
#include <memory>

namespace office { class OfficeProcess; }

namespace addressbook {

// Where the exported copy is shown.
struct CopyViewer {
    std::function<bool()> available;             // a display to show it on
    std::function<void(const QString &)> open;   // throws SheetError
};
// The desktop's LibreOffice, on the display of the session.
CopyViewer desktopOffice();

class CalcSheet : public SheetOffice {
public:
    explicit CalcSheet(const QString &programFolder, CopyViewer viewer = desktopOffice());
    ~CalcSheet() override;

    bool available() override;
    void exportRows(const QVector<QStringList> &rows) override;
    SheetCells readCells(const QString &filePath, int rowCount, int columnCount) override;

    // The copy the latest export wrote.
    QString exportedCopy() const { return m_copy; }
    // The private office, started on first use (for tests and benches).
    office::OfficeProcess &office();
    // The office program to start and how long to wait for it to answer;
    // the installed one and the office's own wait by default.
    void setOfficeProgram(const QString &program, int startTimeoutMs);

private:
    QString m_programFolder;
    CopyViewer m_viewer;
    std::unique_ptr<office::OfficeProcess> m_office;
    QString m_officeProgram;
    int m_startTimeoutMs = 0;
    QString m_copy;
};

// The name of the export workbook in the program folder.
QString exportWorkbookName();

// The CSV load options for a UTF-8 text (csvAsUtf8 makes one of any file)
// whose first bytes are given: the separator most used in its first line
// (";" when none), the first line first, and the columns A to Z as text.
QString csvLoadOptions(const QByteArray &utf8Head);

// The rows of a CSV text as the office writes it: "," between cells, cells
// with a separator, quote or line break in quotes, quotes doubled.
QVector<QStringList> parseCsv(const QString &text);

} // namespace addressbook
