#include "addressbook/recipientfilter.h"
#include "store/schema.h"

#include <QRandomGenerator>
#include <QTest>

using namespace addressbook;

namespace {

// A row of AdrList with the given texts in the searched fields.
QVector<QVariant> row(const QStringList &texts)
{
    const store::TableSchema &s = store::adrListSchema();
    QVector<QVariant> values(s.fields.size());
    for (int i = 0; i < texts.size(); ++i)
        values[s.fieldIndex(searchedFieldNames()[i])] = texts[i];
    values[s.fieldIndex("Check")] = 0;
    return values;
}

} // namespace

class TestRecipientFilter : public QObject {
    Q_OBJECT
private slots:
    void terms_data();
    void terms();
    void predicate_data();
    void predicate();
    void changedRowIsFoldedAgain();
    void longAndOddFilters();
    void agreesWithThePlainPredicate();
};

void TestRecipientFilter::terms_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("terms");
    QTest::newRow("empty") << "" << QStringList{};
    QTest::newRow("one") << "металл" << QStringList{"металл"};
    QTest::newRow("two") << "металл|оао" << QStringList{"металл", "оао"};
    QTest::newRow("trailing bar") << "металл|" << QStringList{"металл"};
    QTest::newRow("leading bar") << "|металл" << QStringList{"", "металл"};
    QTest::newRow("double bar") << "a||b" << QStringList{"a", "", "b"};
    QTest::newRow("bar only") << "|" << QStringList{""};
    QTest::newRow("spaces kept") << " a |b " << QStringList{" a ", "b "};
}

void TestRecipientFilter::terms()
{
    QFETCH(QString, text);
    QFETCH(QStringList, terms);
    QCOMPARE(filterTerms(text), terms);
}

void TestRecipientFilter::predicate_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<bool>("passes");

    const QStringList metalOao{"Металлоторг", "г. Москва", "101000", "", "ОАО"};
    const QStringList metalOnly{"Металлоторг", "г. Тверь", "170000", "", "ООО"};
    QTest::newRow("empty filter") << "" << QStringList{} << true;
    QTest::newRow("small letters") << "металл" << metalOnly << true;
    QTest::newRow("capitals") << "МЕТАЛЛ" << metalOnly << true;
    QTest::newRow("mixed case") << "мЕтАлЛ" << metalOnly << true;
    QTest::newRow("in the middle") << "аллот" << metalOnly << true;
    QTest::newRow("two terms, two fields") << "металл|оао" << metalOao << true;
    QTest::newRow("second term missing") << "металл|оао" << metalOnly << false;
    QTest::newRow("trailing bar") << "металл|" << metalOnly << true;
    QTest::newRow("leading bar") << "|металл" << metalOnly << false;
    QTest::newRow("double bar") << "металл||оао" << metalOao << false;
    QTest::newRow("bar alone") << "|" << metalOao << false;
    QTest::newRow("three terms") << "металл|оао|москва" << metalOao << true;
    QTest::newRow("space is part of the term") << "г. м" << metalOao << true;
    QTest::newRow("space not trimmed") << "москва " << metalOao << false;
    QTest::newRow("postal code") << "1010" << metalOao << true;
    QTest::newRow("latin case") << "ooo|ABC" << QStringList{"abc", "", "", "", "OoO"} << true;
    QTest::newRow("yo folds with its capital") << "ёлка" << QStringList{"ЁЛКА"} << true;
    QTest::newRow("capital yo") << "ЁЖ" << QStringList{"ёжик"} << true;
    QTest::newRow("yo is not ye") << "ёлка" << QStringList{"елка"} << false;
    QTest::newRow("not across fields") << "торгг" << QStringList{"Металлоторг", "г. Тверь"} << false;
    QTest::newRow("last reserve field")
        << "~работа~" << QStringList{"", "", "", "", "", "", "", "", "", "", "~Работа~"} << true;
    QTest::newRow("regex characters") << ".*" << metalOao << false;
    QTest::newRow("regex characters present") << "(a+)" << QStringList{"x(A+)y"} << true;
    QTest::newRow("brackets") << "[ОАО]" << QStringList{"«[оао]»"} << true;
    QTest::newRow("backslash") << "\\d" << QStringList{"C:\\D"} << true;
    QTest::newRow("percent") << "%_" << QStringList{"50%_"} << true;
    QTest::newRow("empty fields") << "а" << QStringList{} << false;
}

void TestRecipientFilter::predicate()
{
    QFETCH(QString, filter);
    QFETCH(QStringList, fields);
    QFETCH(bool, passes);
    const store::TableSchema &s = store::adrListSchema();
    const QVector<QVariant> values = row(fields);
    const store::RecordView record(s, values, 7);
    RecipientFilter f(s);
    f.setText(filter);
    QCOMPARE(f.accepts(record), passes);
    QCOMPARE(f.accepts(record), passes);  // again, from the folded copy
    QCOMPARE(matchesPlainly(filter, record), passes);
}

void TestRecipientFilter::changedRowIsFoldedAgain()
{
    const store::TableSchema &s = store::adrListSchema();
    RecipientFilter f(s);
    f.setText("тверь");
    QVector<QVariant> values = row({"Иванов", "Москва"});
    QVERIFY(!f.accepts(store::RecordView(s, values, 1)));
    // The owner announces a save of the row's texts.
    f.forgetRow(1);
    values[s.fieldIndex("Kuda")] = QString("Тверь");
    QVERIFY(f.accepts(store::RecordView(s, values, 1)));
    // Values re-read into new storage, changed behind the owner's back.
    const QVector<QVariant> reread = row({"Иванов", "Омск"});
    QVERIFY(!f.accepts(store::RecordView(s, reread, 1)));
    // A second cursor takes the result found for the same text.
    QVERIFY(!f.accepts(store::RecordView(s, values, 1), false));
    f.setText("тве");
    QVERIFY(!f.accepts(store::RecordView(s, reread, 1)));
}

void TestRecipientFilter::longAndOddFilters()
{
    const store::TableSchema &s = store::adrListSchema();
    const QVector<QVariant> values = row({"Иванов", "Москва"});
    const store::RecordView record(s, values, 1);
    RecipientFilter f(s);

    f.setText(QString(1000, QLatin1Char('|')));
    QCOMPARE(filterTerms(f.text()).size(), 1000);  // the last bar adds none
    QVERIFY(!f.accepts(record));

    QStringList many;
    for (int i = 0; i < 1000; ++i)
        many << (i % 2 ? "иван" : "моск");
    f.setText(many.join('|'));
    QVERIFY(f.accepts(record));
    f.setText(many.join('|') + "|x");
    QVERIFY(!f.accepts(record));

    f.setText(QString(100000, QChar(0x0416)));  // a very long term
    QVERIFY(!f.accepts(record));

    // A NUL in the term must not match across two fields.
    f.setText(QString("ИВАНОВ") + QChar(0) + "МОСКВА");
    QVERIFY(!f.accepts(record));
}

void TestRecipientFilter::agreesWithThePlainPredicate()
{
    // Random short texts over a small alphabet give many partial matches.
    const QString alphabet = QStringLiteral("аАбБёЁеЕzZ |.");
    QRandomGenerator rng(12345);
    auto randomText = [&](int maxLen) {
        QString t;
        const int n = rng.bounded(maxLen + 1);
        for (int i = 0; i < n; ++i)
            t += alphabet[rng.bounded(int(alphabet.size()))];
        return t;
    };
    const store::TableSchema &s = store::adrListSchema();
    QVector<QVector<QVariant>> rows;
    for (int i = 0; i < 200; ++i) {
        QStringList texts;
        for (int k = 0; k < searchedFieldCount; ++k)
            texts << randomText(6).remove('|');
        rows << row(texts);
    }
    RecipientFilter f(s);
    for (int round = 0; round < 300; ++round) {
        const QString filter = randomText(5);
        f.setText(filter);
        for (int i = 0; i < rows.size(); ++i) {
            const store::RecordView record(s, rows[i], i + 1);
            QVERIFY2(f.accepts(record) == matchesPlainly(filter, record),
                     qPrintable(QStringLiteral("filter '%1', row %2").arg(filter).arg(i)));
        }
    }
}

QTEST_GUILESS_MAIN(TestRecipientFilter)
#include "tst_recipientfilter.moc"
