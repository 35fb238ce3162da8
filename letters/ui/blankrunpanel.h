#pragma once
// The button "Печать бланков" (BitBtn14) of the blank strip and its run:
// the start every run makes (the filter into the history, the summary for
// "Бланк" with the check of the recipients, the marked scope), the chosen
// template checked, then the template filled for every recipient of the
// scope in a private LibreOffice and printed sheet by sheet, with the popup
// notes before and after. Failures end the run with a message that says how
// many sheets printed; the program goes on and no office is left.

#include "runs/ui/runstart.h"

#include <QWidget>

class QPushButton;

namespace store {
class Tables;
}

namespace letters {

class BlankRunPanel : public QWidget {
    Q_OBJECT
public:
    static constexpr int PreferredWidth = 136;
    static constexpr int PreferredHeight = 54;

    enum class Outcome { Declined, Busy, NoneMarked, NoBlank, Failed, Printed };

    // programFolder ends with the path separator: templates are found in it.
    BlankRunPanel(store::Tables &tables, const QString &programFolder, QWidget *parent = nullptr);

    // The page whose request the runs print; without one a click does nothing.
    void setHost(runs::RunHost *host) { m_host = host; }
    // The office program to start; the installed one by default.
    void setOfficeProgram(const QString &program) { m_officeProgram = program; }
    // How long a run waits for the office to answer; the office's own wait by default.
    void setOfficeStartTimeout(int milliseconds) { m_officeStartTimeoutMs = milliseconds; }

    // The click of "Печать бланков".
    Outcome BitBtn14Click();
    // Sheets handed to the printer by the last run.
    int lastRunSheets() const { return m_sheets; }

signals:
    // No template is chosen: start the blinking of ShapeBlank.
    void blankReminder(bool on);

private:
    Outcome run(const runs::RunRequest &request);
    QString caption() const;

    store::Tables &m_tables;
    QString m_programFolder;
    QString m_officeProgram;
    int m_officeStartTimeoutMs = 0;
    runs::RunHost *m_host = nullptr;
    QPushButton *m_print = nullptr;
    int m_sheets = 0;
    bool m_running = false;
};

// The message when the office cannot be reached at the start of a run.
QString officeMissingText();

} // namespace letters
