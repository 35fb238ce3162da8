#pragma once
// The print summary shown for confirmation before every print run: what is
// about to be printed, for whom, from whom and with which settings, written
// as a markup text for the message window. No widgets here.

#include "runs/printscope.h"

#include <QString>

namespace store {
class Tables;
}

namespace runs {

// The two kinds of print run the summary knows.
inline const QString ResumeKindEnvelope = QStringLiteral("Конверт");
inline const QString ResumeKindBlank = QStringLiteral("Бланк");

// The envelope print font as the summary shows it.
struct ResumeFont {
    QString family = QStringLiteral("Arial");
    int pointSize = 11;
    bool bold = false;
    bool italic = false;

    // Arial at 11 points goes without a mention.
    bool isDefault() const { return family == QLatin1String("Arial") && pointSize == 11; }
};

// The state of the window the summary reads besides the tables.
struct ResumeScreen {
    runs::PrintScope scope = runs::PrintScope::Current;
    int selectedCount = 0;
    QString filterText;
    QString blankName;            // text of the blank chooser
    bool returnEnvelope = false;  // "Печатать и обратный конв."
    ResumeFont font;
    // The check boxes of the settings row as they stand on screen.
    bool printLogo = false;
    bool printZipCode = false;
    bool printComment = false;
};

// Everything the summary says, each value as it was read.
struct ResumeFacts {
    ResumeScreen screen;
    QString formatName;   // NameKonvert of the chosen envelope format
    int typKonv = 0;
    QString komu, kuda, index;           // current recipient
    QString otKogo, otKuda, otIndex;     // sender of the settings row
    QString printerName;                 // the chosen print offset
    double dx = 0, dy = 0;
    QString konvertComment;
    QString insertNote;                  // Comment: how to insert an envelope
};

// The summary for the kind "Конверт" or "Бланк" (another kind gives only
// the first, the recipient and the sender lines). Numbers are written with
// the given decimal separator. User data goes in as it is, so braces in it
// act as markup.
QString ResumeText(const QString &kind, const ResumeFacts &facts, const QString &decimalSeparator);

// A number in general format: at most 15 significant digits, fixed notation
// for ordinary magnitudes, no trailing zeros ("1,5", "2", "-0,5").
QString GeneralNumberText(double value, const QString &decimalSeparator);

// Reads what the summary needs from the tables: the settings row, the
// current recipient of Table2 and, for envelopes, the chosen format of
// Table4 and the chosen offset of Table5. Both lookups go through the index
// N_i and back to the index that was set before; the looked-up rows stay
// current (a key that no row has leaves the cursor where it was, and that
// row is used).
ResumeFacts GatherResumeFacts(const QString &kind, store::Tables &tables, const ResumeScreen &screen);

} // namespace runs
