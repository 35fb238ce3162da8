// The print summary as a markup text: every piece in its order, the lines
// that appear only under their conditions, numbers in general format, and
// what the summary reads from the tables (and where it leaves the cursors).

#include "runs/summary.h"
#include "tests/support/printrunfixture.h"

#include <QtTest>

Q_DECLARE_METATYPE(runs::ResumeFacts)

namespace {

const QString Comma = QStringLiteral(",");

// An envelope run over all recipients with the default font and no extras.
runs::ResumeFacts plainEnvelope()
{
    runs::ResumeFacts f;
    f.screen.scope = runs::PrintScope::All;
    f.formatName = QStringLiteral("C5");
    f.typKonv = 2;
    f.komu = QStringLiteral("Иванов");
    f.kuda = QStringLiteral("Москва");
    f.index = QStringLiteral("101000");
    f.otKogo = QStringLiteral("Петров");
    f.otKuda = QStringLiteral("Тверь");
    f.otIndex = QStringLiteral("170000");
    return f;
}

const QString NoteLabel =
    QStringLiteral("\r{FB-} {FS8}*Как вставлять конверт в принтер(на некоторых принтерах в специальный лоток!): ");

} // namespace

class TestSummaryText : public QObject {
    Q_OBJECT
private slots:
    void envelopeWithEverything();
    void envelopePieces_data();
    void envelopePieces();
    void otherKinds_data();
    void otherKinds();
    void generalNumbers_data();
    void generalNumbers();
    void readsTheTablesAndLeavesCursorsOnTheLookedUpRows();
    void unknownKeysUseTheRowTheCursorStoodOn();
    void blanksLookNothingUp();
};

void TestSummaryText::envelopeWithEverything()
{
    runs::ResumeFacts f = plainEnvelope();
    f.typKonv = 1;
    f.screen.returnEnvelope = true;
    f.screen.scope = runs::PrintScope::Marked;
    f.screen.selectedCount = 3;
    f.screen.filterText = QStringLiteral("москва|оао");
    f.screen.font = {QStringLiteral("Times New Roman"), 14, true, true};
    f.screen.printLogo = true;
    f.screen.printZipCode = true;
    f.screen.printComment = true;
    f.printerName = QStringLiteral("Лазерный");
    f.dx = 1.5;
    f.dy = -2;
    f.konvertComment = QStringLiteral("ЗАКАЗНОЕ\r\n");
    f.insertNote = QStringLiteral("Лицом вверх,\r\nклапаном влево");

    const QString expected = QStringLiteral(
        " {PL}Печатать: {FB}Конверт C5 с напечатанной в типографии разметкой, с обратным конвертом"
        "\r{FB-} Получатель: {FB}Выделенные - 3 шт (фильтр = москва|оао)"
        "\r{FB-} Отправитель: {FB}Петров, Тверь, 170000"
        "\r"
        "\r{FB-} Шрифт : {FNTimes New Roman}{FS14}{FB}{FI} Times New Roman{F0}"
        "\r{FB-} Печать картинки: {FB}Вкл"
        "\r{FB-} Печать большого индекса : {FB}Вкл"
        "\r {FB-}Смещение при печати: {FB}Лазерный: по горизонтали 1,5мм; по вертикали -2мм."
        "\r {FB-}Комментарий на конверте: {FB}\rЗАКАЗНОЕ\r\n"
        "\r{FB-} {FS8}*Как вставлять конверт в принтер(на некоторых принтерах в специальный лоток!): "
        "Лицом вверх,клапаном влево");
    QCOMPARE(runs::ResumeText(runs::ResumeKindEnvelope, f, Comma), expected);
}

void TestSummaryText::envelopePieces_data()
{
    QTest::addColumn<runs::ResumeFacts>("facts");
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QStringList>("absent");

    const runs::ResumeFacts base = plainEnvelope();
    runs::ResumeFacts f;

    QTest::newRow("all, no filter") << base
        << QStringList{"\r{FB-} Получатель: {FB}Все\r", " {PL}Печатать: {FB}Конверт C5 без напечатанной в типографии разметки\r"}
        << QStringList{"фильтр", "обратным", "Шрифт", "Смещение", "Комментарий", "картинки", "индекса :"};

    f = base;
    f.screen.filterText = QStringLiteral("{FB}офис");
    QTest::newRow("all, filter kept as markup") << f
        << QStringList{"Получатель: {FB}Все (фильтр = {FB}офис)\r"} << QStringList{};

    f = base;
    f.screen.scope = runs::PrintScope::Marked;
    f.screen.selectedCount = 3;
    f.screen.filterText = QStringLiteral("F");
    QTest::newRow("three marked, filter") << f
        << QStringList{"Получатель: {FB}Выделенные - 3 шт (фильтр = F)\r"} << QStringList{};

    f = base;
    f.screen.scope = runs::PrintScope::Current;
    f.screen.filterText = QStringLiteral("москва");
    QTest::newRow("current ignores the filter") << f
        << QStringList{"Получатель: {FB}Иванов, Москва, 101000\r"} << QStringList{"фильтр", "москва"};

    f = base;
    f.typKonv = 0;
    QTest::newRow("type 0 is a blank envelope") << f
        << QStringList{"Конверт C5 без напечатанной в типографии разметки\r"} << QStringList{"с напечатанной"};

    f = base;
    f.screen.font = {QStringLiteral("arial"), 11, false, false};
    QTest::newRow("arial in lower case is another face") << f
        << QStringList{"\r\r{FB-} Шрифт : {FNarial}{FS11} arial{F0}" + NoteLabel} << QStringList{};

    f = base;
    f.screen.font = {QStringLiteral("Arial"), 12, false, true};
    QTest::newRow("Arial at 12 points, italic") << f
        << QStringList{"\r{FB-} Шрифт : {FNArial}{FS12}{FI} Arial{F0}"} << QStringList{"{FB}{FI}"};

    f = base;
    f.screen.font = {QStringLiteral("Arial"), 11, true, true};
    QTest::newRow("Arial 11 bold italic counts as default") << f
        << QStringList{"\r\r" + NoteLabel.mid(1)} << QStringList{"Шрифт"};

    f = base;
    f.printerName = QStringLiteral("Струйный");
    f.dx = -0.5;
    QTest::newRow("half a millimetre to the left") << f
        << QStringList{"\r {FB-}Смещение при печати: {FB}Струйный: по горизонтали -0,5мм; по вертикали 0мм." + NoteLabel}
        << QStringList{};

    f = base;
    f.printerName = QStringLiteral("Струйный");
    QTest::newRow("no offset, no line") << f << QStringList{} << QStringList{"Смещение", "Струйный"};

    f = base;
    f.konvertComment = QStringLiteral("  \t\r\n ");
    f.screen.printComment = true;
    QTest::newRow("comment of blanks is empty") << f << QStringList{} << QStringList{"Комментарий"};

    f = base;
    f.screen.printComment = true;
    QTest::newRow("comment box alone adds nothing") << f << QStringList{} << QStringList{"Комментарий"};

    f = base;
    f.konvertComment = QStringLiteral("ЦЕННОЕ");
    QTest::newRow("comment not to be printed") << f << QStringList{} << QStringList{"Комментарий", "ЦЕННОЕ"};

    f = base;
    f.konvertComment = QStringLiteral(" ЦЕННОЕ\r\n");
    f.screen.printComment = true;
    QTest::newRow("comment stored untrimmed") << f
        << QStringList{"\r {FB-}Комментарий на конверте: {FB}\r ЦЕННОЕ\r\n" + NoteLabel} << QStringList{};

    f = base;
    f.insertNote = QStringLiteral("раз\r\nдва\nтри\rчетыре");
    QTest::newRow("insertion note on one line") << f
        << QStringList{NoteLabel + "раздватричетыре"} << QStringList{};

    f = base;
    f.screen.printLogo = true;
    QTest::newRow("logo only") << f
        << QStringList{"\r\r{FB-} Печать картинки: {FB}Вкл" + NoteLabel} << QStringList{"индекса :"};

    f = base;
    f.screen.returnEnvelope = true;
    f.typKonv = 1;
    QTest::newRow("return envelope") << f
        << QStringList{"C5 с напечатанной в типографии разметкой, с обратным конвертом\r"} << QStringList{};
}

void TestSummaryText::envelopePieces()
{
    QFETCH(runs::ResumeFacts, facts);
    QFETCH(QStringList, present);
    QFETCH(QStringList, absent);
    const QString text = runs::ResumeText(runs::ResumeKindEnvelope, facts, Comma);
    for (const QString &piece : present)
        QVERIFY2(text.contains(piece), qPrintable(text));
    for (const QString &piece : absent)
        QVERIFY2(!text.contains(piece), qPrintable(text));
    // The insertion note closes every envelope summary.
    QVERIFY(text.contains(NoteLabel));
    QVERIFY(text.endsWith(QString(facts.insertNote).remove('\r').remove('\n')));
}

void TestSummaryText::otherKinds_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("blankName");
    QTest::addColumn<QString>("expected");

    const QString people = QStringLiteral("\r{FB-} Получатель: {FB}Все\r{FB-} Отправитель: {FB}Петров, Тверь, 170000");
    const QString twoSided = QStringLiteral(
        "\r\r{FB-} {FS8}*При печати двусторонних бланков, для печати второй стороны лист нужно вставлять так, "
        "чтобы у него не менялось положение верха и низа распечатанной на нём первой стороны бланка.");
    QTest::newRow("blank chosen") << runs::ResumeKindBlank << QStringLiteral("Опись.doc")
                                  << " {PL}Печатать: {FB}Бланк Опись.doc" + people + twoSided;
    QTest::newRow("no blank chosen") << runs::ResumeKindBlank << QString()
                                     << " {PL}Печатать: {FB}Бланк {FC$0000FF}не выбран бланк!{F0}" + people + twoSided;
    QTest::newRow("another kind") << QStringLiteral("Письмо") << QStringLiteral("Опись.doc")
                                  << " {PL}Печатать: {FB}Письмо" + people;
    QTest::newRow("kinds compare exactly") << QStringLiteral("конверт") << QString()
                                           << " {PL}Печатать: {FB}конверт" + people;
}

void TestSummaryText::otherKinds()
{
    QFETCH(QString, kind);
    QFETCH(QString, blankName);
    QFETCH(QString, expected);
    runs::ResumeFacts f = plainEnvelope();
    f.screen.blankName = blankName;
    f.screen.font = {QStringLiteral("Courier"), 9, false, false};
    f.dx = 3;
    f.screen.printLogo = true;
    QCOMPARE(runs::ResumeText(kind, f, Comma), expected);
}

void TestSummaryText::generalNumbers_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QString>("expected");
    QTest::newRow("one and a half") << 1.5 << "," << "1,5";
    QTest::newRow("two") << 2.0 << "," << "2";
    QTest::newRow("minus a half") << -0.5 << "," << "-0,5";
    QTest::newRow("point separator") << 1.25 << "." << "1.25";
    QTest::newRow("binary noise rounds away") << 0.1 + 0.2 << "," << "0,3";
    QTest::newRow("fifteen digits") << 123456.789012345678 << "," << "123456,789012346";
    QTest::newRow("negative zero") << -0.0 << "," << "0";
    QTest::newRow("smallest fixed") << 0.00001 << "," << "0,00001";
    QTest::newRow("tiny is scientific") << 0.0000015 << "," << "1,5E-6";
    QTest::newRow("huge is scientific") << 2e15 << "," << "2E15";
}

void TestSummaryText::generalNumbers()
{
    QFETCH(double, value);
    QFETCH(QString, separator);
    QFETCH(QString, expected);
    QCOMPARE(runs::GeneralNumberText(value, separator), expected);
}

void TestSummaryText::readsTheTablesAndLeavesCursorsOnTheLookedUpRows()
{
    printruntest::Data d;
    d.addFormat(printruntest::dlFormat(QStringLiteral("Б5")));
    const int chosenFormat = d.addFormat(printruntest::dlFormat(QStringLiteral("А4 сложенный")));
    d.addFormat(printruntest::dlFormat(QStringLiteral("В конверт")));
    d.addOffset(QStringLiteral("Альфа"), 0, 0);
    const int chosenOffset = d.addOffset(QStringLiteral("Бета"), 2.5, -1);
    d.settings({{"N_Konvert", chosenFormat}, {"Printer", chosenOffset}, {"TypKonv", 1},
                {"OtKogo", "Петров"}, {"OtKuda", "Тверь"}, {"OtIndex", "170000"},
                {"KonvertComment", "ЗАКАЗНОЕ"}, {"Comment", "Вверх"}});
    d.addRecipient(QStringLiteral("Иванов"), QStringLiteral("Москва"), QStringLiteral("101000"));
    // An edit of the current recipient not yet saved is what the summary shows.
    d.tables.Table2.setValue(QStringLiteral("Kuda"), QStringLiteral("Москва, Тверская 1"));
    d.tables.Table4.first();
    d.tables.Table5.first();

    const runs::ResumeFacts f = runs::GatherResumeFacts(runs::ResumeKindEnvelope, d.tables, runs::ResumeScreen{});
    QCOMPARE(f.formatName, QStringLiteral("А4 сложенный"));
    QCOMPARE(f.printerName, QStringLiteral("Бета"));
    QCOMPARE(f.dx, 2.5);
    QCOMPARE(f.dy, -1.0);
    QCOMPARE(f.typKonv, 1);
    QCOMPARE(f.kuda, QStringLiteral("Москва, Тверская 1"));
    QCOMPARE(f.otKogo + f.otKuda + f.otIndex, QStringLiteral("ПетровТверь170000"));
    QCOMPARE(f.konvertComment, QStringLiteral("ЗАКАЗНОЕ"));
    QCOMPARE(f.insertNote, QStringLiteral("Вверх"));

    QCOMPARE(d.tables.Table4.asInteger(QStringLiteral("N")), chosenFormat);
    QCOMPARE(d.tables.Table4.indexName(), QStringLiteral("NameKonvert_i"));
    QCOMPARE(d.tables.Table5.asInteger(QStringLiteral("N")), chosenOffset);
    QCOMPARE(d.tables.Table5.indexName(), QStringLiteral("PrinterName_i"));
    QVERIFY(d.tables.Table2.isEditing());  // the recipient's edit stays pending
}

void TestSummaryText::unknownKeysUseTheRowTheCursorStoodOn()
{
    printruntest::Data d;
    d.addFormat(printruntest::dlFormat(QStringLiteral("Б5")));
    d.addFormat(printruntest::dlFormat(QStringLiteral("Е65")));
    d.addOffset(QStringLiteral("Альфа"), 0, 0);
    d.addOffset(QStringLiteral("Бета"), 0, 4);
    d.settings({{"N_Konvert", 999}, {"Printer", 999}});
    d.tables.Table4.last();
    d.tables.Table5.last();

    const runs::ResumeFacts f = runs::GatherResumeFacts(runs::ResumeKindEnvelope, d.tables, runs::ResumeScreen{});
    QCOMPARE(f.formatName, QStringLiteral("Е65"));
    QCOMPARE(f.printerName, QStringLiteral("Бета"));
    QVERIFY(runs::ResumeText(runs::ResumeKindEnvelope, f, Comma).contains("Бета: по горизонтали 0мм; по вертикали 4мм."));
}

void TestSummaryText::blanksLookNothingUp()
{
    printruntest::Data d;
    const int first = d.addFormat(printruntest::dlFormat(QStringLiteral("Б5")));
    const int second = d.addFormat(printruntest::dlFormat(QStringLiteral("Е65")));
    d.settings({{"N_Konvert", second}});
    d.tables.Table4.first();
    const runs::ResumeFacts f = runs::GatherResumeFacts(runs::ResumeKindBlank, d.tables, runs::ResumeScreen{});
    QVERIFY(f.formatName.isEmpty());
    QCOMPARE(d.tables.Table4.asInteger(QStringLiteral("N")), first);
}

QTEST_GUILESS_MAIN(TestSummaryText)
#include "tst_summarytext.moc"
