#pragma once
// The word-processor session of the blank run: one template open as a
// hidden, read-only document, its placeholders replaced, a table row
// repeated per recipient, and the document printed as one job. The blank run
// knows only these operations; the session over LibreOffice Writer is one
// implementation of them.

#include <QString>

namespace letters {

class WordSession {
public:
    virtual ~WordSession() = default;

    // Opens the template as the session's document, hidden and read-only (the
    // file never changes). A relative name is taken from the program folder.
    // Empties the repeat list and clears the row-copied flag.
    virtual void WordOpen(const QString &name) = 0;
    // Replaces every occurrence in the whole document (body, tables, headers,
    // footers, text boxes), ignoring case, keeping the placeholder's
    // formatting. In the replacement "^p" is a paragraph break and "^^" a
    // caret; everything else is inserted literally (see wordLiteral()).
    virtual void WordReplace(const QString &text, const QString &replacement) = 0;
    // Whether the text occurs anywhere in the document, ignoring case.
    virtual bool WordContains(const QString &text) = 0;
    // Remembers the table row holding the marker, as it stands now, for
    // WordAddRow; sets the row-copied flag. A marker outside a table leaves
    // the flag clear.
    virtual void WordCopyRow(const QString &marker) = 0;
    // With the row-copied flag set: puts a fresh copy of the remembered row,
    // with all its formatting, below the row it was copied from.
    virtual void WordAddRow() = 0;
    // Removes the table row holding the marker, when there is one.
    virtual void WordDeleteRow(const QString &marker) = 0;
    // Removes the last unfilled copy of every repeated row, prints the
    // document as one job when print is set, and closes it without saving.
    virtual void WordFinish(bool print) = 0;
};

// User data for a replacement: every caret doubled, so that nothing in it
// is taken for a paragraph mark.
QString wordLiteral(const QString &text);

} // namespace letters
