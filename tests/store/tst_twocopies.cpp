// Two copies of the program on one data folder: the other copy is a child
// process with connections of its own. What one stores the other shows, and
// an edit never overwrites or drops unseen what the other stored.

#include "storetestutil.h"
#include "store/database.h"

#include <QDir>
#include <QProcess>

using Kind = store::StoreError::Kind;
using Rows = QMap<QString, QString>;  // recipient name: postal code

namespace {

// The other copy of the program stores or deletes one recipient.
void otherCopy(const QStringList &args)
{
    QProcess child;
    child.start(KUVERTIX_STORE_CHILD, args);
    QVERIFY(child.waitForFinished(30000));
    QCOMPARE(child.exitCode(), 0);
    QCOMPARE(child.readAllStandardOutput().trimmed(), QByteArray("done"));
}

// The recipients as the file holds them, read through a connection of its own.
Rows indexesInFile(const QString &folder)
{
    store::TableFile file(QDir(folder).filePath("AdrList.DB"), store::adrListSchema());
    const int komu = store::adrListSchema().fieldIndex("Komu");
    const int index = store::adrListSchema().fieldIndex("Index");
    Rows rows;
    for (const store::StoredRow &row : file.readAll())
        rows.insert(row.values[komu].toString(), row.values[index].toString());
    return rows;
}

struct FiveRecipients : OpenBase {
    FiveRecipients()
    {
        for (const char *name : {"Антонов", "Борисов", "Волков", "Громов", "Дёмин"}) {
            tables.Table2.insert();
            tables.Table2.setValue("Komu", QString::fromUtf8(name));
            tables.Table2.setValue("Index", QStringLiteral("100000"));
            tables.Table2.post();
        }
        tables.Table2_.refresh();
    }
    QString folder() const { return base.path(); }
};

} // namespace

class TwoCopiesTest : public QObject {
    Q_OBJECT
private slots:
    void otherCopysWriteMeetsAnEditHere_data();
    void otherCopysWriteMeetsAnEditHere();
    void followingKeepsTheCurrentRowAndFilter();
    void markingAllMarksWhatTheOtherCopyAdded();
};

void TwoCopiesTest::otherCopysWriteMeetsAnEditHere_data()
{
    QTest::addColumn<QStringList>("there");       // the other copy's change of "Волков"
    QTest::addColumn<QString>("field");           // the field changed here ("" deletes the row)
    QTest::addColumn<bool>("beganBefore");        // the edit here began before the other's write
    QTest::addColumn<int>("refused");             // the error kind, -1 when stored
    QTest::addColumn<QString>("komuShown");       // the current recipient here afterwards
    QTest::addColumn<Rows>("file");

    const QStringList del{"delete"};
    const QStringList komu{"set", "Komu", "Волков-Их"};
    auto file = [](const QString &komu, const QString &index, bool withVolkov = true) {
        Rows rows{{"Антонов", "100000"}, {"Борисов", "100000"},
                                    {"Громов", "100000"}, {"Дёмин", "100000"}};
        if (withVolkov)
            rows.insert(komu, index);
        return rows;
    };
    QTest::newRow("deleted there, then edited here")
        << del << "Index" << false << int(Kind::DeletedElsewhere) << "Громов" << file({}, {}, false);
    QTest::newRow("deleted there while edited here")
        << del << "Index" << true << int(Kind::DeletedElsewhere) << "Громов" << file({}, {}, false);
    QTest::newRow("Кому there, then Кому here")
        << komu << "Komu" << false << int(Kind::ChangedElsewhere) << "Волков-Их" << file("Волков-Их", "100000");
    QTest::newRow("Кому there while Кому here")
        << komu << "Komu" << true << int(Kind::ChangedElsewhere) << "Волков-Их" << file("Волков-Их", "100000");
    QTest::newRow("Кому there while Индекс here")
        << komu << "Index" << true << -1 << "Волков-Их" << file("Волков-Их", "Мой");
    QTest::newRow("Кому there, then Индекс here")
        << komu << "Index" << false << -1 << "Волков-Их" << file("Волков-Их", "Мой");
    QTest::newRow("Кому there, then deleted here")
        << komu << "" << false << int(Kind::ChangedElsewhere) << "Волков-Их" << file("Волков-Их", "100000");
}

void TwoCopiesTest::otherCopysWriteMeetsAnEditHere()
{
    QFETCH(QStringList, there);
    QFETCH(QString, field);
    QFETCH(bool, beganBefore);
    QFETCH(int, refused);
    QFETCH(QString, komuShown);
    QFETCH(Rows, file);

    FiveRecipients book;
    store::Cursor &here = book.tables.Table2;
    QVERIFY(here.findKey(QStringLiteral("Волков")));
    const QString mine = field == QLatin1String("Komu") ? QStringLiteral("Волков-Мой") : QStringLiteral("Мой");
    if (beganBefore)
        here.setValue(field, mine);
    QStringList args{there.first(), book.folder(), QStringLiteral("Волков")};
    otherCopy(args + there.mid(1));

    int kind = -1;
    QString message;
    try {
        if (field.isEmpty()) {
            here.remove();
        } else {
            if (!beganBefore)
                here.setValue(field, mine);
            here.post();
        }
    } catch (const store::StoreError &e) {
        kind = int(e.kind());
        message = e.message();
    }
    QCOMPARE(kind, refused);
    if (refused >= 0 && !field.isEmpty())
        QVERIFY2(message.contains(mine), qPrintable(message));  // what was typed is named
    QVERIFY(!here.isEditing());
    QCOMPARE(here.asString("Komu"), komuShown);
    QCOMPARE(here.recordCount(), file.size());
    QCOMPARE(indexesInFile(book.folder()), file);
}

void TwoCopiesTest::followingKeepsTheCurrentRowAndFilter()
{
    FiveRecipients book;
    store::Tables &t = book.tables;
    // Every name but "Дёмин" holds "ов"; the filter hides him.
    auto hook = [](const store::RecordView &row) { return row.text(1).contains(QStringLiteral("ов")); };
    t.Table2.setFilterHook(hook);
    t.Table2.setFiltered(true);
    QVERIFY(t.Table2.findKey(QStringLiteral("Громов")));
    QVERIFY(!t.followFiles());  // nothing stored elsewhere yet

    otherCopy({"set", book.folder(), "Антонов", "Komu", "Аронов"});
    otherCopy({"delete", book.folder(), "Борисов"});
    QVERIFY(t.followFiles());
    QCOMPARE(column(t.Table2, "Komu"), (QStringList{"Аронов", "Волков", "Громов"}));
    QCOMPARE(t.Table2_.recordCount(), 4);
    QVERIFY(!t.followFiles());

    // The current row stays where the user was.
    QVERIFY(t.Table2.findKey(QStringLiteral("Громов")));
    otherCopy({"set", book.folder(), "Волков", "Index", "200000"});
    QVERIFY(t.followFiles());
    QCOMPARE(t.Table2.asString("Komu"), QStringLiteral("Громов"));
}

void TwoCopiesTest::markingAllMarksWhatTheOtherCopyAdded()
{
    FiveRecipients book;
    QProcess child;
    child.start(KUVERTIX_STORE_CHILD, {"post", book.folder(), "2"});
    QVERIFY(child.waitForFinished(30000));
    store::Cursor &marks = book.tables.Table2_;
    QCOMPARE(marks.setFieldOfAll(marks.fieldIndex("Check"), -1), 7);
    QCOMPARE(marks.recordCount(), 7);
}

QTEST_GUILESS_MAIN(TwoCopiesTest)
#include "tst_twocopies.moc"
