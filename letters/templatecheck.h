#pragma once
// The check of a blank template before a run: the mistakes that would show
// only on paper. It reads the template's text and says what it found, in
// Russian, one sentence each; the run itself is not changed by it.

#include <QString>
#include <QStringList>

namespace letters {

class WriterSession;

// The findings over the template's text (`text`: everything the document
// holds, `rowText`: the table row holding "~N~", empty without one):
// a "~…~" that is no variable of a blank (case ignored, as the
// replacement ignores it), an index beyond 20, a numbered variable of a
// position above the sheet's capacity (never filled), "~Адресат~" without
// "~N~", recipient variables outside the repeated row (filled once, for the
// first recipient), and an empty template. None for a sound template.
QStringList templateFindings(const QString &text, const QString &rowText = QString());

// Opens the template in the session, reads it and closes it again (the
// office stays for the run). A template that cannot be opened is a finding
// of its own; an office that is missing or cannot start throws its
// office::OfficeError, since the run could not start it either.
QStringList checkTemplate(WriterSession &session, const QString &templateName);

} // namespace letters
