#include "letters/blanks.h"

#include <QCollator>
#include <QDir>
#include <QFileInfo>
#include <QLocale>

#include <algorithm>

namespace letters {

const QStringList &blankPatterns()
{
    static const QStringList patterns{QStringLiteral("*.doc"), QStringLiteral("*.docx"), QStringLiteral("*.rtf")};
    return patterns;
}

bool isBlankFileName(const QString &name)
{
    for (const QString &pattern : blankPatterns()) {
        const QString suffix = pattern.mid(1);  // ".doc"
        if (name.endsWith(suffix, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

QStringList listBlanks(const QString &folder)
{
    QStringList names;
    const QFileInfoList entries =
        QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo &entry : entries) {
        // isFile() follows links: a link to a file is listed, a link to a
        // folder or a dangling link is not; neither are pipes or sockets.
        if (entry.isFile() && isBlankFileName(entry.fileName()))
            names.append(entry.fileName());
    }
    QCollator collator{QLocale(QLocale::Russian, QLocale::Russia)};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(names.begin(), names.end(), [&collator](const QString &a, const QString &b) {
        const int c = collator.compare(a, b);
        return c != 0 ? c < 0 : a < b;
    });
    return names;
}

QString blankHelpText()
{
    static const char *const lines[] = {
        "",
        "{FB}Вы можете создавать макеты своих собственных бланков в формате Word.{F0}",
        "",
        "Это могут быть не только почтовые бланки, но и ваши заявления, договоры, письма и т.д.",
        "Скопируйте их в папку программы. В необходимые места бланка вставляйте переменные:",
        "~Кому1~,~Куда1~,~От кого1~,~Откуда1~",
        "и на их месте в их формате(цвет, размер, стиль и т.д) будут впечатываться реальные данные из "
        "программы.",
        "Вы так же можете для экономии бумаги на одной странице разместить несколько одинаковых "
        "бланков(до 20), в этом случае для каждого бланка цифровой индекс переменной должен быть "
        "свой(~Кому1~,~Кому2~ и т.д.) - пример см.бланк \"Уведомление 4 шт сторона1.doc\".",
        "Можно делать на одной странице копии одного и того же бланка, если он требуется в нескольких "
        "экземплярах, в этом случае индексы переменных должны быть одинаковые - пример см.бланк "
        "\"Опись.doc\". Индексы переменных должны всегда начинаться с 1 и идти последовательно, без "
        "разрывов(1,2,3...).",
        "Для своих бланков вы так же можете использовать резервные поля программы, переменные "
        "соответствующие им:",
        "~Резерв1_1~...~Резерв6_1~.",
        "Кроме того вы можете использовать следующие переменные:",
        "~Дата~,~Время~ - текущие дата и время; ~Сумма прописью~ - как ни странно это сумма прописью:); "
        "~Сумма~ - сумма цифрами; ~Руб~ - рубли цифрами; ~Коп~ - копейки цифрами.",
    };
    QStringList text;
    for (const char *line : lines)
        text.append(QString::fromUtf8(line));
    return text.join(QLatin1Char('\r'));
}

} // namespace letters
