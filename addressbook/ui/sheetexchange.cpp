#include "addressbook/ui/sheetexchange.h"

#include "addressbook/importmarker.h"
#include "addressbook/recipientbook.h"
#include "addressbook/ui/showmessage.h"
#include "messages/ui/inputbox.h"
#include "messages/ui/notices.h"
#include "messages/ui/popupmessage.h"
#include "store/errors.h"

#include <QFileDialog>
#include <QWidget>

namespace addressbook {

namespace {

const QString importCaption = QStringLiteral("Иморт из докумета Excel");

void showWaitNote(const QString &text)
{
    messages::ShowPopUpMsg(text, 0, false, -1, -1, messages::SystemColor::InfoBackground);
}

} // namespace

SheetExchange::SheetExchange(QWidget *window, RecipientBook &book, std::function<void()> reload)
    : m_window(window), m_book(book), m_reload(std::move(reload))
{
}

QString SheetExchange::caption() const
{
    return m_window->window()->windowTitle();
}

void SheetExchange::showError(const QString &text)
{
    messages::ShowErrorNotice(m_window, caption(), text);
}

void SheetExchange::SpeedButton2Click()
{
    std::unique_ptr<SheetOffice> office = m_factory ? m_factory() : nullptr;
    if (!office || !office->available()) {
        showError(SheetError(SheetError::Kind::NoOffice).message());
        return;
    }
    const int choice = showMessage(m_window, caption(), 400, 100, QStringLiteral("Выгрузка/загрузка данных из Excel"),
                                   {QStringLiteral(" Выгрузить "), QStringLiteral(" Загрузить "),
                                    QStringLiteral(" Отмена ")});
    if (choice == 1)
        exportBook(*office);
    else if (choice == 2)
        importBook(*office);
}

void SheetExchange::exportBook(SheetOffice &office)
{
    showWaitNote(QStringLiteral("  Идёт выгрузка. Подождите пожалуйста...   "));
    try {
        m_book.main().first();  // stores a pending edit of the current recipient
        office.exportRows(exportRows(m_book.main()));
    } catch (const SheetError &e) {
        messages::ClosePopUpMsg();
        core::writeCause(e);
        showError(sheetErrorText(e));
        return;
    } catch (const store::StoreError &e) {
        messages::ClosePopUpMsg();
        showError(QStringLiteral("Выгрузка не выполнена: изменения текущего адресата не удалось сохранить.\n\n")
                  + e.message());
        return;
    }
    messages::ClosePopUpMsg();
}

QString SheetExchange::chooseFile()
{
    QFileDialog dialog(m_window);
    dialog.setObjectName(QStringLiteral("OpenDialog1"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilter(QStringLiteral("Все файлы (*.*)"));
    dialog.setWindowTitle(QStringLiteral("Открыть"));
    dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("Папка:"));
    dialog.setLabelText(QFileDialog::FileName, QStringLiteral("Имя файла:"));
    dialog.setLabelText(QFileDialog::FileType, QStringLiteral("Тип файлов:"));
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("Открыть"));
    dialog.setLabelText(QFileDialog::Reject, QStringLiteral("Отмена"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

bool SheetExchange::askColumns(ColumnMap &map)
{
    map.columnOfField = QVector<int>(m_book.main().schema().fields.size(), -1);
    for (const ImportField &f : importableFields(m_book.main().schema())) {
        QString letter;
        if (!messages::ShowInputBox(importCaption, QStringLiteral("Столбец Excel документа(a,b,c...) для поля:\r") + f.label,
                          letter, messages::LatinLetters(), 1, 25))
            return false;
        map.columnOfField[f.field] = std::max(-1, columnOfLetter(letter));
    }
    return true;
}

void SheetExchange::importBook(SheetOffice &office)
{
    if (showMessage(m_window, caption(), 600, 140,
                    QStringLiteral("Этот мастер поможет загрузить Вам данные из Excel документа. В следующих "
                                   "окнах вам будет предложено выбрать Excel документ и соответствие поля "
                                   "адресата этой программы столбцу Excel документа."),
                    {QStringLiteral(" Продолжить "), QStringLiteral("        Нет        ")}) != 1)
        return;
    const QString file = chooseFile();
    if (file.isEmpty())
        return;
    ColumnMap map;
    if (!askColumns(map))
        return;
    QString countText;
    if (!messages::ShowInputBox(importCaption, QStringLiteral("Сколько строк загрузить?"), countText, messages::DecimalDigits(), 0, 50))
        return;
    bool ok = false;
    const int rowCount = countText.toInt(&ok);
    if (!ok)
        return;  // an empty or too large count ends the import without a word

    showWaitNote(QStringLiteral("  Идёт импорт. Подождите пожалуйста...   "));
    ImportOutcome outcome;
    QStringList formulaErrors;
    try {
        m_book.main().first();
        const SheetCells cells = office.readCells(file, rowCount, map.columnCount());
        const ImportMarker running(m_book.main(), file, rowCount);
        importRows(m_book.main(), cells, map, rowCount, outcome);
        formulaErrors = cells.formulaErrors();
    } catch (const SheetError &e) {
        messages::ClosePopUpMsg();
        core::writeCause(e);
        showError(sheetErrorText(e, file));
        return;
    } catch (const store::StoreError &e) {
        messages::ClosePopUpMsg();
        m_reload();
        showError(QStringLiteral("Загрузка прервана: адресатов не удалось сохранить в базе. Загружено "
                                 "адресатов: %1 из %2.\n\n%3")
                      .arg(outcome.added).arg(rowCount).arg(e.message()));
        return;
    } catch (const core::Error &e) {  // the mark of a running import cannot be written
        messages::ClosePopUpMsg();
        showError(e.message());
        return;
    }
    messages::ClosePopUpMsg();
    m_reload();
    const QString done = QStringLiteral(" Продолжить ");
    if (!formulaErrors.isEmpty())
        showMessage(m_window, caption(), 450, outcome.cutCells > 0 ? 200 : 170,
                    importErrorsText(outcome)
                        + QStringLiteral("\n\nФормулы в ячейках %1 дали ошибку вместо значения; "
                                         "эти поля оставлены пустыми.")
                              .arg(formulaErrors.join(QStringLiteral(", "))),
                    {done});
    else if (outcome.errors)
        showMessage(m_window, caption(), 350, 130, importErrorsText(outcome), {done});
    else
        showMessage(m_window, caption(), 250, 100, QStringLiteral("Импорт завершён."), {done});
}

} // namespace addressbook
