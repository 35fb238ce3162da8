#pragma once
// The button "Печать бланков" (BitBtn14) of the blank strip and its run:
// the start every run makes (the filter into the history, the summary for
// "Бланк" with the check of the recipients, the marked scope), the chosen
// template checked, then the template filled for every recipient of the
// scope in a private LibreOffice and printed sheet by sheet, with the popup
// notes before and after. Failures end the run with a message that says how
// many sheets printed; the program goes on and no office is left. "В PDF"
// (BitBtnBlankPdf) makes the same run into one PDF file of all its sheets.

#include "runs/ui/runstart.h"

#include <QWidget>

#include <functional>

class QPushButton;

namespace office {
class OfficeError;
}

namespace store {
class Tables;
}

namespace letters {

class WriterSession;

class BlankRunPanel : public QWidget {
    Q_OBJECT
public:
    static constexpr int PreferredWidth = 136;
    static constexpr int PreferredHeight = 54;

    enum class Outcome { Declined, Busy, NoneMarked, NoBlank, Failed, Printed, Saved };

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
    // The click of "В PDF": the run "Печать бланков" would print, with its
    // summary and notes, saved as one PDF file the user names (the file
    // dialog proposes "<template name> <date>.pdf"). A failed run leaves no
    // file under the chosen name.
    Outcome BitBtnBlankPdfClick();
    // Sheets handed to the printer (or saved) by the last run.
    int lastRunSheets() const { return m_sheets; }

    // How the file is chosen: given the proposed path, the chosen one or
    // empty when cancelled. The default runs the save-file dialog.
    using FileChooser = std::function<QString(const QString &proposed)>;
    void setFileChooser(FileChooser chooser) { m_chooseFile = std::move(chooser); }
    QString lastPdfFile() const { return m_lastPdf; }

signals:
    // No template is chosen: start the blinking of ShapeBlank.
    void blankReminder(bool on);

private:
    // The start both buttons make: printed, or saved into a file the user names.
    Outcome start(bool toPdf);
    // An empty pdfFile prints.
    Outcome run(WriterSession &session, const runs::RunRequest &request, const QString &pdfFile);
    Outcome officeFailed(WriterSession &session, const office::OfficeError &e, bool toPdf);
    QString choosePdfFile(const QString &blankName);
    QString caption() const;

    store::Tables &m_tables;
    QString m_programFolder;
    QString m_officeProgram;
    int m_officeStartTimeoutMs = 0;
    runs::RunHost *m_host = nullptr;
    QPushButton *m_print = nullptr;
    QPushButton *m_pdf = nullptr;
    FileChooser m_chooseFile;
    QString m_lastPdf;
    int m_sheets = 0;
    bool m_running = false;
};

// The message when the office cannot be reached at the start of a run.
QString officeMissingText();

} // namespace letters
