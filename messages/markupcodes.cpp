#include "messages/markupcodes.h"

#include "messages/integertext.h"

namespace messages {

namespace {

// Size, colour and background codes need an integer argument; every other
// code is usable as it stands.
bool hasUsableArgument(QStringView code)
{
    if (!code.startsWith(u"{FS") && !code.startsWith(u"{FC") && !code.startsWith(u"{BC"))
        return true;
    try {
        ParseIntegerText(code.mid(3, code.size() - 4).toString());
        return true;
    } catch (const InvalidIntegerError &) {
        return false;
    }
}

} // namespace

ExtractedCodes ExtractCodes(const QString &text)
{
    // One pass over the text gives the same codes and positions as deleting
    // each code from the text and searching again from its start: the part
    // already passed holds no "{" any more.
    ExtractedCodes result;
    result.plainText.reserve(text.size());
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype open = text.indexOf(u'{', i);
        if (open < 0)
            break;
        const qsizetype close = text.indexOf(u'}', open + 1);
        if (close < 0)
            break;
        if (!hasUsableArgument(QStringView(text).mid(open, close - open + 1))) {
            // User data may hold "{FSx}" or "{FC$GG}": shown as written.
            result.plainText += QStringView(text).mid(i, close + 1 - i);
            i = close + 1;
            continue;
        }
        result.plainText += QStringView(text).mid(i, open - i);
        if (result.codes.size() < MaxCodesPerText) {
            const auto pos = std::int32_t(result.plainText.size() + 1);
            result.codes.append({text.mid(open, close - open + 1), pos});
        }
        i = close + 1;
    }
    result.plainText += QStringView(text).mid(i);
    return result;
}

namespace {

struct WholeCode
{
    const char16_t *text;
    CodeKind kind;
};

constexpr WholeCode wholeCodes[] = {
    {u"{FB}", CodeKind::AddBold},       {u"{FB-}", CodeKind::RemoveBold},
    {u"{FI}", CodeKind::AddItalic},     {u"{FI-}", CodeKind::RemoveItalic},
    {u"{F_}", CodeKind::AddUnderline},  {u"{F_-}", CodeKind::RemoveUnderline},
    {u"{F0}", CodeKind::ResetFont},     {u"{PL}", CodeKind::AlignLeft},
    {u"{PC}", CodeKind::AlignCenter},   {u"{PR}", CodeKind::AlignRight},
};

// The code without its three-character prefix and its closing brace.
QString argumentOf(const QString &code)
{
    if (code.size() <= 4)
        return QString();
    return code.mid(3, code.size() - 4);
}

} // namespace

MarkupCode ParseMarkupCode(const QString &code)
{
    MarkupCode parsed;
    for (const WholeCode &whole : wholeCodes) {
        if (code == QStringView(whole.text)) {
            parsed.kind = whole.kind;
            return parsed;
        }
    }
    if (code.startsWith(u"{FN")) {
        parsed.kind = CodeKind::FontName;
        parsed.name = argumentOf(code);
    } else if (code.startsWith(u"{FS")) {
        parsed.kind = CodeKind::FontSize;
        parsed.number = ParseIntegerText(argumentOf(code));
    } else if (code.startsWith(u"{FC")) {
        parsed.kind = CodeKind::FontColor;
        parsed.number = ParseIntegerText(argumentOf(code));
    } else if (code.startsWith(u"{BC")) {
        parsed.kind = CodeKind::Background;
        parsed.number = ParseIntegerText(argumentOf(code));
    }
    return parsed;
}

} // namespace messages
