#pragma once
// A Paradox table file (.DB), as the desktop database engine of older
// installations kept the tables of the data folder, read through pxlib.
// Its fields are bound by name to a table schema; each record then reads as
// a row of that schema. Texts are single-byte Cyrillic (Windows-1251, or
// DOS 866 when the header names that code page).

#include "store/database.h"
#include "store/schema.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QVector>
#include <array>

struct px_doc;

namespace store {

class ParadoxTable {
public:
    // Whether a file begins like a Paradox table: cheap, from the header.
    static bool isParadoxFile(const QString &path);

    // Opens the file for reading; nothing is ever written to it. Throws
    // StoreError (UpgradeFailed) naming the file and the cause: damaged,
    // protected by a password.
    explicit ParadoxTable(const QString &path);
    ~ParadoxTable();
    ParadoxTable(const ParadoxTable &) = delete;
    ParadoxTable &operator=(const ParadoxTable &) = delete;

    int recordCount() const { return m_recordCount; }
    int codePage() const { return m_codePage; }

    // Binds each field of the schema to the file's field of that name (in
    // any letter case). Throws when such a field holds a kind of value the
    // schema's field cannot take (a memo for a text, a time stamp for a date).
    void bind(const TableSchema &schema);
    // The file's fields that are not in the schema, which a row leaves out.
    QStringList unboundFields() const;
    // The schema's fields the file does not have, which get their defaults.
    QStringList absentFields() const;

    // Reads a record into row.values, one value per schema field: empty
    // fields stay empty, fields the file lacks get the schema's default,
    // texts longer than their field are cut. Throws when it cannot be read.
    // Reading the records in order reads each data block once.
    void read(int record, StoredRow &row);
    // How many texts read so far were longer than their field.
    int cutTexts() const { return m_cutTexts; }

private:
    struct SourceField {
        QString name;
        int type = 0;  // pxlib's field type code
        int length = 0;
        int offset = 0;  // in the record
    };
    void checkHeader();
    void openDocument();
    void readFields();
    void checkBlocks();
    // Throws the error for the file: the reason in the user's words, pxlib's
    // own words as its cause.
    [[noreturn]] void fail(const QString &reason, const QString &technical = {}) const;
    [[noreturn]] void failInRecord(const SourceField &field) const;
    char *recordData(int record);
    void loadBlock(int block);
    QVariant value(char *data, const SourceField &field, const FieldDef &as);
    QString text(const char *data, int length) const;

    QString m_path;
    QString m_pxlibError;  // the last error pxlib reported, for the message
    px_doc *m_doc = nullptr;
    QVector<SourceField> m_fields;
    int m_recordCount = 0;
    int m_recordSize = 0;
    int m_codePage = 0;
    std::array<QChar, 256> m_chars{};  // the code page's character of each byte
    const TableSchema *m_schema = nullptr;
    QVector<int> m_binding;  // per schema field: index into m_fields, or -1
    QFile m_file;
    int m_blockCount = 0;   // the data blocks pxlib found, in the table's order
    QByteArray m_block;     // the data block read last
    int m_blockIndex = -1;  // its place in pxlib's list of blocks
    int m_blockFirstRecord = 0;
    int m_currentRecord = -1;
    int m_cutTexts = 0;
};

} // namespace store
