#include "app/errorpolicy.h"

#include "core/error.h"
#include "messages/integertext.h"
#include "store/errors.h"

#include <QDir>

namespace app {

namespace {
// Line breaks of these boxes are LF followed by CR.
const QString kBreak = QStringLiteral("\n\r");

// A failed save: the cause in the error's own words, then what to do. The
// edit stays in its form, so the user can store it again or cancel it.
QString storeFailureText(const store::StoreError &e)
{
    using K = store::StoreError::Kind;
    // A row another copy of the program changed or deleted: the message says
    // what was not stored and that the row is shown as it stands.
    if (e.kind() == K::ChangedElsewhere || e.kind() == K::DeletedElsewhere)
        return e.message();
    QString advice;
    switch (e.kind()) {
    case K::DiskFull:
        advice = QStringLiteral("Освободите место на диске и сохраните запись ещё раз или отмените правку.");
        break;
    case K::ReadOnly:
        advice = QStringLiteral("Разрешите запись в папку данных программы (или перенесите программу "
                                "в папку, доступную для записи) и повторите изменение.");
        break;
    case K::NotADatabase:
        advice = QStringLiteral("Закройте программу: при следующем запуске файл будет проверен и, "
                                "если можно, исправлен. Сохраните копию папки base.");
        break;
    default:
        advice = QStringLiteral("Сохраните запись ещё раз или отмените правку.");
        break;
    }
    return e.message() + QStringLiteral("\nИзменение не сохранено. ") + advice;
}

bool isProgramFault(store::StoreError::Kind kind)
{
    using K = store::StoreError::Kind;
    return kind == K::NotOpen || kind == K::BadState || kind == K::UnknownField || kind == K::UnknownIndex;
}

} // namespace

ErrorDecision decideError(const std::exception_ptr &error)
{
    try {
        std::rethrow_exception(error);
    } catch (const store::ConversionError &) {
        return {ErrorAction::PassOver, {}, {}};
    } catch (const messages::InvalidIntegerError &) {
        return {ErrorAction::PassOver, {}, {}};
    } catch (const store::StoreError &e) {
        if (isProgramFault(e.kind()))
            return {ErrorAction::EndProgram, e.message(), e.cause()};
        return {ErrorAction::Report, storeFailureText(e), e.cause()};
    } catch (const core::Error &e) {
        return {ErrorAction::Report, e.message(), e.cause()};
    } catch (const std::exception &e) {
        return {ErrorAction::EndProgram, QString::fromUtf8(e.what()), {}};
    } catch (...) {
        return {ErrorAction::EndProgram, QStringLiteral("Неизвестная ошибка"), {}};
    }
}

QString shortProgramFolderExample()
{
    return QDir::homePath() + QStringLiteral("/Kuvertix");
}

QString startupErrorText(const std::exception_ptr &error)
{
    try {
        std::rethrow_exception(error);
    } catch (const store::StoreError &e) {
        if (e.kind() == store::StoreError::Kind::PathTooLong)
            return QStringLiteral("Пожалуйста перенесите программу в папку с менее длинным путём, "
                                  "например в %1 и запустите оттуда.")
                .arg(shortProgramFolderExample());
        // The message names the table and the cause, and that nothing changed.
        if (e.kind() == store::StoreError::Kind::UpgradeFailed)
            return e.message();
        return unexpectedErrorText(e.message());
    } catch (const std::exception &e) {
        return unexpectedErrorText(QString::fromUtf8(e.what()));
    } catch (...) {
        return unexpectedErrorText(QStringLiteral("Неизвестная ошибка"));
    }
}

QString unexpectedErrorText(const QString &message)
{
    return QStringLiteral("Ошибка:") + kBreak + message + kBreak
           + QStringLiteral("Перезагрузите компьютер и попробуйте ещё раз.");
}

} // namespace app
