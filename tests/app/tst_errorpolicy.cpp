// The program-wide error policy: what it does with each kind of error, and
// its texts.

#include "addressbook/sheetcells.h"
#include "app/errorpolicy.h"
#include "envelope/fontres.h"
#include "envelope/logo.h"
#include "messages/integertext.h"
#include "office/officeerror.h"
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
    void noLibraryErrorEndsTheProgram_data();
    void noLibraryErrorEndsTheProgram();
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

// An error of any library that escapes its handler is shown (or passed over)
// and the program goes on; only a fault of the program itself ends it.
void ErrorPolicyTest::noLibraryErrorEndsTheProgram_data()
{
    using A = app::ErrorAction;
    QTest::addColumn<std::exception_ptr>("error");
    QTest::addColumn<A>("action");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("cause");
    const auto error = [](auto e) { return std::make_exception_ptr(e); };
    QTest::newRow("core") << error(core::Error("Сбой", "engine said no")) << A::Report << "Сбой" << "engine said no";
    QTest::newRow("store") << error(store::StoreError(store::StoreError::Kind::MissingFile, "Не найден файл", "x.DB"))
                           << A::Report << "Не найден файл\nИзменение не сохранено. Сохраните запись ещё раз или "
                                           "отмените правку." << QString();
    QTest::newRow("store cause")
        << error(store::StoreError(store::StoreError::Kind::WriteFailed, "Ошибка таблицы", "x.DB", "SQLite 1"))
        << A::Report << "Ошибка таблицы\nИзменение не сохранено. Сохраните запись ещё раз или отмените правку."
        << "SQLite 1";
    QTest::newRow("conversion") << error(store::ConversionError("x", "integer")) << A::PassOver << QString()
                                << QString();
    QTest::newRow("integer text") << error(messages::InvalidIntegerError("x")) << A::PassOver << QString() << QString();
    QTest::newRow("report") << error(report::ReportError(report::ReportError::Kind::QueueFull, "Очередь полна", "p"))
                            << A::Report << "Очередь полна" << QString();
    QTest::newRow("office") << error(office::OfficeError(office::OfficeError::Kind::StartFailed,
                                                         "LibreOffice не запустился", "pipe gone"))
                            << A::Report << "LibreOffice не запустился" << "pipe gone";
    QTest::newRow("sheet") << error(addressbook::SheetError(addressbook::SheetError::Kind::NoSheets))
                           << A::Report << "В книге нет ни одного листа." << QString();
    QTest::newRow("font file") << error(envelope::FontFileError("Шрифт не сохранён", "Font.res")) << A::Report
                               << "Шрифт не сохранён" << QString();
    QTest::newRow("logo file") << error(envelope::LogoFileError("Логотип не сохранён")) << A::Report
                               << "Логотип не сохранён" << QString();
    QTest::newRow("program fault") << error(std::logic_error("index out of range")) << A::EndProgram
                                   << "index out of range" << QString();
    QTest::newRow("anything else") << std::make_exception_ptr(42) << A::EndProgram << "Неизвестная ошибка"
                                   << QString();
}

void ErrorPolicyTest::noLibraryErrorEndsTheProgram()
{
    QFETCH(std::exception_ptr, error);
    QFETCH(app::ErrorAction, action);
    QFETCH(QString, text);
    QFETCH(QString, cause);
    const app::ErrorDecision decision = app::decideError(error);
    QCOMPARE(decision.action, action);
    QCOMPARE(decision.text, text);
    QCOMPARE(decision.cause, cause);
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
