#pragma once
// The spreadsheet button of the address book: the questions, the file
// choice, the column letters and the row count, the popup notes while the
// spreadsheet program works, and the closing messages. The work itself is
// in sheetexchange.h; the program behind SheetOffice.

#include "addressbook/sheetcells.h"

#include <functional>
#include <memory>

class QWidget;

namespace addressbook {

class RecipientBook;

class SheetExchange {
public:
    using OfficeFactory = std::function<std::unique_ptr<SheetOffice>()>;

    // window: the page the questions are shown over (its window's caption
    // titles them); reload: re-reads the recipients after an import.
    SheetExchange(QWidget *window, RecipientBook &book, std::function<void()> reload);

    // Without a factory the spreadsheet program counts as missing.
    void setOfficeFactory(OfficeFactory factory) { m_factory = std::move(factory); }

    // A click on the spreadsheet button.
    void SpeedButton2Click();

private:
    void exportBook(SheetOffice &office);
    void importBook(SheetOffice &office);
    QString chooseFile();
    bool askColumns(ColumnMap &map);
    void showError(const QString &text);
    QString caption() const;

    QWidget *m_window;
    RecipientBook &m_book;
    std::function<void()> m_reload;
    OfficeFactory m_factory;
};

// The Russian text for a failure of the spreadsheet program; file names
// the workbook concerned, when there is one.
QString sheetErrorText(const SheetError &error, const QString &file = {});

} // namespace addressbook
