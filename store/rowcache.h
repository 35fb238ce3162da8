#pragma once
// The rows of one table file as last read or written, shared by all cursors
// of the file. A cursor's refresh takes its rows from here; the file is read
// again only when something other than a cursor changed it: another
// connection or process (seen by the file's data version), a statement run
// outside the cursors (seen by the connection's count of changed rows), or a
// rolled-back batch.

#include <QByteArray>
#include <vector>

namespace store {

class TableFile;

class RowCache {
public:
    struct Entry {
        qint64 id = 0;
        QByteArray row;  // see packedrow.h
    };

    explicit RowCache(TableFile &file) : m_file(file) {}

    // Every row in the order of its id, read again first when stale.
    const std::vector<Entry> &rows();
    // One row; false when the file holds no row with that id.
    bool row(qint64 id, QByteArray &out);

    // The row as held now, without looking at the file; null when absent or
    // when the copy is known to be stale.
    const QByteArray *held(qint64 id);

    // A cursor's write: take the stamp before it, then record the outcome.
    // A write that did not start from the current copy leaves it stale.
    struct WriteTicket {
        bool inStep = false;
    };
    WriteTicket beforeWrite();
    void written(const WriteTicket &ticket, qint64 id, const QByteArray &row);
    void removed(const WriteTicket &ticket, qint64 id);
    void invalidate() { m_valid = false; }
    // Another connection (another copy of the program, on this computer or
    // another) stored into the file since the copy was read, or the copy is
    // known to be stale: the next rows() reads the file again.
    bool changedElsewhere();
    // Counts the reads of the whole file: a cursor that took its rows at
    // one count has seen every outside change read so far.
    quint64 reloads() const { return m_reloads; }
    // Counts every change of the copy: a cursor that took all its rows at
    // one generation holds exactly the copy while the generation stays.
    quint64 generation() const { return m_generation; }

private:
    bool fresh();
    void reload();
    std::vector<Entry>::iterator find(qint64 id);
    void stamp();

    TableFile &m_file;
    std::vector<Entry> m_rows;
    bool m_valid = false;
    qint64 m_changes = -1;      // the connection's changed-row count at the last step
    qint64 m_dataVersion = -1;  // the file's data version at the last read
    quint64 m_generation = 1;
    quint64 m_reloads = 0;
};

} // namespace store
