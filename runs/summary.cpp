#include "runs/summary.h"

#include "store/cursor.h"
#include "store/tables.h"

#include <cmath>

namespace runs {

namespace {

const QString IndexByKey = QStringLiteral("N_i");

// Trimming as the settings row's texts are compared: spaces and control
// characters at both ends.
bool isEmptyAfterTrim(const QString &text)
{
    for (const QChar c : text)
        if (c.unicode() > 0x20)
            return false;
    return true;
}

QString withoutLineBreaks(QString text)
{
    text.remove(QLatin1Char('\r'));
    text.remove(QLatin1Char('\n'));
    return text;
}

QString recipientPart(const ResumeFacts &f)
{
    QString r;
    switch (f.screen.scope) {
    case runs::PrintScope::Current:
        return f.komu + QStringLiteral(", ") + f.kuda + QStringLiteral(", ") + f.index;
    case runs::PrintScope::Marked:
        r = QStringLiteral("Выделенные - ") + QString::number(f.screen.selectedCount) + QStringLiteral(" шт");
        break;
    case runs::PrintScope::All:
        r = QStringLiteral("Все");
        break;
    }
    if (!f.screen.filterText.isEmpty())
        r += QStringLiteral(" (фильтр = ") + f.screen.filterText + QLatin1Char(')');
    return r;
}

QString fontLine(const ResumeFont &font)
{
    QString s = QStringLiteral("\r{FB-} Шрифт : {FN") + font.family + QLatin1Char('}');
    s += QStringLiteral("{FS") + QString::number(font.pointSize) + QLatin1Char('}');
    if (font.bold)
        s += QStringLiteral("{FB}");
    if (font.italic)
        s += QStringLiteral("{FI}");
    return s + QLatin1Char(' ') + font.family + QStringLiteral("{F0}");
}

void appendEnvelopeSettings(QString &s, const ResumeFacts &f, const QString &separator)
{
    s += QLatin1Char('\r');
    if (!f.screen.font.isDefault())
        s += fontLine(f.screen.font);
    if (f.screen.printLogo)
        s += QStringLiteral("\r{FB-} Печать картинки: {FB}Вкл");
    if (f.screen.printZipCode)
        s += QStringLiteral("\r{FB-} Печать большого индекса : {FB}Вкл");
    if (f.dx != 0 || f.dy != 0) {
        s += QStringLiteral("\r {FB-}Смещение при печати: {FB}") + f.printerName
             + QStringLiteral(": по горизонтали ") + GeneralNumberText(f.dx, separator)
             + QStringLiteral("мм; по вертикали ") + GeneralNumberText(f.dy, separator) + QStringLiteral("мм.");
    }
    if (!isEmptyAfterTrim(f.konvertComment) && f.screen.printComment)
        s += QStringLiteral("\r {FB-}Комментарий на конверте: {FB}\r") + f.konvertComment;
    s += QStringLiteral("\r{FB-} {FS8}*Как вставлять конверт в принтер(на некоторых принтерах в специальный "
                        "лоток!): ")
         + withoutLineBreaks(f.insertNote);
}

// Looks a row up by its key N through the index N_i and goes back to the
// index in force before; the found row (or, without one, the row the
// cursor stood on) stays current.
void findByKey(store::Cursor &cursor, int key)
{
    const QString previous = cursor.indexName();
    cursor.setIndexName(IndexByKey);
    cursor.findKey(key);
    cursor.setIndexName(previous);
}

} // namespace

QString GeneralNumberText(double value, const QString &decimalSeparator)
{
    if (value == 0 || !std::isfinite(value))
        return value == 0 ? QStringLiteral("0") : QString::number(value);
    const double magnitude = std::fabs(value);
    QString text;
    if (magnitude >= 1e-5 && magnitude < 1e15) {
        // Fixed notation with 15 significant digits, trailing zeros dropped.
        const int intDigits = int(std::floor(std::log10(magnitude))) + 1;
        text = QString::number(value, 'f', qBound(0, 15 - intDigits, 20));
        if (text.contains(QLatin1Char('.'))) {
            while (text.endsWith(QLatin1Char('0')))
                text.chop(1);
            if (text.endsWith(QLatin1Char('.')))
                text.chop(1);
        }
    } else {
        // Scientific: mantissa of up to 15 digits, "E", exponent without
        // a plus sign or leading zeros.
        text = QString::number(value, 'e', 14);
        const qsizetype e = text.indexOf(QLatin1Char('e'));
        QString mantissa = text.left(e);
        const int exponent = text.mid(e + 1).toInt();
        while (mantissa.endsWith(QLatin1Char('0')))
            mantissa.chop(1);
        if (mantissa.endsWith(QLatin1Char('.')))
            mantissa.chop(1);
        text = mantissa + QLatin1Char('E') + QString::number(exponent);
    }
    text.replace(QLatin1Char('.'), decimalSeparator);
    return text;
}

QString ResumeText(const QString &kind, const ResumeFacts &f, const QString &decimalSeparator)
{
    const bool envelope = kind == ResumeKindEnvelope;
    const bool blank = kind == ResumeKindBlank;

    QString s = QStringLiteral(" {PL}Печатать: {FB}") + kind;
    if (envelope) {
        s += QLatin1Char(' ') + f.formatName;
        s += f.typKonv == 1 ? QStringLiteral(" с напечатанной в типографии разметкой")
                            : QStringLiteral(" без напечатанной в типографии разметки");
        if (f.screen.returnEnvelope)
            s += QStringLiteral(", с обратным конвертом");
    }
    if (blank) {
        s += f.screen.blankName.isEmpty() ? QStringLiteral(" {FC$0000FF}не выбран бланк!{F0}")
                                          : QLatin1Char(' ') + f.screen.blankName;
    }
    s += QStringLiteral("\r{FB-} Получатель: {FB}") + recipientPart(f);
    s += QStringLiteral("\r{FB-} Отправитель: {FB}") + f.otKogo + QStringLiteral(", ") + f.otKuda
         + QStringLiteral(", ") + f.otIndex;
    if (envelope)
        appendEnvelopeSettings(s, f, decimalSeparator);
    if (blank) {
        s += QStringLiteral("\r\r{FB-} {FS8}*При печати двусторонних бланков, для печати второй стороны лист "
                            "нужно вставлять так, чтобы у него не менялось положение верха и низа "
                            "распечатанной на нём первой стороны бланка.");
    }
    return s;
}

ResumeFacts GatherResumeFacts(const QString &kind, store::Tables &tables, const ResumeScreen &screen)
{
    const store::Cursor &settings = tables.Table1;
    ResumeFacts f;
    f.screen = screen;
    f.typKonv = settings.asInteger(QStringLiteral("TypKonv"));
    f.otKogo = settings.asString(QStringLiteral("OtKogo"));
    f.otKuda = settings.asString(QStringLiteral("OtKuda"));
    f.otIndex = settings.asString(QStringLiteral("OtIndex"));
    f.konvertComment = settings.asString(QStringLiteral("KonvertComment"));
    f.insertNote = settings.asString(QStringLiteral("Comment"));
    const store::Cursor &recipients = tables.Table2;
    f.komu = recipients.asString(QStringLiteral("Komu"));
    f.kuda = recipients.asString(QStringLiteral("Kuda"));
    f.index = recipients.asString(QStringLiteral("Index"));
    if (kind != ResumeKindEnvelope)
        return f;

    findByKey(tables.Table4, settings.asInteger(QStringLiteral("N_Konvert")));
    f.formatName = tables.Table4.asString(QStringLiteral("NameKonvert"));
    findByKey(tables.Table5, settings.asInteger(QStringLiteral("Printer")));
    f.printerName = tables.Table5.asString(QStringLiteral("PrinterName"));
    f.dx = tables.Table5.asFloat(QStringLiteral("Dx"));
    f.dy = tables.Table5.asFloat(QStringLiteral("Dy"));
    return f;
}

} // namespace runs
