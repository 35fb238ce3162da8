// The texts and the silent pass of the program-wide error policy.

#include "app/errorpolicy.h"

#include <QtTest>

class ErrorPolicyTest : public QObject {
    Q_OBJECT
private slots:
    void conversionErrorsPassSilently_data();
    void conversionErrorsPassSilently();
    void unexpectedErrorBoxBreaksLinesWithLfCr();
    void tooLongPathGetsAdviceToMove();
};

void ErrorPolicyTest::conversionErrorsPassSilently_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("silent");
    QTest::newRow("float") << "'abc' is not a valid floating point value" << true;
    QTest::newRow("integer") << "'12x' is not a valid integer value" << true;
    QTest::newRow("masked") << "Invalid input value.  Use escape key to abandon changes" << true;
    QTest::newRow("disk full") << "Нет места на диске для записи в AdrList.DB" << false;
    QTest::newRow("case matters") << "IS NOT A VALID" << false;
    QTest::newRow("empty") << "" << false;
}

void ErrorPolicyTest::conversionErrorsPassSilently()
{
    QFETCH(QString, message);
    QFETCH(bool, silent);
    QCOMPARE(app::isConversionError(message), silent);
}

void ErrorPolicyTest::unexpectedErrorBoxBreaksLinesWithLfCr()
{
    QCOMPARE(app::unexpectedErrorText("Не найден файл таблицы /opt/Kuvertix/base/OtList.DB"),
             QStringLiteral("Ошибка:\n\rНе найден файл таблицы /opt/Kuvertix/base/OtList.DB\n\r"
                            "Перезагрузите компьютер и попробуйте ещё раз."));
    QCOMPARE(app::startupErrorText("x"), app::unexpectedErrorText("x"));
}

void ErrorPolicyTest::tooLongPathGetsAdviceToMove()
{
    QCOMPARE(app::startupErrorText("Error: File name is too long for a Paradox version 5.0 table."),
             QStringLiteral("Пожалуйста перенесите программу в папку с менее длинным путём, например в "
                            "C:\\Kuvertix и запустите оттуда."));
}

QTEST_GUILESS_MAIN(ErrorPolicyTest)
#include "tst_errorpolicy.moc"
