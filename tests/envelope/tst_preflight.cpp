// The check before a run, on real tables: what it finds among the recipients
// a run serves, and the paragraph it adds to the summary.
#include "tests/support/printrunfixture.h"

#include "envelope/envelopeprinter.h"
#include "envelope/preflight.h"

#include <QGuiApplication>
#include <QtTest>

using namespace envelope;

namespace {

const QString LongName = QStringLiteral(
    "Государственное бюджетное учреждение здравоохранения \"Городская клиническая больница № 15\"");

} // namespace

class TestPreflight : public QObject {
    Q_OBJECT

private slots:
    void postalCodes_data();
    void postalCodes();
    void findingsOfARun_data();
    void findingsOfARun();
    void paragraphGivesCountAndFirstNames();
};

void TestPreflight::postalCodes_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("good");
    QTest::newRow("six digits") << "101000" << true;
    QTest::newRow("spaces around") << " 101000 " << true;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("five digits") << "10100" << false;
    QTest::newRow("seven digits") << "1010001" << false;
    QTest::newRow("letter") << "10100O" << false;
    QTest::newRow("space inside") << "101 000" << false;
    QTest::newRow("arabic-indic digits") << QString::fromUtf8("١٠١٠٠٠") << false;
}

void TestPreflight::postalCodes()
{
    QFETCH(QString, code);
    QFETCH(bool, good);
    QCOMPARE(isSixDigitPostalCode(code), good);
}

void TestPreflight::findingsOfARun_data()
{
    QTest::addColumn<int>("scope");
    QTest::addColumn<bool>("withReturn");
    QTest::addColumn<QStringList>("flagged");
    QTest::addColumn<QList<unsigned>>("problems");
    // Recipients in name order: no name, long name (marked), fine (marked),
    // bad postal code.
    QTest::newRow("all") << int(runs::PrintScope::All) << false
                         << QStringList{"", LongName, "Петрову П. П."}
                         << QList<unsigned>{EmptyName, NameClipped, BadPostalCode};
    QTest::newRow("marked only") << int(runs::PrintScope::Marked) << false << QStringList{LongName}
                                 << QList<unsigned>{NameClipped};
    QTest::newRow("current (the first row)") << int(runs::PrintScope::Current) << false << QStringList{""}
                                             << QList<unsigned>{EmptyName};
}

void TestPreflight::findingsOfARun()
{
    QFETCH(int, scope);
    QFETCH(bool, withReturn);
    QFETCH(QStringList, flagged);
    QFETCH(QList<unsigned>, problems);
    printruntest::Data data;
    const int format = data.addFormat(printruntest::dlFormat());
    data.settings({{"N_Konvert", format}, {"OtKogo", "ООО \"Отправитель\""}, {"OtIndex", "170000"}});
    data.addRecipient("Иванову И. И.", "ул. Ленина, д. 1, г. Тверь", "170001", true);
    data.addRecipient(LongName, "ул. Мира, д. 2, г. Тверь", "170002", true);
    data.addRecipient("", "ул. Мира, д. 3, г. Тверь", "170003");
    data.addRecipient("Петрову П. П.", "ул. Мира, д. 4, г. Тверь", "1700");
    data.tables.Table2.first();
    EnvelopePrinter printer(data.tables);

    const PreflightReport report =
        preflightRun(true, data.tables.Table2, {runs::PrintScope(scope), withReturn}, printer);
    QStringList names;
    QList<unsigned> found;
    for (const FlaggedRecipient &f : report.flagged) {
        names << f.name;
        found << f.problems;
    }
    QCOMPARE(names, flagged);
    QCOMPARE(found, problems);
    QCOMPARE(report.runProblems, QStringList());
    // Blanks have no boxes: only the data checks remain.
    const PreflightReport blanks = preflightRun(false, data.tables.Table2, {runs::PrintScope(scope), withReturn}, printer);
    for (const FlaggedRecipient &f : blanks.flagged)
        QVERIFY((f.problems & (NameClipped | AddressClipped)) == 0);
}

void TestPreflight::paragraphGivesCountAndFirstNames()
{
    printruntest::Data data;
    printruntest::Values format = printruntest::dlFormat();
    format["KomuW"] = 150;  // runs 50 mm off the envelope's right edge
    data.settings({{"N_Konvert", data.addFormat(format)}, {"PrintLogo", true}});
    EnvelopePrinter printer(data.tables);
    data.addRecipient("Иванову И. И.", "ул. Ленина, д. 1", "170001");
    data.tables.Table2.first();
    PreflightReport report = preflightRun(true, data.tables.Table2, {runs::PrintScope::All, false}, printer);
    QCOMPARE(report.flagged.size(), 0);
    QCOMPARE(report.runProblems.size(), 2);  // the logo without a picture, the box off the envelope
    QVERIFY(report.runProblems[1].contains("Кому"));

    report.runProblems.clear();
    QCOMPARE(preflightParagraph(report), QString());
    for (int i = 1; i <= 5; ++i)
        report.flagged.append({QStringLiteral("Имя{FS40} %1").arg(i), BadPostalCode});
    report.recipients = 21;
    const QString text = preflightParagraph(report);
    QVERIFY(text.startsWith("\r\r"));
    QVERIFY(text.contains("замечания у 5 из 21 адресата"));
    QVERIFY(text.contains("Имя(FS40) 3 (индекс не из шести цифр)"));
    QVERIFY(!text.contains("Имя(FS40) 4"));
    QVERIFY(text.contains("и ещё 2"));
    QVERIFY(!text.contains("{FS40}"));
}

QTEST_MAIN(TestPreflight)
#include "tst_preflight.moc"
