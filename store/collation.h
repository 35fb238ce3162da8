#pragma once
// The order of texts in the indexes, as a Russian reader expects: without
// regard to case, Cyrillic before Latin, "ё" right beside "е". Texts are
// ordered by sort keys: byte strings whose plain byte order is this order,
// made once per text so that sorting a large table compares bytes only.

#include <QByteArray>
#include <QString>
#include <string_view>
#include <unordered_map>

namespace store::collation {

// The sort key of a text, ending in a zero byte (and holding no other).
QByteArray sortKey(const QString &text);
// The first eight bytes of a key as one number in the same order; equal
// prefixes leave the order to the whole keys.
quint64 prefixOf(const QByteArray &key);
// Below, equal or above zero as a sorts before, with or after b.
int compareKeys(const QByteArray &a, const QByteArray &b);
int compare(const QString &a, const QString &b);

// Sort keys for many texts given in UTF-8 (the texts must outlive it): a
// text met again gets the key already made, the same block, so that equal
// texts cost one key and compare equal without reading their bytes.
class SharedKeys {
public:
    QByteArray keyOf(std::string_view utf8);

private:
    std::unordered_map<std::string_view, QByteArray> m_keys;
};

} // namespace store::collation
