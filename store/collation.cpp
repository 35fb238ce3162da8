#include "store/collation.h"

#include <QtEndian>
#include <cstring>
#include <stdexcept>
#include <unicode/ucol.h>

namespace store::collation {

namespace {

// One collator for the program, set up as Qt's Russian collator that
// ignores case: secondary strength (case ignored, "ё" after "е"), no
// numeric ordering, punctuation counted.
UCollator *collator()
{
    static UCollator *const c = [] {
        UErrorCode status = U_ZERO_ERROR;
        UCollator *made = ucol_open("ru_RU", &status);
        if (U_FAILURE(status))
            throw std::runtime_error("Russian collation is not available");
        ucol_setAttribute(made, UCOL_NORMALIZATION_MODE, UCOL_ON, &status);
        ucol_setAttribute(made, UCOL_STRENGTH, UCOL_SECONDARY, &status);
        ucol_setAttribute(made, UCOL_NUMERIC_COLLATION, UCOL_OFF, &status);
        ucol_setAttribute(made, UCOL_ALTERNATE_HANDLING, UCOL_NON_IGNORABLE, &status);
        return made;
    }();
    return c;
}

const UChar *uchars(const QString &s) { return reinterpret_cast<const UChar *>(s.utf16()); }

} // namespace

QByteArray sortKey(const QString &text)
{
    uint8_t buffer[256];
    int32_t size = ucol_getSortKey(collator(), uchars(text), int32_t(text.size()), buffer, int32_t(sizeof buffer));
    if (size <= int32_t(sizeof buffer))
        return QByteArray(reinterpret_cast<const char *>(buffer), size > 0 ? size - 1 : 0);
    QByteArray key(size, Qt::Uninitialized);
    size = ucol_getSortKey(collator(), uchars(text), int32_t(text.size()),
                           reinterpret_cast<uint8_t *>(key.data()), size);
    key.resize(size > 0 ? size - 1 : 0);  // QByteArray keeps its own zero byte
    return key;
}

quint64 prefixOf(const QByteArray &key)
{
    uchar bytes[8] = {};
    std::memcpy(bytes, key.constData(), size_t(std::min<qsizetype>(key.size(), 8)));
    return qFromBigEndian<quint64>(bytes);
}

int compareKeys(const QByteArray &a, const QByteArray &b)
{
    return std::strcmp(a.constData(), b.constData());
}

int compare(const QString &a, const QString &b)
{
    return ucol_strcoll(collator(), uchars(a), int32_t(a.size()), uchars(b), int32_t(b.size()));
}

QByteArray SharedKeys::keyOf(std::string_view utf8)
{
    auto it = m_keys.find(utf8);
    if (it == m_keys.end())
        it = m_keys.emplace(utf8, sortKey(QString::fromUtf8(utf8.data(), qsizetype(utf8.size())))).first;
    return it->second;
}

} // namespace store::collation
