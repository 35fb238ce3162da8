#include "addressbook/filterhistory.h"

#include "store/schema.h"

namespace addressbook {

namespace {

const QString byText = QStringLiteral("Filter_i");
const QString byTime = QStringLiteral("DateTime_i");

} // namespace

void addHistoryFilter(store::Cursor &history, const QString &text, const QDateTime &now)
{
    if (text.isEmpty())
        return;
    // Looking up the stored (cut) form keeps one entry for a long text.
    const QString stored = store::cutToCapacity(text, historyTextCapacity);
    history.setIndexName(byText);
    if (history.findKey(stored))
        history.edit();
    else
        history.insert();
    history.setValue(QStringLiteral("Filter"), stored);
    history.setValue(QStringLiteral("Date"), now.date());
    history.setValue(QStringLiteral("Time"), now.time());
    history.post();
    history.setIndexName(byTime);
    while (history.recordCount() > historyCapacity) {
        history.last();
        history.remove();
    }
}

void addHistoryFilter(store::Cursor &history, const runs::RunRequest &request)
{
    addHistoryFilter(history, request.filterText);
}

QStringList historyTexts(store::Cursor &history)
{
    QStringList texts;
    const int field = history.fieldIndex(QStringLiteral("Filter"));
    for (history.first(); !history.eof(); history.next())
        texts << history.value(field).toString();
    return texts;
}

QString filterHelpText()
{
    const QString cr(QChar(13));
    const QString line2 = QStringLiteral(
        "Фильтр очень простой, но мощный инструмент для поиска, группировки, фильтрации Ваших "
        "адресатов. Например, вы помните, что в Вашем искомом адресате фигурировало сочетание "
        "букв \"металл\". Просто наберите в фильтре это сочетание и в списке останутся только "
        "адресаты, в любом из полей которых находится набранное сочетание букв. Причём "
        "регистр(большие или маленькие буквы) и местонахождение этого сочетания букв в искомом "
        "слове(в начале, середине, конце) значения не имеют - фильтр найдёт всё и везде. "
        "Например, при наборе \"металл\"(без кавычек) будут найдены адресаты, содержащие(в любом "
        "поле!) слова: \"Металлоторг\", \"металлист\", \"суперметалл\" и т.д. Причём фильтрация "
        "происходит сразу же после набора очередной буквы, нажимать никаких кнопок не нужно! "
        "Теперь после нахождения всех \"металлистов\" Вам надо среди них оставить только \"ОАО\" - "
        "набираете в строке фильтра \"|\" - вертикальная линия(находится справа вверху на "
        "алфавитной клавиатуре, набирается в английской раскладке вместе с нажатием клавиши "
        "Shift, либо вертикальную линию можно добавить кнопкой справа от строки фильтра) и после "
        "вертикальной линии набираете \"ОАО\"(всё набирается без кавычек!) в результате наша "
        "строка будет выглядеть: металл|оао, а в списке адресатов окажутся все ОАО связанные с "
        "металлом. Аналогично среди отфильтрованных адресатов мы можем выделить только "
        "организации, расположенные в Москве. Для этого добавим к строке фильтра \"|москва\". И "
        "таких критериев фильтрации можно добавлять сколько угодно. Окончательно наш пример "
        "будет выглядеть так: ");
    const QString line3 = QStringLiteral("{FB}металл|оао|москва{F0}");
    const QString line4 = QStringLiteral(
        "В результате, если Вы выберите \"Печать для всех адресатов\", то будет распечатан Ваш "
        "отфильтрованный список адресатов, содержащий организации ОАО, занимающиеся металлом и "
        "расположенные в Москве.");
    const QString line6 = QStringLiteral(
        "{FS8}*Полезный совет: поскольку фильтр ищет сочетание букв в любом поле адресата, чтобы "
        "искать по определённому полю нужно его заполнять с каким-то спецсимволом или уникальным "
        "сочетанием символов. Например, если вы в поле \"Группа\" поставите не просто \"Работа\", "
        "а например \"~Работа~\", то набрав в фильтре \"~Работа~\" вы будете уверены, что Вам не "
        "попались адресаты, в которых есть слова \"работает\", \"обработался\" и т.д., а остались "
        "только те, которые относятся к группе ~Работа~.");
    return QStringList{QString(), line2, line3, line4, QString(), line6}.join(cr);
}

} // namespace addressbook
