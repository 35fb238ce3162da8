// The blank run's own rules: the four sum variables from the sum field's
// text, and the sheet capacity read from the template.

#include "letters/blankrun.h"
#include "letters/sumentry.h"

#include <QTest>

namespace {

// A document of one text: it holds what it contains, in any letter case.
class OneText : public letters::WordSession {
public:
    explicit OneText(QString text) : m_text(std::move(text)) {}
    bool WordContains(const QString &t) override { return m_text.contains(t, Qt::CaseInsensitive); }
    void WordOpen(const QString &) override {}
    void WordReplace(const QString &, const QString &) override {}
    void WordCopyRow(const QString &) override {}
    void WordAddRow() override {}
    void WordDeleteRow(const QString &) override {}
    void WordFinish(bool) override {}

private:
    QString m_text;
};

} // namespace

class TestBlankRun : public QObject {
    Q_OBJECT
private slots:
    void sumVariables_data();
    void sumVariables();
    void capacity_data();
    void capacity();
    void regionalFormats_data();
    void regionalFormats();
};

void TestBlankRun::sumVariables_data()
{
    QTest::addColumn<QString>("sum");
    QTest::addColumn<QString>("figures");
    QTest::addColumn<QString>("roubles");
    QTest::addColumn<QString>("kopecks");
    QTest::addColumn<QString>("wordsEnd");
    QTest::newRow("1234,5") << "1234,5" << "1234,50" << "1234" << "50"
                            << "Одна тысяча двести тридцать четыре рубля 50 копеек";
    QTest::newRow("0,05") << "0,05" << "0,05" << "0" << "05" << "05 копеек";
    QTest::newRow("0") << "0" << "0,00" << "0" << "00" << "00 копеек";
    // Kopecks in figures round a half to even, the words round it up.
    QTest::newRow("0,125") << "0,125" << "0,13" << "0" << "12" << "13 копеек";
    QTest::newRow("not a number") << "abc" << "0,00" << "0" << "00" << "00 копеек";
}

void TestBlankRun::sumVariables()
{
    QFETCH(QString, sum);
    const QLocale russian(QLocale::Russian, QLocale::Russia);
    const letters::SumTexts t = letters::sumTexts(letters::sumValue(sum, russian), russian);
    QTEST(t.figures, "figures");
    QTEST(t.roubles, "roubles");
    QTEST(t.kopecks, "kopecks");
    QFETCH(QString, wordsEnd);
    QVERIFY2(t.inWords.endsWith(wordsEnd), qPrintable(t.inWords));
}

void TestBlankRun::capacity_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("capacity");
    QTest::newRow("four") << "~Кому1~ ~Кому2~ ~Кому3~ ~Кому4~" << 4;
    QTest::newRow("only the second") << "~Кому2~" << 2;
    QTest::newRow("sender decides") << "~Кому1~ ~От кого3~" << 3;
    QTest::newRow("other case") << "~кому5~" << 5;
    QTest::newRow("twenty at most") << "~Кому21~ ~Кому20~" << 20;
    QTest::newRow("address does not count") << "~Куда7~ ~Адресат~ ~N~" << 0;
}

void TestBlankRun::capacity()
{
    QFETCH(QString, text);
    OneText word(text);
    QTEST(letters::sheetCapacity(word), "capacity");
}

QTEST_GUILESS_MAIN(TestBlankRun)
void TestBlankRun::regionalFormats_data()
{
    QTest::addColumn<QString>("system");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("sum");
    QTest::addColumn<QString>("time");
    // "": the run's own default under this test's locale, C.UTF-8.
    QTest::newRow("the run under C.UTF-8") << "" << "09.12.2026" << "1234,50" << "14:05:07";
    QTest::newRow("C") << "C" << "09.12.2026" << "1234,50" << "14:05:07";
    QTest::newRow("POSIX") << "POSIX" << "09.12.2026" << "1234,50" << "14:05:07";
    QTest::newRow("en_US stays") << "en_US" << "12/9/26" << "1234.50" << "2:05:07 PM";
    QTest::newRow("de_DE stays") << "de_DE" << "09.12.26" << "1234,50" << "14:05:07";
    QTest::newRow("ru_RU stays") << "ru_RU" << "09.12.2026" << "1234,50" << "14:05:07";
}

void TestBlankRun::regionalFormats()
{
    QFETCH(QString, system);
    const QLocale locale = system.isEmpty() ? letters::BlankRun::Sources().locale
                                            : core::regionalLocale(QLocale(system));
    const auto variables = letters::formVariables(1, {}, {}, QDateTime(QDate(2026, 12, 9), QTime(14, 5, 7)),
                                                  letters::sumTexts(1234.5, locale), locale);
    QMap<QString, QString> values;
    for (const auto &[name, value] : variables)
        values[name] = value;
    QTEST(values.value(QStringLiteral("~Дата~")), "date");
    QTEST(values.value(QStringLiteral("~Сумма~")), "sum");
    QTEST(values.value(QStringLiteral("~Время~")), "time");
}

#include "tst_blankrun.moc"
