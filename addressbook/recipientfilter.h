#pragma once
// The recipient filter: a text of terms separated by "|"; a recipient passes
// when every term occurs, without regard to case, in one of its eleven text
// fields. Terms are taken as typed (spaces count); an empty term occurs
// nowhere, so "a||b" or "|a" let nothing through; a bar at the very end adds
// no term.
//
// The list narrows at every keystroke over books of many thousands of
// recipients, so the case-folded text of each recipient is kept beside its
// row (keyed by row id and checked against the row's current values) and a
// keystroke costs one substring search per term and row.

#include "store/cursor.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <array>

namespace addressbook {

constexpr int searchedFieldCount = 11;

// Komu, Kuda, Index, Group, Prim, Reserv1 .. Reserv6, in the order tried.
const QStringList &searchedFieldNames();

// Upper-casing that folds Cyrillic (including "ё") and Latin letters.
QString foldCase(const QString &text);
QString foldCase(QString &&text);  // the same, in the text's own storage

// The terms of a filter text, unfolded; empty for an empty text.
QStringList filterTerms(const QString &text);

// The predicate computed the plain way: every field folded at every call.
// Kept as the reference the fast filter is measured and tested against.
bool matchesPlainly(const QString &filterText, const store::RecordView &record);

// The fast filter. A folded copy stays valid until forgetRow() is called
// for its row (the owner does so before every save of a recipient's texts).
// As a further guard, when the row's values are no longer the ones the copy
// was last checked against (the cursor re-read or replaced them), the copy
// is made anew unless the lengths of the eleven values still add up.
class RecipientFilter {
public:
    explicit RecipientFilter(const store::TableSchema &schema);

    void setText(const QString &text);
    const QString &text() const { return m_text; }
    bool isEmpty() const { return m_text.isEmpty(); }

    // With checkValues false a result already found for this row under the
    // present text is taken without looking at the row: for a second cursor
    // over the same rows that filters after the first.
    bool accepts(const store::RecordView &record, bool checkValues = true);

    // The hook to give to a recipient cursor; the filter must outlive it.
    store::Cursor::FilterHook hook(bool checkValues = true);

    // The texts of a row are about to change.
    void forgetRow(qint64 rowId);
    void clearCache();

private:
    struct Folded {
        QString joined;            // folded values separated by NUL
        qsizetype rawLength = -1;  // sum of the value lengths folded
        const void *checkedValues = nullptr;  // the row's values last checked
        quint32 generation = 0;    // filter text the result belongs to
        bool result = false;
    };

    Folded &entry(qint64 rowId);
    qsizetype rawLength(const store::RecordView &record) const;
    void fold(Folded &f, const store::RecordView &record) const;
    bool matches(const Folded &f) const;
    static bool containsTerm(const Folded &f, const QString &term);

    std::array<int, searchedFieldCount> m_fields{};
    QString m_text;
    QStringList m_foldedTerms;
    quint32 m_generation = 1;
    // The text grew at its end: whatever failed before fails now.
    bool m_narrowing = false;
    // Row ids are the book's running numbers, so most rows sit in a plain
    // array by id; far-off ids go to the hash.
    std::vector<Folded> m_byId;
    QHash<qint64, Folded> m_sparse;
};

} // namespace addressbook
