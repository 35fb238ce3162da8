#pragma once
// The button "Печать бланков" (BitBtn14) of the blank strip and its run:
// the filter into the history, the summary for "Бланк", the scope and the
// chosen template checked, then the template filled for every recipient of
// the scope in a private LibreOffice and printed sheet by sheet, with the
// popup notes before and after. Failures end the run with a message that
// says how many sheets printed; the program goes on and no office is left.

#include "runs/printscope.h"

#include <QWidget>
#include <functional>

class QPushButton;

namespace store {
class Tables;
}

namespace letters {

// What the run needs of the other pages; the main window provides it.
struct BlankRunSources {
    std::function<void()> addHistoryFilter;
    std::function<bool(const QString &kind)> showResume;   // the summary; true to print
    std::function<runs::PrintScope()> printScope;
    std::function<int()> selectedCount;
    std::function<QString()> blankName;                    // the text of ComboBox1
    std::function<void(bool on)> blankReminder;            // ShapeBlank
    std::function<QString()> sumText;                      // the text of EditSum
};

class BlankRunPanel : public QWidget {
    Q_OBJECT
public:
    static constexpr int PreferredWidth = 136;
    static constexpr int PreferredHeight = 54;

    enum class Outcome { Declined, Busy, NoneMarked, NoBlank, Failed, Printed };

    // programFolder ends with the path separator: templates are found in it.
    BlankRunPanel(store::Tables &tables, const QString &programFolder, QWidget *parent = nullptr);

    void setSources(BlankRunSources sources) { m_sources = std::move(sources); }
    // The office program to start; the installed one by default.
    void setOfficeProgram(const QString &program) { m_officeProgram = program; }

    // The click of "Печать бланков".
    Outcome BitBtn14Click();
    // Sheets handed to the printer by the last run.
    int lastRunSheets() const { return m_sheets; }

private:
    Outcome run(const QString &blankName, runs::PrintScope scope);
    QString caption() const;

    store::Tables &m_tables;
    QString m_programFolder;
    QString m_officeProgram;
    BlankRunSources m_sources;
    QPushButton *m_print = nullptr;
    int m_sheets = 0;
    bool m_running = false;
};

// The message when the office cannot be reached at the start of a run.
QString officeMissingText();

} // namespace letters
