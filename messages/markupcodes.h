#pragma once

#include <QList>
#include <QString>

#include <cstdint>

namespace messages {

// One formatting code found in a markup text.
struct TParamFont
{
    QString Code;     // the whole code as it stood in the text, braces included
    std::int32_t Pos; // 1-based position in the plain text of the character after the code
};

inline bool operator==(const TParamFont &a, const TParamFont &b)
{
    return a.Code == b.Code && a.Pos == b.Pos;
}

// A text holds at most this many codes; further codes are removed from the
// text without being recorded.
constexpr int MaxCodesPerText = 1000;

struct ExtractedCodes
{
    QString plainText;
    QList<TParamFont> codes; // in order of extraction, Pos never decreasing
};

// Takes every "{...}" out of the text: repeatedly the first "{" up to the
// first "}" after it. A "{" with no "}" after it ends the extraction and the
// rest stays plain text; a "}" that opens no code stays plain text too. A
// size, colour or background code whose argument is not an integer (as
// user data may hold: "{FS}", "{FC$GG}") stays in the plain text as written.
ExtractedCodes ExtractCodes(const QString &text);

// What a code does, by the table of the markup language. Matching is
// case-sensitive; anything not in the table is Unknown and has no effect.
enum class CodeKind {
    Unknown,
    AddBold,
    RemoveBold,
    AddItalic,
    RemoveItalic,
    AddUnderline,
    RemoveUnderline,
    FontName,   // "{FN" name "}"
    FontSize,   // "{FS" n "}"
    FontColor,  // "{FC" n "}"
    ResetFont,  // "{F0}"
    Background, // "{BC" n "}"
    AlignLeft,
    AlignCenter,
    AlignRight,
};

struct MarkupCode
{
    CodeKind kind = CodeKind::Unknown;
    QString name;            // FontName only
    std::int32_t number = 0; // FontSize, FontColor, Background
};

// Classifies one code (braces included). For size, colour and background
// the argument must be an integer, else InvalidIntegerError is thrown.
MarkupCode ParseMarkupCode(const QString &code);

} // namespace messages
