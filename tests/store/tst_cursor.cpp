// The cursor's rules over real SQLite table files.

#include "storetestutil.h"
#include "store/database.h"
#include "store/errors.h"

using store::Cursor;

class CursorTest : public QObject {
    Q_OBJECT
private slots:
    void emptyCursorReadsEmptyZeroFalse();
    void walkSetsBofAndEofLikeTheClassicTable();
    void editOnEmptyTableStartsNewRow();
    void rowBeingEditedReadsEditedValues();
    void movingStoresChangedEditAndDropsUnchangedOne();
    void switchingIndexStoresChangedEdit();
    void cancelRestoresStoredValues();
    void insertedRowGetsNewKeyAndZeroMark();
    void deleteRemovesRowFromFile();
    void textLongerThanCapacityIsCut_data();
    void textLongerThanCapacityIsCut();
    void emptyNumbersReadAsZeroAndStayEmpty();
    void notANumberRaisesConversionError_data();
    void notANumberRaisesConversionError();
    void komuOrderIsRussianAndIgnoresCase();
    void checkOrderPutsEveryMarkFirst();
    void dateTimeOrderIsNewestFirst();
    void findKeyMatchesFirstIndexFieldOnly();
    void findKeyMissLeavesPosition();
    void filterHidesRowsFromEveryOperation();
    void postedRowLeavingFilterDisappears();
    void twoCursorsSeeEachOthersRowsAfterRefresh();
    void refreshKeepsPosition();
    void refreshReordersRowRenamedByOtherCursor();
    void postWritesOnlyChangedFields();
    void eventsFireInTableOrder();
    void batchIsAllOrNone();
    void walkPostingEveryRowVisitsEachOnce();
};

void CursorTest::emptyCursorReadsEmptyZeroFalse()
{
    OpenBase open;
    store::Tables &t = open.tables;
    QCOMPARE(t.Table2.recordCount(), 0);
    QVERIFY(t.Table2.eof());
    QVERIFY(t.Table2.bof());
    QCOMPARE(t.Table2.asString("Komu"), QString());
    QCOMPARE(t.Table2.asInteger("Check"), 0);
    QCOMPARE(t.Table1.asBoolean("PrintLogo"), false);
    QCOMPARE(t.Table4.asFloat("W"), 0.0);
    QCOMPARE(t.Table2.recNo(), -1);
}

void CursorTest::walkSetsBofAndEofLikeTheClassicTable()
{
    OpenBase open;
    store::Tables &t = open.tables;
    for (const char *n : {"А", "Б", "В"})
        addRecipient(t.Table2, QString::fromUtf8(n));
    t.Table2.first();
    QVERIFY(t.Table2.bof());
    QVERIFY(!t.Table2.eof());
    t.Table2.next();
    QVERIFY(!t.Table2.bof());
    t.Table2.next();
    QCOMPARE(t.Table2.asString("Komu"), QStringLiteral("В"));
    QVERIFY(!t.Table2.eof());
    t.Table2.next();  // past the last row: end of data, still on the last
    QVERIFY(t.Table2.eof());
    QCOMPARE(t.Table2.asString("Komu"), QStringLiteral("В"));
    t.Table2.last();
    QVERIFY(t.Table2.eof());
    t.Table2.prior();
    QCOMPARE(t.Table2.asString("Komu"), QStringLiteral("Б"));
    t.Table2.first();
    t.Table2.prior();
    QVERIFY(t.Table2.bof());
    QCOMPARE(column(t.Table2, "Komu"), (QStringList{"А", "Б", "В"}));
}

void CursorTest::editOnEmptyTableStartsNewRow()
{
    OpenBase open;
    store::Tables &t = open.tables;
    t.Table1.edit();
    QCOMPARE(t.Table1.state(), Cursor::State::Insert);
    t.Table1.setValue("OtKogo", QStringLiteral("ООО Ромашка"));
    t.Table1.post();
    store::Tables again;
    again.openAllIn(open.base.path());
    QCOMPARE(again.Table1.recordCount(), 1);
    QCOMPARE(again.Table1.asString("OtKogo"), QStringLiteral("ООО Ромашка"));
}

void CursorTest::rowBeingEditedReadsEditedValues()
{
    OpenBase open;
    store::Tables &t = open.tables;
    addRecipient(t.Table2, "Иванов");
    t.Table2.edit();
    t.Table2.setValue("Komu", QStringLiteral("Петров"));
    QCOMPARE(t.Table2.asString("Komu"), QStringLiteral("Петров"));
    QCOMPARE(t.Table2.valueAt(0, t.Table2.fieldIndex("Komu")).toString(), QStringLiteral("Петров"));
    // Not stored yet: another cursor over the file still reads the old name.
    t.Table2_.refresh();
    QCOMPARE(t.Table2_.asString("Komu"), QStringLiteral("Иванов"));
}

void CursorTest::movingStoresChangedEditAndDropsUnchangedOne()
{
    OpenBase open;
    store::Tables &t = open.tables;
    addRecipient(t.Table2, "Алексеев");
    addRecipient(t.Table2, "Борисов");
    t.Table2.first();
    t.Table2.setValue("Prim", QStringLiteral("позвонить"));
    t.Table2.next();  // stores the change
    QCOMPARE(t.Table2.state(), Cursor::State::Browse);
    t.Table2.edit();
    t.Table2.setValue("Komu", QStringLiteral("Борисов"));  // same value: nothing changed
    QVERIFY(!t.Table2.isModified());
    t.Table2.first();
    QCOMPARE(t.Table2.state(), Cursor::State::Browse);

    t.Table2_.refresh();
    t.Table2_.setIndexName("Komu_i");
    QCOMPARE(column(t.Table2_, "Prim"), (QStringList{"позвонить", ""}));

    // An inserted row left untouched is dropped on moving.
    t.Table2.insert();
    t.Table2.first();
    QCOMPARE(t.Table2.recordCount(), 2);
}

void CursorTest::switchingIndexStoresChangedEdit()
{
    OpenBase open;
    store::Tables &t = open.tables;
    addRecipient(t.Table2, "Яковлев");
    t.Table2.setValue("Group", QStringLiteral("Друзья"));
    t.Table2.setIndexName("Check_i");
    QCOMPARE(t.Table2.state(), Cursor::State::Browse);
    t.Table2.refresh();
    QCOMPARE(t.Table2.asString("Group"), QStringLiteral("Друзья"));
    QCOMPARE(t.Table2.asString("Komu"), QStringLiteral("Яковлев"));
}

void CursorTest::cancelRestoresStoredValues()
{
    OpenBase open;
    store::Tables &t = open.tables;
    addRecipient(t.Table2, "Смирнов");
    t.Table2.setValue("Komu", QStringLiteral("Кузнецов"));
    t.Table2.cancel();
    QCOMPARE(t.Table2.asString("Komu"), QStringLiteral("Смирнов"));
    t.Table2.insert();
    t.Table2.setValue("Komu", QStringLiteral("Новый"));
    t.Table2.cancel();
    QCOMPARE(t.Table2.recordCount(), 1);
    QCOMPARE(t.Table2.asString("Komu"), QStringLiteral("Смирнов"));
}

void CursorTest::insertedRowGetsNewKeyAndZeroMark()
{
    OpenBase open;
    store::Tables &t = open.tables;
    t.Table2.insert();
    t.Table2.setValue("Komu", QStringLiteral("Первый"));
    t.Table2.post();
    const int first = t.Table2.asInteger("N");
    addRecipient(t.Table2, "Второй", QVariant());
    t.Table2.insert();
    t.Table2.setValue("Komu", QStringLiteral("Третий"));
    t.Table2.post();
    QVERIFY(first > 0);
    QVERIFY(t.Table2.asInteger("N") > first);
    QCOMPARE(t.Table2.asInteger("Check"), 0);
    QVERIFY(!t.Table2.isNull("Check"));
}

void CursorTest::deleteRemovesRowFromFile()
{
    OpenBase open;
    store::Tables &t = open.tables;
    for (const char *n : {"А", "Б", "В"})
        addRecipient(t.Table2, QString::fromUtf8(n));
    t.Table2.first();
    t.Table2.next();
    t.Table2.remove();
    QCOMPARE(t.Table2.asString("Komu"), QStringLiteral("В"));  // the next row becomes current
    t.Table2.remove();
    QCOMPARE(t.Table2.asString("Komu"), QStringLiteral("А"));  // the last one removed: back one
    t.Table2_.refresh();
    QCOMPARE(t.Table2_.recordCount(), 1);
}

void CursorTest::textLongerThanCapacityIsCut_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("capacity");
    QTest::newRow("Komu") << "Komu" << 100;
    QTest::newRow("Kuda") << "Kuda" << 150;
    QTest::newRow("Index") << "Index" << 50;
    QTest::newRow("Prim") << "Prim" << 250;
    QTest::newRow("Reserv6") << "Reserv6" << 250;
}

void CursorTest::textLongerThanCapacityIsCut()
{
    QFETCH(QString, field);
    QFETCH(int, capacity);
    OpenBase open;
    store::Tables &t = open.tables;
    const QString cyrillic = QString(capacity + 7, QChar(0x0416));  // "Ж"
    t.Table2.insert();
    t.Table2.setValue(field, cyrillic);
    QCOMPARE(t.Table2.asString(field).size(), capacity);
    t.Table2.post();
    t.Table2_.refresh();
    QCOMPARE(t.Table2_.asString(field), QString(capacity, QChar(0x0416)));
}

void CursorTest::emptyNumbersReadAsZeroAndStayEmpty()
{
    OpenBase open;
    store::Tables &t = open.tables;
    t.Table4.insert();
    t.Table4.setValue("NameKonvert", QStringLiteral("Новый"));
    t.Table4.post();
    QCOMPARE(t.Table4.asFloat("W"), 0.0);
    QCOMPARE(t.Table4.asFloat("KomuL"), 0.0);
    QVERIFY(t.Table4.isNull("W"));
    // A copy of the row through the second cursor keeps the empty values empty.
    t.Table4_.insert();
    for (int f = 1; f < t.Table4.schema().fields.size(); ++f)
        t.Table4_.setValue(f, t.Table4.value(f));
    t.Table4_.post();
    t.Table4.refresh();
    QCOMPARE(t.Table4.recordCount(), 2);
    for (t.Table4.first(); !t.Table4.eof(); t.Table4.next())
        QVERIFY(t.Table4.isNull("LinesH"));
}

void CursorTest::notANumberRaisesConversionError_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::newRow("letters in a real") << "W" << "abc";
    QTest::newRow("two separators") << "W" << "1,2,3";
    QTest::newRow("letters in an integer") << "TypKonv" << "два";
}

void CursorTest::notANumberRaisesConversionError()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    OpenBase open;
    store::Tables &t = open.tables;
    store::Cursor &c = field == "TypKonv" ? t.Table1 : t.Table4;
    c.insert();
    try {
        c.setAsString(field, text);
        QFAIL("no error raised");
    } catch (const store::ConversionError &e) {
        QVERIFY(QString::fromUtf8(e.what()).contains("is not a valid"));
        QVERIFY(QString::fromUtf8(e.what()).contains(text));
    }
}

void CursorTest::komuOrderIsRussianAndIgnoresCase()
{
    OpenBase open;
    store::Tables &t = open.tables;
    for (const char *n : {"юрьев", "Ёлкин", "Ершов", "елагин", "Zeta", "alpha", "Борисов", "", "Яшин", "бобров"})
        addRecipient(t.Table2, QString::fromUtf8(n));
    QCOMPARE(column(t.Table2, "Komu"),
             (QStringList{"", "бобров", "Борисов", "елагин", "Ёлкин", "Ершов", "юрьев", "Яшин", "alpha", "Zeta"}));
    // Equal keys keep the order of their row keys.
    addRecipient(t.Table2, "ИВАНОВ");
    addRecipient(t.Table2, "иванов");
    QStringList ivanov;
    for (t.Table2.first(); !t.Table2.eof(); t.Table2.next())
        if (t.Table2.asString("Komu").compare(QStringLiteral("иванов"), Qt::CaseInsensitive) == 0)
            ivanov << t.Table2.asString("Komu");
    QCOMPARE(ivanov, (QStringList{"ИВАНОВ", "иванов"}));
}

void CursorTest::checkOrderPutsEveryMarkFirst()
{
    OpenBase open;
    store::Tables &t = open.tables;
    addRecipient(t.Table2, "один", 1);
    addRecipient(t.Table2, "пусто", QVariant());
    addRecipient(t.Table2, "минус пять", -5);
    addRecipient(t.Table2, "ноль", 0);
    addRecipient(t.Table2, "минус один", -1);
    t.Table2_.refresh();
    QCOMPARE(column(t.Table2_, "Komu"),
             (QStringList{"минус пять", "минус один", "пусто", "ноль", "один"}));
}

void CursorTest::dateTimeOrderIsNewestFirst()
{
    OpenBase open;
    store::Tables &t = open.tables;
    auto add = [&](const char *text, QDate d, QTime tm) {
        t.Table6.insert();
        t.Table6.setValue("Filter", QString::fromUtf8(text));
        t.Table6.setValue("Date", d);
        t.Table6.setValue("Time", tm);
        t.Table6.post();
    };
    add("старый", QDate(2025, 1, 5), QTime(23, 0));
    add("новый", QDate(2026, 3, 1), QTime(8, 15, 30));
    add("утро", QDate(2026, 3, 1), QTime(7, 0));
    add("вечер", QDate(2026, 3, 1), QTime(19, 45));
    QCOMPARE(column(t.Table6, "Filter"), (QStringList{"вечер", "новый", "утро", "старый"}));
    t.Table6.setIndexName("Filter_i");
    QVERIFY(t.Table6.findKey(QStringLiteral("УТРО")));
    QCOMPARE(t.Table6.asTime("Time"), QTime(7, 0));
}

void CursorTest::findKeyMatchesFirstIndexFieldOnly()
{
    OpenBase open;
    store::Tables &t = open.tables;
    for (const char *n : {"Широкий", "Узкий", "Квадратный"}) {
        t.Table4.insert();
        t.Table4.setValue("NameKonvert", QString::fromUtf8(n));
        t.Table4.post();
    }
    t.Table4.setIndexName("N_i");
    QVERIFY(t.Table4.findKey(2));
    t.Table4.setIndexName("NameKonvert_i");
    QCOMPARE(t.Table4.asString("NameKonvert"), QStringLiteral("Узкий"));
    QVERIFY(t.Table4.findKey(QStringLiteral("квадратный")));
    QCOMPARE(t.Table4.asInteger("N"), 3);
    QVERIFY(!t.Table4.findKey(QStringLiteral("Квадрат")));  // exact match only
}

void CursorTest::findKeyMissLeavesPosition()
{
    OpenBase open;
    store::Tables &t = open.tables;
    for (const char *n : {"А", "Б", "В"}) {
        t.Table5.insert();
        t.Table5.setValue("PrinterName", QString::fromUtf8(n));
        t.Table5.post();
    }
    t.Table5.first();
    t.Table5.next();
    t.Table5.setIndexName("N_i");
    QVERIFY(!t.Table5.findKey(99));
    t.Table5.setIndexName("PrinterName_i");
    QCOMPARE(t.Table5.asString("PrinterName"), QStringLiteral("Б"));
}

void CursorTest::filterHidesRowsFromEveryOperation()
{
    OpenBase open;
    store::Tables &t = open.tables;
    for (const char *n : {"Анна", "Борис", "Алла", "Вера"})
        addRecipient(t.Table2, QString::fromUtf8(n));
    const int komu = t.Table2.fieldIndex("Komu");
    t.Table2.setFilterHook([komu](const store::RecordView &r) { return r.text(komu).startsWith("А"); });
    t.Table2.setFiltered(true);
    QCOMPARE(t.Table2.recordCount(), 2);
    QCOMPARE(column(t.Table2, "Komu"), (QStringList{"Алла", "Анна"}));
    QVERIFY(!t.Table2.findKey(QStringLiteral("Борис")));
    t.Table2.setFiltered(false);
    QCOMPARE(t.Table2.recordCount(), 4);
}

void CursorTest::postedRowLeavingFilterDisappears()
{
    OpenBase open;
    store::Tables &t = open.tables;
    for (const char *n : {"Анна", "Алла", "Ася"})
        addRecipient(t.Table2, QString::fromUtf8(n));
    const int komu = t.Table2.fieldIndex("Komu");
    t.Table2.setFilterHook([komu](const store::RecordView &r) { return r.text(komu).startsWith("А"); });
    t.Table2.setFiltered(true);
    t.Table2.first();
    t.Table2.next();  // Анна
    t.Table2.setValue("Komu", QStringLiteral("Жанна"));
    t.Table2.post();
    QCOMPARE(t.Table2.recordCount(), 2);
    QCOMPARE(t.Table2.asString("Komu"), QStringLiteral("Ася"));
}

void CursorTest::twoCursorsSeeEachOthersRowsAfterRefresh()
{
    OpenBase open;
    store::Tables &t = open.tables;
    addRecipient(t.Table2, "Первый");
    QCOMPARE(t.Table2_.recordCount(), 0);
    t.Table2_.refresh();
    QCOMPARE(t.Table2_.recordCount(), 1);
    t.Table2_.setValue("Check", -1);
    t.Table2_.post();
    QCOMPARE(t.Table2.asInteger("Check"), 0);
    t.Table2.refresh();
    QCOMPARE(t.Table2.asInteger("Check"), -1);
}

void CursorTest::refreshKeepsPosition()
{
    OpenBase open;
    store::Tables &t = open.tables;
    for (const char *n : {"Б", "Г", "Е"})
        addRecipient(t.Table2, QString::fromUtf8(n));
    t.Table2.first();
    t.Table2.next();
    addRecipient(t.Table2_, "А");
    t.Table2.refresh();
    QCOMPARE(t.Table2.asString("Komu"), QStringLiteral("Г"));
    QCOMPARE(t.Table2.recordCount(), 4);
}

void CursorTest::refreshReordersRowRenamedByOtherCursor()
{
    OpenBase open;
    store::Tables &t = open.tables;
    for (const char *n : {"Белов", "Волков", "Громов"})
        addRecipient(t.Table2, QString::fromUtf8(n));
    t.Table2_.refresh();
    t.Table2_.setIndexName("Komu_i");
    t.Table2_.last();
    t.Table2_.setValue("Komu", QStringLiteral("Абрамов"));
    t.Table2_.post();
    t.Table2_.first();
    t.Table2_.setValue("Check", -1);  // a mark alone keeps the order
    t.Table2_.post();
    t.Table2.refresh();
    QCOMPARE(column(t.Table2, "Komu"), (QStringList{"Абрамов", "Белов", "Волков"}));
    t.Table2.first();
    QCOMPARE(t.Table2.asInteger("Check"), -1);
}

void CursorTest::postWritesOnlyChangedFields()
{
    // The mark stored through the second cursor survives an edit of another
    // field through the first one, which still holds the old mark.
    OpenBase open;
    store::Tables &t = open.tables;
    addRecipient(t.Table2, "Орлов");
    t.Table2_.refresh();
    t.Table2_.setValue("Check", -1);
    t.Table2_.post();
    t.Table2.setValue("Prim", QStringLiteral("срочно"));
    t.Table2.post();
    t.Table2.refresh();
    QCOMPARE(t.Table2.asInteger("Check"), -1);
    QCOMPARE(t.Table2.asString("Prim"), QStringLiteral("срочно"));
}

void CursorTest::eventsFireInTableOrder()
{
    OpenBase open;
    store::Tables &t = open.tables;
    QStringList events;
    Cursor &c = t.Table3;
    connect(&c, &Cursor::beforeInsert, this, [&] { events << "beforeInsert"; });
    connect(&c, &Cursor::newRecord, this, [&] { events << "newRecord"; });
    connect(&c, &Cursor::afterInsert, this, [&] { events << "afterInsert"; });
    connect(&c, &Cursor::beforeEdit, this, [&] { events << "beforeEdit"; });
    connect(&c, &Cursor::afterEdit, this, [&] { events << "afterEdit"; });
    connect(&c, &Cursor::beforePost, this, [&] { events << "beforePost"; });
    connect(&c, &Cursor::afterPost, this, [&] { events << "afterPost"; });
    connect(&c, &Cursor::afterCancel, this, [&] { events << "afterCancel"; });
    connect(&c, &Cursor::beforeDelete, this, [&] { events << "beforeDelete"; });
    connect(&c, &Cursor::afterDelete, this, [&] { events << "afterDelete"; });
    connect(&c, &Cursor::afterScroll, this, [&] { events << "afterScroll"; });
    c.insert();
    c.setValue("OtKogo", QStringLiteral("Иванов"));
    c.post();
    c.setValue("OtKuda", QStringLiteral("Москва"));
    c.cancel();
    c.first();
    c.remove();
    QCOMPARE(events, (QStringList{"beforeInsert", "newRecord", "afterInsert", "beforePost", "afterPost",
                                  "beforeEdit", "afterEdit", "afterCancel", "afterScroll",
                                  "beforeDelete", "afterDelete", "afterScroll"}));
}

void CursorTest::batchIsAllOrNone()
{
    OpenBase open;
    store::Tables &t = open.tables;
    addRecipient(t.Table2, "Был");
    t.Table2.beginBatch();
    for (int i = 0; i < 5; ++i)
        addRecipient(t.Table2, QStringLiteral("Новый %1").arg(i));
    t.Table2.rollbackBatch();
    QCOMPARE(t.Table2.recordCount(), 1);
    t.Table2.beginBatch();
    for (int i = 0; i < 5; ++i)
        addRecipient(t.Table2, QStringLiteral("Новый %1").arg(i));
    t.Table2.commitBatch();
    store::Tables again;
    again.openAllIn(open.base.path());
    QCOMPARE(again.Table2.recordCount(), 6);
}

void CursorTest::walkPostingEveryRowVisitsEachOnce()
{
    // Marking every row in the order of the marks would move each row to
    // the front; walking in key order keeps every row in its place.
    OpenBase open;
    store::Tables &t = open.tables;
    for (int i = 0; i < 50; ++i)
        addRecipient(t.Table2, QStringLiteral("Адресат %1").arg(i), i % 3 == 0 ? -1 : 0);
    t.Table2_.refresh();
    t.Table2_.setIndexName(QString());
    int visits = 0;
    t.Table2_.beginBatch();
    for (t.Table2_.first(); !t.Table2_.eof(); t.Table2_.next()) {
        ++visits;
        t.Table2_.setValue("Check", -1);
        t.Table2_.post();
    }
    t.Table2_.commitBatch();
    t.Table2_.setIndexName("Check_i");
    QCOMPARE(visits, 50);
    t.Table2.refresh();
    for (t.Table2.first(); !t.Table2.eof(); t.Table2.next())
        QCOMPARE(t.Table2.asInteger("Check"), -1);
}

QTEST_GUILESS_MAIN(CursorTest)
#include "tst_cursor.moc"
