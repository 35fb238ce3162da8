#pragma once
// The address book's two recipient cursors working together: the main
// cursor (grid, edit fields, print runs) and the mark cursor (counting and
// bulk marking without moving the main one), both behind the one recipient
// filter. Holds the marked count and whether the current recipient has
// unsaved changes. No widgets: the page shows what this reports.
//
// Every save of a recipient's texts goes through the main cursor (the
// page's edit fields, imports); the mark cursor stores marks only. The
// filter's folded copies are renewed at each save of the main cursor.

#include "addressbook/recipientfilter.h"
#include "store/cursor.h"

#include <QList>
#include <QObject>

namespace addressbook {

class RecipientBook : public QObject {
    Q_OBJECT
public:
    // Installs the filter on both cursors (and switches them to filtering).
    RecipientBook(store::Cursor &main, store::Cursor &marks, QObject *parent = nullptr);

    store::Cursor &main() { return m_main; }
    store::Cursor &marks() { return m_marks; }
    RecipientFilter &filter() { return m_filter; }

    // A new filter text: drops the current recipient's unsaved changes,
    // applies the text to both cursors and recounts.
    void setFilterText(const QString &text);
    QString filterText() const { return m_filter.text(); }

    // Recounts the marked recipients that pass the filter.
    int selectedCalc();
    int selectedCount() const { return m_selectedCount; }

    // Flips the mark of the current recipient and saves it together with any
    // other pending change. Does nothing on an empty list.
    void toggleMark();
    // Marks or unmarks every recipient that passes the filter; drops the
    // current recipient's unsaved changes first.
    void setAllMarks(bool marked);

    // Clearing the address book: deletes every recipient that passes the
    // filter in one transaction (all or, on a failure, none), then recounts
    // the marks. Returns the number deleted.
    int clearListed();

    // Marked first (Check_i) or by name (Komu_i).
    void setSortByMarks(bool on);
    bool sortByMarks() const { return m_sortByMarks; }

    // The current recipient holds changes not yet saved.
    bool savePending() const { return m_savePending; }

signals:
    void selectedCountChanged(int count);
    void savePendingChanged(bool pending);
    // The main cursor is about to insert: the page focuses the name field.
    void inserting();

private:
    void setSavePending(bool on);
    void syncMarks();
    bool marksBehind() const { return m_allBehind || !m_rowsBehind.isEmpty(); }
    void beforeMainPost();
    void afterMainPost();

    store::Cursor &m_main;
    store::Cursor &m_marks;
    RecipientFilter m_filter;
    int m_selectedCount = 0;
    bool m_savePending = false;
    bool m_sortByMarks = false;
    // The mark cursor keeps its own copy of the rows; after the main cursor
    // stored or deleted rows that copy is behind the file for those rows.
    QList<qint64> m_rowsBehind;
    bool m_allBehind = true;  // until first read: the cursors may have been used before
    qint64 m_postingId = 0;
    bool m_postedRowVisible = false;
};

} // namespace addressbook
