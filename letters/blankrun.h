#pragma once
// The blank print run without its windows: the sheet capacity and row mode
// of the open template, the template variables of one recipient, and the
// walk over the print scope that fills one form per recipient and prints a
// sheet whenever all its forms are filled.

#include "core/regionalformats.h"
#include "runs/printscope.h"
#include "letters/wordsession.h"

#include <QDateTime>
#include <QLocale>
#include <QString>

#include <functional>
#include <utility>
#include <vector>

namespace store {
class Cursor;
}

namespace letters {

// The most forms a sheet holds: "~Кому1~" to "~Кому20~".
constexpr int MaxFormsPerSheet = 20;
// The marker of the repeated row of a list blank, replaced by the number.
inline const QString RowMarker = QStringLiteral("~N~");

// The texts of one recipient and of the sender that a form is filled with.
struct BlankRecipient {
    QString komu, kuda, index;
    QString reserv[6];
};
struct BlankSender {
    QString otKogo, otKuda, otIndex;
};

// The current row of the recipient cursor (a row being edited gives its
// edited texts).
BlankRecipient blankRecipientOf(const store::Cursor &recipients);
// OtKogo, OtKuda, OtIndex of the settings row.
BlankSender blankSenderOf(const store::Cursor &settings);

// The four sum variables of the sum, the figures with the locale's decimal
// separator.
struct SumTexts {
    QString inWords, figures, roubles, kopecks;
};
SumTexts sumTexts(double sum, const QLocale &locale);

// The variables of one form in the order they are replaced: the recipient
// and sender at position `position`, the reserve fields, date, time and sum.
// User data is made literal (wordLiteral).
std::vector<std::pair<QString, QString>> formVariables(int position, const BlankRecipient &recipient,
                                                       const BlankSender &sender, const QDateTime &now,
                                                       const SumTexts &sum, const QLocale &locale);

// The largest i in 1..20 with "~Кому" + i + "~" or "~От кого" + i + "~" in
// the document; 0 when there is none.
int sheetCapacity(WordSession &word);

class BlankRun {
public:
    // What the run reads besides the recipients: the template to reopen for
    // every fresh sheet, the sender, the sum, the clock and the regional
    // formats.
    struct Sources {
        QString templateName;
        BlankSender sender;
        double sum = 0;
        std::function<QDateTime()> now = [] { return QDateTime::currentDateTime(); };
        QLocale locale = core::regionalLocale();
    };

    BlankRun(WordSession &word, Sources sources);

    // With the template open: reads the capacity and the row mode.
    void prepare();
    // Fills the form of the next position for the cursor's current row,
    // printing the full sheet and opening a fresh one first when needed.
    void FillBlank(const store::Cursor &recipients);
    // Prints the last sheet (or the one document of row mode).
    void finish();

    // prepare, FillBlank over the scope, finish. Returns the recipients filled.
    int run(store::Cursor &recipients, runs::PrintScope scope);

    int capacity() const { return m_capacity; }
    bool rowMode() const { return m_rowMode; }
    // Sheets handed to the printer so far.
    int sheetsPrinted() const { return m_sheetsPrinted; }

private:
    void printSheet();

    WordSession &m_word;
    Sources m_sources;
    int m_capacity = 0;
    bool m_rowMode = false;
    int m_position = 0;
    int m_number = 0;
    int m_sheetsPrinted = 0;
};

} // namespace letters
