#include "addressbook/csvtext.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace addressbook {

namespace {

bool validUtf8(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = utf8(bytes);
    return !utf8.hasError() && !text.contains(QChar::ReplacementCharacter);
}

} // namespace

QByteArray csvAsUtf8(const QByteArray &raw)
{
    if (validUtf8(raw))
        return raw;
    QStringDecoder cp1251("windows-1251");
    QByteArray out;
    out.reserve(raw.size() * 2);
    qsizetype start = 0;
    while (start < raw.size()) {
        qsizetype end = raw.indexOf('\n', start);
        end = end < 0 ? raw.size() : end + 1;
        const QByteArrayView line(raw.constData() + start, end - start);
        if (validUtf8(line))
            out += line;
        else
            out += QString(cp1251(line)).toUtf8();
        start = end;
    }
    return out;
}

} // namespace addressbook
