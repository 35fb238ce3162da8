#include "messages/integertext.h"

namespace messages {

namespace {

// The message is read as a C string: a NUL inside the quoted text would cut
// off the wording that marks the error as a conversion error.
QString quotable(QString text)
{
    text.replace(QChar(0), QChar::ReplacementCharacter);
    return text;
}

int hexDigitValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

std::int32_t parseHex(const QString &text)
{
    if (text.size() < 2)
        throw InvalidIntegerError(text);
    std::uint64_t value = 0;
    for (qsizetype i = 1; i < text.size(); ++i) {
        const int digit = hexDigitValue(text.at(i));
        if (digit < 0)
            throw InvalidIntegerError(text);
        value = value * 16 + std::uint64_t(digit);
        if (value > 0xFFFFFFFFull)
            throw InvalidIntegerError(text);
    }
    return std::int32_t(std::uint32_t(value));
}

std::int32_t parseDecimal(const QString &text)
{
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text.at(i) == u'+' || text.at(i) == u'-')) {
        negative = text.at(i) == u'-';
        ++i;
    }
    if (i == text.size())
        throw InvalidIntegerError(text);
    const std::int64_t limit = negative ? 2147483648LL : 2147483647LL;
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        const char16_t u = text.at(i).unicode();
        if (u < u'0' || u > u'9')
            throw InvalidIntegerError(text);
        value = value * 10 + (u - u'0');
        if (value > limit)
            throw InvalidIntegerError(text);
    }
    return std::int32_t(negative ? -value : value);
}

} // namespace

InvalidIntegerError::InvalidIntegerError(const QString &text)
    : std::runtime_error(QStringLiteral("'%1' is not a valid integer value").arg(quotable(text)).toStdString())
{
}

std::int32_t ParseIntegerText(const QString &text)
{
    if (text.startsWith(u'$'))
        return parseHex(text);
    return parseDecimal(text);
}

} // namespace messages
