#include "envelope/fontres.h"

#include "envelope/datafiles.h"
#include "report/oserror.h"

#include <QDir>
#include <QFile>
#include <QStringList>

#include "envelope/units.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <cstring>
#include <utility>

namespace envelope {
namespace {

// Value-type tags of the form stream.
enum Tag : quint8 {
    vaNull = 0, vaList = 1, vaInt8 = 2, vaInt16 = 3, vaInt32 = 4, vaExtended = 5,
    vaString = 6, vaIdent = 7, vaFalse = 8, vaTrue = 9, vaBinary = 10, vaSet = 11,
    vaLString = 12, vaNil = 13, vaCollection = 14, vaSingle = 15, vaCurrency = 16,
    vaDate = 17, vaWString = 18, vaInt64 = 19, vaUTF8String = 20, vaDouble = 21,
};

constexpr quint8 ResourceMark = 0xFF;
constexpr quint16 RawDataType = 10;
constexpr quint16 ResourceFlags = 0x1030;
constexpr int MaxNesting = 32;
const char Signature[] = "TPF0";
const QString ResourceName = QStringLiteral("TFONTDIALOG");
const QString ClassName = QStringLiteral("TFontDialog");
const QString ComponentName = QStringLiteral("FontDialog1");

// ---- single-byte Cyrillic text (code page 1251) ----

const std::array<char16_t, 64> &upperHalf80()
{
    static const std::array<char16_t, 64> table = {
        0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409,
        0x2039, 0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0xFFFD, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0,
        0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB,
        0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6,
        0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457};
    return table;
}

QChar cp1251ToUnicode(quint8 b)
{
    if (b < 0x80)
        return QChar(b);
    if (b >= 0xC0)
        return QChar(char16_t(0x0410 + (b - 0xC0)));
    return QChar(upperHalf80()[b - 0x80]);
}

QString fromCp1251(const QByteArray &bytes)
{
    QString s;
    s.reserve(bytes.size());
    for (char c : bytes)
        s.append(cp1251ToUnicode(quint8(c)));
    return s;
}

// Empty optional when a character has no single-byte form.
std::optional<QByteArray> toCp1251(const QString &text)
{
    QByteArray out;
    for (QChar ch : text) {
        const char16_t u = ch.unicode();
        if (u < 0x80) {
            out.append(char(u));
        } else if (u >= 0x0410 && u <= 0x044F) {
            out.append(char(0xC0 + (u - 0x0410)));
        } else {
            const auto &t = upperHalf80();
            const auto it = std::find(t.begin(), t.end(), u);
            if (it == t.end() || u == 0xFFFD)
                return std::nullopt;
            out.append(char(0x80 + (it - t.begin())));
        }
    }
    return out;
}

// ---- names of character sets, colours and styles ----

const std::pair<const char *, int> Charsets[] = {
    {"ANSI_CHARSET", 0},       {"DEFAULT_CHARSET", 1},      {"SYMBOL_CHARSET", 2},
    {"MAC_CHARSET", 77},       {"SHIFTJIS_CHARSET", 128},   {"HANGEUL_CHARSET", 129},
    {"JOHAB_CHARSET", 130},    {"GB2312_CHARSET", 134},     {"CHINESEBIG5_CHARSET", 136},
    {"GREEK_CHARSET", 161},    {"TURKISH_CHARSET", 162},    {"VIETNAMESE_CHARSET", 163},
    {"HEBREW_CHARSET", 177},   {"ARABIC_CHARSET", 178},     {"BALTIC_CHARSET", 186},
    {"RUSSIAN_CHARSET", 204},  {"THAI_CHARSET", 222},       {"EASTEUROPE_CHARSET", 238},
    {"OEM_CHARSET", 255},
};

const std::pair<const char *, quint32> Colors[] = {
    {"clBlack", 0x000000},     {"clMaroon", 0x000080},    {"clGreen", 0x008000},
    {"clOlive", 0x008080},     {"clNavy", 0x800000},      {"clPurple", 0x800080},
    {"clTeal", 0x808000},      {"clGray", 0x808080},      {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},       {"clLime", 0x00FF00},      {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},      {"clFuchsia", 0xFF00FF},   {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},     {"clMoneyGreen", 0xC0DCC0}, {"clSkyBlue", 0xF0CAA6},
    {"clCream", 0xF0FBFF},     {"clMedGray", 0xA4A0A0},   {"clNone", 0x1FFFFFFF},
    {"clDefault", 0x20000000},
    {"clScrollBar", 0x80000000}, {"clBackground", 0x80000001}, {"clActiveCaption", 0x80000002},
    {"clInactiveCaption", 0x80000003}, {"clMenu", 0x80000004}, {"clWindow", 0x80000005},
    {"clWindowFrame", 0x80000006}, {"clMenuText", 0x80000007}, {"clWindowText", 0x80000008},
    {"clCaptionText", 0x80000009}, {"clActiveBorder", 0x8000000A},
    {"clInactiveBorder", 0x8000000B}, {"clAppWorkSpace", 0x8000000C},
    {"clHighlight", 0x8000000D}, {"clHighlightText", 0x8000000E}, {"clBtnFace", 0x8000000F},
    {"clBtnShadow", 0x80000010}, {"clGrayText", 0x80000011}, {"clBtnText", 0x80000012},
    {"clInactiveCaptionText", 0x80000013}, {"clBtnHighlight", 0x80000014},
    {"cl3DDkShadow", 0x80000015}, {"cl3DLight", 0x80000016}, {"clInfoText", 0x80000017},
    {"clInfoBk", 0x80000018}, {"clHotLight", 0x8000001A},
    {"clGradientActiveCaption", 0x8000001B}, {"clGradientInactiveCaption", 0x8000001C},
    {"clMenuHighlight", 0x8000001D}, {"clMenuBar", 0x8000001E},
};

template <typename Table, typename Value>
const char *nameOf(const Table &table, Value value)
{
    for (const auto &entry : table)
        if (entry.second == value)
            return entry.first;
    return nullptr;
}

template <typename Table, typename Value>
bool valueOf(const Table &table, const QByteArray &name, Value &value)
{
    for (const auto &entry : table)
        if (qstricmp(entry.first, name.constData()) == 0) {
            value = entry.second;
            return true;
        }
    return false;
}

// ---- reading ----

struct Unreadable {};

class StreamReader {
public:
    explicit StreamReader(const QByteArray &data) : m_data(data) {}

    bool atEnd() const { return m_pos >= m_data.size(); }
    int pos() const { return m_pos; }

    QByteArray take(qint64 n)
    {
        if (n < 0 || n > m_data.size() - m_pos)
            throw Unreadable();
        const QByteArray out = m_data.mid(m_pos, int(n));
        m_pos += int(n);
        return out;
    }
    void skip(qint64 n) { take(n); }
    quint8 u8() { return quint8(take(1)[0]); }
    quint8 peek() const
    {
        if (atEnd())
            throw Unreadable();
        return quint8(m_data[m_pos]);
    }
    template <typename T>
    T little()
    {
        const QByteArray b = take(sizeof(T));
        T v = 0;
        for (int i = int(sizeof(T)) - 1; i >= 0; --i)
            v = T((quint64(v) << 8) | quint8(b[i]));
        return v;
    }
    QByteArray shortString() { return take(u8()); }

private:
    const QByteArray &m_data;
    int m_pos = 0;
};

struct Value {
    quint8 tag = vaNull;
    qint64 integer = 0;
    QByteArray ident;
    QString text;
    QList<QByteArray> set;

    bool isInteger() const
    {
        return tag == vaInt8 || tag == vaInt16 || tag == vaInt32 || tag == vaInt64;
    }
};

Value readValue(StreamReader &in, int depth);

void skipProperties(StreamReader &in, int depth)
{
    while (in.peek() != vaNull) {
        if (in.shortString().isEmpty())
            throw Unreadable();
        readValue(in, depth + 1);
    }
    in.u8();
}

void readCollection(StreamReader &in, int depth)
{
    while (in.peek() != vaNull) {
        const quint8 t = in.peek();
        if (t == vaInt8 || t == vaInt16 || t == vaInt32)
            readValue(in, depth + 1);
        if (in.u8() != vaList)
            throw Unreadable();
        skipProperties(in, depth + 1);
    }
    in.u8();
}

Value readValue(StreamReader &in, int depth)
{
    if (depth > MaxNesting)
        throw Unreadable();
    Value v;
    v.tag = in.u8();
    switch (v.tag) {
    case vaInt8: v.integer = qint8(in.u8()); break;
    case vaInt16: v.integer = in.little<qint16>(); break;
    case vaInt32: v.integer = in.little<qint32>(); break;
    case vaInt64: v.integer = in.little<qint64>(); break;
    case vaString: v.text = fromCp1251(in.shortString()); break;
    case vaLString: v.text = fromCp1251(in.take(in.little<quint32>())); break;
    case vaUTF8String: v.text = QString::fromUtf8(in.take(in.little<quint32>())); break;
    case vaWString: {
        const QByteArray raw = in.take(qint64(in.little<quint32>()) * 2);
        v.text.resize(raw.size() / 2);
        for (int i = 0; i < v.text.size(); ++i)
            v.text[i] = QChar(char16_t(quint8(raw[2 * i]) | (quint8(raw[2 * i + 1]) << 8)));
        break;
    }
    case vaIdent: v.ident = in.shortString(); break;
    case vaSet:
        for (QByteArray item = in.shortString(); !item.isEmpty(); item = in.shortString())
            v.set << item;
        break;
    case vaFalse: case vaTrue: case vaNil: break;
    case vaExtended: in.skip(10); break;
    case vaSingle: in.skip(4); break;
    case vaDouble: case vaCurrency: case vaDate: in.skip(8); break;
    case vaBinary: in.skip(in.little<quint32>()); break;
    case vaList:
        while (in.peek() != vaNull)
            readValue(in, depth + 1);
        in.u8();
        break;
    case vaCollection: readCollection(in, depth); break;
    default: throw Unreadable();  // vaNull or an unknown tag where a value must be
    }
    return v;
}

int integerIn(const Value &v, qint64 low, qint64 high)
{
    if (!v.isInteger() || v.integer < low || v.integer > high)
        throw Unreadable();
    return int(v.integer);
}

void applyFontProperty(PrintFont &font, const QByteArray &name, const Value &v)
{
    if (qstricmp(name.constData(), "Font.Charset") == 0) {
        if (v.tag == vaIdent) {
            if (!valueOf(Charsets, v.ident, font.charset))
                throw Unreadable();
        } else {
            font.charset = integerIn(v, 0, 255);
        }
    } else if (qstricmp(name.constData(), "Font.Color") == 0) {
        if (v.tag == vaIdent) {
            quint32 c = 0;
            if (!valueOf(Colors, v.ident, c))
                throw Unreadable();
            font.color = qint32(c);
        } else {
            font.color = integerIn(v, INT32_MIN, UINT32_MAX);
        }
    } else if (qstricmp(name.constData(), "Font.Height") == 0) {
        font.height = integerIn(v, -10000, 10000);
    } else if (qstricmp(name.constData(), "Font.Size") == 0) {
        font.height = -pixelHeightOfPoints(integerIn(v, -10000, 10000));
    } else if (qstricmp(name.constData(), "Font.Name") == 0) {
        if (v.tag != vaString && v.tag != vaLString && v.tag != vaUTF8String && v.tag != vaWString)
            throw Unreadable();
        if (!v.text.trimmed().isEmpty())
            font.family = v.text;
    } else if (qstricmp(name.constData(), "Font.Style") == 0) {
        if (v.tag != vaSet)
            throw Unreadable();
        font.bold = font.italic = font.underline = font.strikeOut = false;
        for (const QByteArray &s : v.set) {
            if (qstricmp(s.constData(), "fsBold") == 0) font.bold = true;
            else if (qstricmp(s.constData(), "fsItalic") == 0) font.italic = true;
            else if (qstricmp(s.constData(), "fsUnderline") == 0) font.underline = true;
            else if (qstricmp(s.constData(), "fsStrikeOut") == 0) font.strikeOut = true;
        }
    }
}

// Reads the component header: optional filer flags (and child position),
// class name and component name.
void readComponentHeader(StreamReader &in)
{
    quint8 first = in.peek();
    if ((first & 0xF0) == 0xF0) {
        in.u8();
        if (first & 0x02)  // the child position follows as an integer
            integerIn(readValue(in, 0), INT32_MIN, INT32_MAX);
    }
    if (in.shortString().isEmpty())
        throw Unreadable();
    in.shortString();
}

PrintFont readComponentStream(const QByteArray &stream)
{
    StreamReader in(stream);
    if (in.take(4) != QByteArray(Signature))
        throw Unreadable();
    readComponentHeader(in);
    PrintFont font;
    while (in.peek() != vaNull) {
        const QByteArray name = in.shortString();
        if (name.isEmpty())
            throw Unreadable();
        applyFontProperty(font, name, readValue(in, 0));
    }
    return font;
}

QByteArray componentStreamOf(const QByteArray &file)
{
    if (file.startsWith(Signature))
        return file;
    StreamReader in(file);
    if (in.u8() != ResourceMark)
        throw Unreadable();
    in.little<quint16>();  // resource type
    if (in.peek() == ResourceMark) {
        in.u8();
        in.little<quint16>();  // a numbered resource
    } else {
        int length = 0;
        while (in.u8() != 0)
            if (++length > 255)
                throw Unreadable();
    }
    in.little<quint16>();  // flags
    const quint32 size = in.little<quint32>();
    return in.take(size);
}

// ---- writing ----

void writeShortString(QByteArray &out, const QByteArray &s)
{
    out.append(char(s.size()));
    out.append(s);
}

void writeInteger(QByteArray &out, qint64 v)
{
    auto little = [&out](quint64 x, int bytes) {
        for (int i = 0; i < bytes; ++i)
            out.append(char((x >> (8 * i)) & 0xFF));
    };
    if (v >= -128 && v <= 127) {
        out.append(char(vaInt8));
        little(quint64(v), 1);
    } else if (v >= -32768 && v <= 32767) {
        out.append(char(vaInt16));
        little(quint64(v), 2);
    } else {
        out.append(char(vaInt32));
        little(quint64(v), 4);
    }
}

void writeIdentOrInteger(QByteArray &out, const char *ident, qint64 v)
{
    if (ident) {
        out.append(char(vaIdent));
        writeShortString(out, ident);
    } else {
        writeInteger(out, v);
    }
}

void writeText(QByteArray &out, const QString &text)
{
    const std::optional<QByteArray> single = toCp1251(text);
    if (single && single->size() <= 255) {
        out.append(char(vaString));
        writeShortString(out, *single);
        return;
    }
    const QByteArray utf8 = text.toUtf8();
    out.append(char(vaUTF8String));
    const quint32 n = quint32(utf8.size());
    for (int i = 0; i < 4; ++i)
        out.append(char((n >> (8 * i)) & 0xFF));
    out.append(utf8);
}

void writeStyle(QByteArray &out, const PrintFont &font)
{
    out.append(char(vaSet));
    if (font.bold) writeShortString(out, "fsBold");
    if (font.italic) writeShortString(out, "fsItalic");
    if (font.underline) writeShortString(out, "fsUnderline");
    if (font.strikeOut) writeShortString(out, "fsStrikeOut");
    out.append(char(0));
}

void appendLittle(QByteArray &out, quint32 v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.append(char((v >> (8 * i)) & 0xFF));
}

} // namespace

FontFileError::FontFileError(const QString &message, const QString &file)
    : std::runtime_error(message.toStdString()), m_message(message), m_file(file)
{
}

QByteArray encodeFontDialogStream(const PrintFont &font)
{
    QByteArray out(Signature);
    writeShortString(out, ClassName.toLatin1());
    writeShortString(out, ComponentName.toLatin1());
    writeShortString(out, "Font.Charset");
    writeIdentOrInteger(out, nameOf(Charsets, font.charset), font.charset);
    writeShortString(out, "Font.Color");
    writeIdentOrInteger(out, nameOf(Colors, quint32(font.color)), font.color);
    writeShortString(out, "Font.Height");
    writeInteger(out, font.height);
    writeShortString(out, "Font.Name");
    writeText(out, font.family);
    // The style is written even when empty, and the dialog's size limits
    // follow, as the platform writes a font dialog.
    writeShortString(out, "Font.Style");
    writeStyle(out, font);
    writeShortString(out, "MinFontSize");
    writeInteger(out, 0);
    writeShortString(out, "MaxFontSize");
    writeInteger(out, 0);
    out.append(char(vaNull));  // end of the properties
    out.append(char(vaNull));  // no child components
    return out;
}

QByteArray encodeFontRes(const PrintFont &font)
{
    const QByteArray stream = encodeFontDialogStream(font);
    QByteArray out;
    out.append(char(ResourceMark));
    appendLittle(out, RawDataType, 2);
    out.append(ResourceName.toLatin1());
    out.append(char(0));
    appendLittle(out, ResourceFlags, 2);
    appendLittle(out, quint32(stream.size()), 4);
    out.append(stream);
    return out;
}

std::optional<PrintFont> decodeFontRes(const QByteArray &bytes)
{
    try {
        return readComponentStream(componentStreamOf(bytes));
    } catch (const Unreadable &) {
        return std::nullopt;
    }
}

QString fontResPath(const QString &dataFolder)
{
    return dataFilePath(dataFolder, QStringLiteral("Font.res"));
}

PrintFont loadSavedFont(const QString &dataFolder)
{
    QFile file(fontResPath(dataFolder));
    if (!file.open(QIODevice::ReadOnly))
        return PrintFont();
    // A font file is well under a kilobyte; anything huge is not ours.
    const QByteArray bytes = file.read(1 << 20);
    return decodeFontRes(bytes).value_or(PrintFont());
}

void saveFont(const QString &dataFolder, const PrintFont &font)
{
    const QString path = fontResPath(dataFolder);
    const QString cause = replaceFileAtomically(path, encodeFontRes(font));
    if (!cause.isEmpty())
        throw FontFileError(QStringLiteral("%1: не удалось сохранить шрифт в файл «%2». Прежний файл не изменён.")
                                .arg(report::capitalized(cause), QDir::toNativeSeparators(path)),
                            path);
}

} // namespace envelope
