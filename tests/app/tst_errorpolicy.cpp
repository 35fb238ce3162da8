// The program-wide error policy: what it does with each kind of error, and
// its texts.

#include "app/errorpolicy.h"
#include "messages/integertext.h"
#include "report/reporterror.h"
#include "store/errors.h"

#include <QtTest>

Q_DECLARE_METATYPE(std::exception_ptr)
Q_DECLARE_METATYPE(app::ErrorAction)

class ErrorPolicyTest : public QObject {
    Q_OBJECT
private slots:
    void decidesByKind_data();
    void decidesByKind();
    void unexpectedErrorBoxBreaksLinesWithLfCr();
    void tooLongPathGetsAdviceToMove();
    void unreadableOlderTableIsNamedWithoutAdviceToRestart();
};

void ErrorPolicyTest::decidesByKind_data()
{
    using K = store::StoreError::Kind;
    using A = app::ErrorAction;
    QTest::addColumn<std::exception_ptr>("error");
    QTest::addColumn<A>("action");
    QTest::addColumn<QString>("textStart");
    const auto store = [](K kind, const char *text) {
        return std::make_exception_ptr(store::StoreError(kind, QString::fromUtf8(text), "AdrList.DB"));
    };
    QTest::newRow("typed float") << std::make_exception_ptr(store::ConversionError("abc", "floating point"))
                                 << A::PassOver << QString();
    QTest::newRow("typed integer code") << std::make_exception_ptr(messages::InvalidIntegerError("12x")) << A::PassOver
                                        << QString();
    QTest::newRow("disk full") << store(K::DiskFull, "Нет места на диске для записи в AdrList.DB") << A::Report
                               << "Нет места на диске для записи в AdrList.DB\nИзменение не сохранено. Освободите";
    QTest::newRow("read-only") << store(K::ReadOnly, "Нет права записи") << A::Report
                               << "Нет права записи\nИзменение не сохранено. Разрешите запись";
    QTest::newRow("damaged") << store(K::NotADatabase, "Файл повреждён") << A::Report << "Файл повреждён\n";
    QTest::newRow("write failed") << store(K::WriteFailed, "Ошибка таблицы") << A::Report << "Ошибка таблицы\n";
    QTest::newRow("printer") << std::make_exception_ptr(report::ReportError(report::ReportError::Kind::JobRefused, "Принтер «p»"))
                             << A::Report << "Принтер «p»";
    QTest::newRow("post without edit") << store(K::BadState, "нет правки") << A::EndProgram << "нет правки";
    QTest::newRow("unknown field") << store(K::UnknownField, "нет поля") << A::EndProgram << "нет поля";
    // The English wording of a conversion error is no longer what counts.
    QTest::newRow("plain error with conversion words")
        << std::make_exception_ptr(std::runtime_error("'1' is not a valid integer value")) << A::EndProgram
        << "'1' is not a valid";
}

void ErrorPolicyTest::decidesByKind()
{
    QFETCH(std::exception_ptr, error);
    QFETCH(app::ErrorAction, action);
    QFETCH(QString, textStart);
    const app::ErrorDecision decision = app::decideError(error);
    QCOMPARE(decision.action, action);
    QVERIFY2(decision.text.startsWith(textStart), qPrintable(decision.text));
}

void ErrorPolicyTest::unexpectedErrorBoxBreaksLinesWithLfCr()
{
    QCOMPARE(app::unexpectedErrorText("Не найден файл таблицы /opt/Kuvertix/base/OtList.DB"),
             QStringLiteral("Ошибка:\n\rНе найден файл таблицы /opt/Kuvertix/base/OtList.DB\n\r"
                            "Перезагрузите компьютер и попробуйте ещё раз."));
    QCOMPARE(app::startupErrorText(std::make_exception_ptr(std::runtime_error("x"))),
             app::unexpectedErrorText("x"));
}

void ErrorPolicyTest::tooLongPathGetsAdviceToMove()
{
    const auto tooLong = std::make_exception_ptr(
        store::StoreError(store::StoreError::Kind::PathTooLong, "Слишком длинный путь", "/a/b"));
    QCOMPARE(app::startupErrorText(tooLong),
             QStringLiteral("Пожалуйста перенесите программу в папку с менее длинным путём, например в ")
                 + QDir::homePath() + QStringLiteral("/Kuvertix и запустите оттуда."));
}

void ErrorPolicyTest::unreadableOlderTableIsNamedWithoutAdviceToRestart()
{
    const QString unreadable = QStringLiteral("Таблицу прежней версии /a/base/AdrList.DB не удалось прочитать: "
                                              "таблица защищена паролем. Файлы в папке данных не изменены.");
    QCOMPARE(app::startupErrorText(std::make_exception_ptr(
                 store::StoreError(store::StoreError::Kind::UpgradeFailed, unreadable, "/a/base/AdrList.DB"))),
             unreadable);
}

QTEST_GUILESS_MAIN(ErrorPolicyTest)
#include "tst_errorpolicy.moc"
