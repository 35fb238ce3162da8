// Rows kept packed in memory and shared by the cursors of a file: every
// value survives packing, a refresh sees what was written around the
// cursors, and one field written into all listed rows reaches the file.

#include "storetestutil.h"
#include "store/database.h"
#include "store/packedrow.h"

#include <QDate>
#include <QTime>

Q_DECLARE_METATYPE(const store::TableSchema *)

namespace {

// The stored values of one field, by row id, read through a connection of
// its own.
QMap<qint64, QVariant> fileColumn(const QString &folder, const QString &field)
{
    store::TableFile file(QDir(folder).filePath("AdrList.DB"), store::adrListSchema());
    const int f = store::adrListSchema().fieldIndex(field);
    QMap<qint64, QVariant> out;
    for (const store::StoredRow &row : file.readAll())
        out[row.rowId] = row.values[f];
    return out;
}

} // namespace

class RowCacheTest : public QObject {
    Q_OBJECT
private slots:
    void packedRowKeepsEveryValue_data();
    void packedRowKeepsEveryValue();
    void refreshSeesAnotherConnectionsWrite();
    void rolledBackBatchIsNotShown();
    void fieldOfAllWritesFilteredRowsOnly();
};

void RowCacheTest::packedRowKeepsEveryValue_data()
{
    QTest::addColumn<const store::TableSchema *>("schema");
    QTest::addColumn<QVector<QVariant>>("values");
    const auto &adr = store::adrListSchema();
    QVector<QVariant> empty(adr.fields.size());
    QVector<QVariant> texts = empty;
    texts[0] = 7;
    texts[1] = QString("");  // an empty text is not an empty value
    texts[2] = QStringLiteral("ул. Ёлочная, 𝄞");
    texts[6] = -5;
    QVector<QVariant> huge = texts;
    huge[12] = QString(40000, QChar(0x0416));  // past 64 KB of UTF-8: wide offsets
    QVector<QVariant> history{QStringLiteral("металл|оао"), QDate(2026, 12, 9), QTime(23, 59, 58, 7)};
    QVector<QVariant> format(store::konvertsSchema().fields.size());
    format[1] = QStringLiteral("C5");
    format[2] = 162.5;
    format[3] = -0.25;
    QVector<QVariant> config(store::configSchema().fields.size());
    config[8] = true;
    config[13] = false;
    QTest::newRow("all empty") << &adr << empty;
    QTest::newRow("texts and marks") << &adr << texts;
    QTest::newRow("very long text") << &adr << huge;
    QTest::newRow("date and time") << &store::filterSchema() << history;
    QTest::newRow("reals") << &store::konvertsSchema() << format;
    QTest::newRow("booleans") << &store::configSchema() << config;
}

void RowCacheTest::packedRowKeepsEveryValue()
{
    QFETCH(const store::TableSchema *, schema);
    QFETCH(QVector<QVariant>, values);
    const QByteArray row = store::packed::pack(*schema, values);
    const QVector<QVariant> back = store::packed::unpack(*schema, row);
    for (int f = 0; f < values.size(); ++f) {
        QCOMPARE(back[f].isNull(), values[f].isNull());
        QCOMPARE(back[f], values[f]);
        if (values[f].typeId() == QMetaType::QString)
            QCOMPARE(store::packed::textLength(row, f), values[f].toString().size());
    }
    // Replacing one field leaves the others as they were.
    const int last = int(values.size()) - 1;
    const QByteArray changed = store::packed::withField(*schema, row, last, QVariant());
    QVERIFY(store::packed::isNull(changed, last));
    for (int f = 0; f < last; ++f)
        QVERIFY(store::packed::sameField(row, changed, f));
}

void RowCacheTest::refreshSeesAnotherConnectionsWrite()
{
    OpenBase open;
    store::Tables &t = open.tables;
    addRecipient(t.Table2, "Белов");
    addRecipient(t.Table2, "Громов");
    store::TableFile other(QDir(open.base.path()).filePath("AdrList.DB"), store::adrListSchema());
    other.exec(QStringLiteral("UPDATE AdrList SET Komu = 'Антонов' WHERE Komu = 'Громов'"));
    QCOMPARE(column(t.Table2, "Komu"), (QStringList{"Белов", "Громов"}));
    t.Table2.refresh();
    QCOMPARE(column(t.Table2, "Komu"), (QStringList{"Антонов", "Белов"}));
    t.Table2_.refresh();
    QCOMPARE(t.Table2_.recordCount(), 2);
}

void RowCacheTest::rolledBackBatchIsNotShown()
{
    OpenBase open;
    store::Tables &t = open.tables;
    addRecipient(t.Table2, "Белов");
    t.Table2.beginBatch();
    addRecipient(t.Table2, "Громов");
    t.Table2.first();
    t.Table2.setValue("Komu", QStringLiteral("Жданов"));
    t.Table2.post();
    t.Table2.rollbackBatch();
    QCOMPARE(column(t.Table2, "Komu"), QStringList{"Белов"});
    t.Table2_.refresh();
    QCOMPARE(column(t.Table2_, "Komu"), QStringList{"Белов"});
}

void RowCacheTest::fieldOfAllWritesFilteredRowsOnly()
{
    OpenBase open;
    store::Tables &t = open.tables;
    for (const char *n : {"Авдеев", "Белов", "Волков", "Громов", "Данилов"})
        addRecipient(t.Table2, QString::fromUtf8(n), QString::fromUtf8(n) == QStringLiteral("Волков") ? -1 : 0);
    const int komu = t.Table2.fieldIndex("Komu");
    const int check = t.Table2.fieldIndex("Check");
    t.Table2.setFilterHook([komu](const store::RecordView &r) { return !r.text(komu).startsWith("Б"); });
    t.Table2.setFiltered(true);
    t.Table2.last();
    t.Table2.setValue("Prim", QStringLiteral("позвонить"));  // a pending edit is stored first
    QCOMPARE(t.Table2.setFieldOfAll(check, -1), 3);   // Волков holds the mark already
    QCOMPARE(t.Table2.asString("Komu"), QStringLiteral("Данилов"));
    QCOMPARE(t.Table2.asString("Prim"), QStringLiteral("позвонить"));
    const QMap<qint64, QVariant> marks = fileColumn(open.base.path(), "Check");
    const QMap<qint64, QVariant> names = fileColumn(open.base.path(), "Komu");
    for (auto it = marks.begin(); it != marks.end(); ++it)
        QCOMPARE(it.value().toInt(), names[it.key()] == QStringLiteral("Белов") ? 0 : -1);
    t.Table2_.refresh();
    QCOMPARE(column(t.Table2_, "Check"), (QStringList{"-1", "-1", "-1", "-1", "0"}));
    QCOMPARE(t.Table2_.setFieldOfAll(check, 0), 4);
    t.Table2.refresh();
    t.Table2.setFiltered(false);
    QCOMPARE(column(t.Table2, "Check"), (QStringList{"0", "0", "0", "0", "0"}));
}

QTEST_GUILESS_MAIN(RowCacheTest)
#include "tst_rowcache.moc"
