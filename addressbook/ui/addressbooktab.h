#pragma once
// The page "Список адресатов": the recipient grid with its marks, the edit
// fields of the current recipient, the reserve fields, the filter with its
// history, the print scope and the sum for the blank forms.

#include "addressbook/recipientbook.h"
#include "addressbook/ui/sheetexchange.h"
#include "letters/sumentry.h"
#include "runs/ui/runstart.h"
#include "store/tables.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QFrame;
class QLineEdit;
class QRadioButton;
class QTimer;

namespace store::ui {
class DbGrid;
class DbLineEdit;
class DbNavigator;
}

namespace envelope {
class PrintRunPanel;
}
namespace letters {
class BlankStrip;
}

namespace addressbook {

class FilterComboBox;

// The page is the run panels' host: it builds their run request.
class AddressBookTab : public QWidget, public runs::RunHost {
    Q_OBJECT
public:
    AddressBookTab(store::Tables &tables, const QString &programFolder, QWidget *parent = nullptr);

    // Start-up: recounts the marked recipients so the scope caption shows
    // the count, and shows or hides the reserve panel from the settings row.
    void recountSelected();
    // Takes in what another copy of the program stored (rows re-read, the
    // user kept where they were, the marked recipients recounted).
    void followOtherCopies();
    int selectedCount() const { return m_book.selectedCount(); }

    // The print runs: the scope chosen, storing the filter in force in the
    // history, and the sum.
    runs::PrintScope printScope() const;
    void addHistoryFilter();
    double sum() const { return m_sum.value(); }

    // The controls in the page's places that hold the rest of a request:
    // the return envelope switch and the chosen template.
    void setRunControls(const envelope::PrintRunPanel *envelopes, const letters::BlankStrip *blanks);
    runs::RunRequest runRequest(runs::RunKind kind) override;
    void rememberFilter(const runs::RunRequest &request) override;
    // The summary under the main window's title.
    bool confirmRun(const runs::RunRequest &request, const runs::RunSummary &summary) override;

    // Tab clicks of the main window: focus the filter when it can take it.
    void focusFilter();

    // The reserve panel follows ReservShow of the settings row; the main
    // window may also call this when its check box changes.
    void setReserveShown(bool shown);

    // The blank strip's reminder bar, blinked by this page's timer.
    QFrame *blankReminder() const { return m_shapeBlank; }
    // The places the print-run controls and the blank strip are put in.
    QWidget *printButtonsPlace() const { return m_printPlace; }
    QWidget *blankStripPlace() const { return m_blankStripPlace; }
    void setBlankReminder(bool on);

    // Emptied or refilled from outside (clearing, import): forget the
    // filter's folded copies and re-read.
    void reloadRecipients();

    RecipientBook &book() { return m_book; }

    // The spreadsheet program behind the button SpeedButton2; without one
    // the button reports that LibreOffice Calc is missing.
    void setSheetOfficeFactory(SheetExchange::OfficeFactory factory);

    // The clearing button SpeedButton3: two questions, then every recipient
    // that passes the filter is deleted.
    void SpeedButton3Click();

private:
    void buildGrid();
    void buildFilter();
    void buildEditFields();
    void buildNavigator();
    void buildMarkCommands();
    void buildScope();
    void buildReservePanel();
    void buildPlacesOfOtherParts();
    void buildExchangeButtons(QWidget *place);
    void buildInstruction();

    void filterChanged(const QString &text);
    void fillFilterHistory();
    void showFilterHelp();
    void chooseScope(int scope);
    void blink();
    void sumChanged(const QString &text);
    void syncReservePanel();

    store::Tables &m_tables;
    QString m_programFolder;
    const envelope::PrintRunPanel *m_envelopeRun = nullptr;
    const letters::BlankStrip *m_blanks = nullptr;
    RecipientBook m_book;
    letters::SumEntry m_sum;
    SheetExchange m_exchange;

    store::ui::DbGrid *m_grid = nullptr;
    FilterComboBox *m_filter = nullptr;
    QWidget *m_komu = nullptr;  // the first edit field, focused on insert
    store::ui::DbNavigator *m_navigator = nullptr;
    QFrame *m_shapePost = nullptr;
    QFrame *m_shapeBlank = nullptr;
    QWidget *m_printPlace = nullptr;
    QWidget *m_blankStripPlace = nullptr;
    QTimer *m_blinkTimer = nullptr;
    QCheckBox *m_markAll = nullptr;
    QCheckBox *m_unmarkAll = nullptr;
    QCheckBox *m_sortByMarks = nullptr;
    QRadioButton *m_scope[3] = {};
    QWidget *m_reservePanel = nullptr;
    QLineEdit *m_sumEdit = nullptr;
    bool m_settingSum = false;
    bool m_fillingHistory = false;
};

} // namespace addressbook
