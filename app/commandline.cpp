#include "app/commandline.h"

#include "letters/sumentry.h"

#include <QLocale>

namespace app {

namespace {

const QString HelpHint = QStringLiteral(" Справка: kuvertix --help");

bool scopeFromText(const QString &text, runs::PrintScope &scope)
{
    if (text == QLatin1String("current"))
        scope = runs::PrintScope::Current;
    else if (text == QLatin1String("marked"))
        scope = runs::PrintScope::Marked;
    else if (text == QLatin1String("all"))
        scope = runs::PrintScope::All;
    else
        return false;
    return true;
}

CommandLine failed(const QString &error)
{
    CommandLine line;
    line.error = error + HelpHint;
    return line;
}

} // namespace

bool wantsCommandLineRun(const QStringList &arguments)
{
    return !arguments.isEmpty();
}

bool hasDisplay(const QProcessEnvironment &environment)
{
    const QString platform = environment.value(QStringLiteral("QT_QPA_PLATFORM")).section(QLatin1Char(':'), 0, 0);
    const bool x = !environment.value(QStringLiteral("DISPLAY")).isEmpty();
    const bool wayland = !environment.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty();
    if (platform.isEmpty())
        return x || wayland;
    if (platform == QLatin1String("xcb"))
        return x;
    if (platform.startsWith(QLatin1String("wayland")))
        return wayland;
    return true;
}

QString noDisplayText()
{
    return QStringLiteral(
        "Kuvertix: нет дисплея, окно программы открыть негде (не задана переменная DISPLAY).\n"
        "Запустите программу в графическом сеансе или работайте без окна, из командной строки:\n"
        "  kuvertix --pdf конверты.pdf\n"
        "  kuvertix --blank \"Опись.doc\" --print\n"
        "Справка: kuvertix --help");
}

CommandLine parseCommandLine(const QStringList &arguments)
{
    CommandLine line;
    QStringList seen;
    for (int i = 0; i < arguments.size(); ++i) {
        QString name = arguments[i];
        if (name == QLatin1String("-h"))
            name = QStringLiteral("--help");
        QString value;
        bool hasValue = false;
        const int equals = name.indexOf(QLatin1Char('='));
        if (name.startsWith(QLatin1String("--")) && equals > 0) {
            value = name.mid(equals + 1);
            name = name.left(equals);
            hasValue = true;
        }
        if (!name.startsWith(QLatin1String("--")))
            return failed(QStringLiteral("Лишний аргумент «%1».").arg(name));
        if (seen.contains(name))
            return failed(QStringLiteral("Параметр %1 указан дважды.").arg(name));
        seen << name;

        const bool takesValue = name == QLatin1String("--pdf") || name == QLatin1String("--scope")
            || name == QLatin1String("--filter") || name == QLatin1String("--blank")
            || name == QLatin1String("--sum");
        const bool known = takesValue || name == QLatin1String("--print") || name == QLatin1String("--return")
            || name == QLatin1String("--help");
        if (!known)
            return failed(QStringLiteral("Неизвестный параметр «%1».").arg(name));
        if (!takesValue && hasValue)
            return failed(QStringLiteral("Параметр %1 не принимает значения.").arg(name));
        if (takesValue && !hasValue) {
            // "--pdf --return" lacks the file name rather than naming a file
            // "--return"; a value that starts so is given after "=".
            if (i + 1 >= arguments.size() || arguments[i + 1].startsWith(QLatin1String("--")))
                return failed(QStringLiteral("После параметра %1 не указано значение.").arg(name));
            value = arguments[++i];
        }

        if (name == QLatin1String("--help")) {
            line.action = CommandLine::Action::Help;
        } else if (name == QLatin1String("--pdf")) {
            if (value.isEmpty())
                return failed(QStringLiteral("Не указано имя файла PDF после --pdf."));
            line.pdfFile = value;
        } else if (name == QLatin1String("--scope")) {
            if (!scopeFromText(value, line.request.scope))
                return failed(QStringLiteral("Неизвестный охват «%1»: укажите current, marked или all.").arg(value));
        } else if (name == QLatin1String("--filter")) {
            line.request.filterText = value;
        } else if (name == QLatin1String("--return")) {
            line.request.returnEnvelope = true;
        } else if (name == QLatin1String("--blank")) {
            if (value.isEmpty())
                return failed(QStringLiteral("Не указан файл бланка после --blank."));
            line.request.blankName = value;  // the template as given
        } else if (name == QLatin1String("--sum")) {
            // As the sum field takes it: either decimal separator.
            if (!letters::parseSum(value, QLocale(), &line.request.sum))
                return failed(QStringLiteral("Сумма «%1» не число: пишите, например, 1234,50 или 1234.50.").arg(value));
        }
    }

    if (line.action == CommandLine::Action::Help)
        return line;
    const bool pdf = seen.contains(QStringLiteral("--pdf"));
    const bool print = seen.contains(QStringLiteral("--print"));
    const bool blank = seen.contains(QStringLiteral("--blank"));
    if (pdf && print)
        return failed(QStringLiteral("Параметры --pdf и --print нельзя указывать вместе."));
    if (blank && line.request.returnEnvelope)
        return failed(QStringLiteral("Параметр --return относится только к конвертам."));
    if (!blank && seen.contains(QStringLiteral("--sum")))
        return failed(QStringLiteral("Параметр --sum относится только к бланкам: укажите --blank ФАЙЛ."));
    if (!pdf && !print) {
        // No arguments at all are the window program, which no command line starts.
        if (arguments.isEmpty())
            return line;
        return failed(QStringLiteral("Не сказано, что делать: укажите --pdf ФАЙЛ или --print."));
    }
    line.action = pdf ? CommandLine::Action::Pdf : CommandLine::Action::Print;
    if (blank)
        line.request.kind = runs::RunKind::Blank;
    return line;
}

QString commandLineHelp()
{
    return QStringLiteral(
        "Kuvertix — печать конвертов и бланков.\n"
        "\n"
        "Без параметров программа открывает своё окно. С параметрами она сохраняет или\n"
        "печатает конверты или бланки без окна, по данным папки base рядом с программой:\n"
        "формат конверта, смещение, сохранённый шрифт, логотип и отправитель — как в окне.\n"
        "\n"
        "  kuvertix --pdf ФАЙЛ [--scope current|marked|all] [--filter ТЕКСТ] [--return]\n"
        "      сохранить конверты в один файл PDF, по странице на конверт\n"
        "  kuvertix --print [--scope current|marked|all] [--filter ТЕКСТ] [--return]\n"
        "      напечатать конверты на принтере по умолчанию\n"
        "  kuvertix --blank БЛАНК --pdf ФАЙЛ [--scope ...] [--filter ТЕКСТ] [--sum СУММА]\n"
        "      заполнить бланк (файл .doc, .docx, .rtf) для адресатов и сохранить все\n"
        "      листы в один файл PDF\n"
        "  kuvertix --blank БЛАНК --print [--scope ...] [--filter ТЕКСТ] [--sum СУММА]\n"
        "      то же, с печатью на принтере по умолчанию, по заданию на лист\n"
        "  kuvertix --help, kuvertix -h\n"
        "      эта справка\n"
        "\n"
        "  --scope   кому: current — первому адресату по алфавиту, marked — выделенным,\n"
        "            all — всем (так по умолчанию)\n"
        "  --filter  фильтр списка адресатов, как в окне: части через «|», каждая\n"
        "            должна встретиться в каком-нибудь поле адресата, регистр не важен\n"
        "  --return  после каждого конверта — обратный конверт отправителю\n"
        "  --blank   файл бланка: путь или имя бланка из папки программы\n"
        "  --sum     сумма для ~Сумма~ и ~Сумма прописью~, с запятой или точкой:\n"
        "            1234,50 или 1234.50 (по умолчанию 0)\n"
        "\n"
        "Замечания проверки перед печатью (адреса, индексы, ошибки в бланке) выводятся\n"
        "как предупреждения; печать они не останавливают.\n"
        "\n"
        "Код завершения: 0 — готово, 1 — не удалось (причина выводится), 2 — ошибка\n"
        "в параметрах.\n"
        "\n"
        "В папке base программа без окна ничего не меняет, кроме одного: таблицы прежней\n"
        "версии (Paradox или без новых полей) она, как и окно, один раз переводит в новый\n"
        "формат, а прежние файлы без изменений переносит в папку «base/Прежняя версия …».\n");
}

} // namespace app
