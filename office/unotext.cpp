#include "office/unotext.h"

#include <QFileInfo>
#include <QUrl>

#include <vector>

namespace office {

OUString toOUString(const QString &text)
{
    return OUString(reinterpret_cast<const sal_Unicode *>(text.utf16()), text.size());
}

QString toQString(const OUString &text)
{
    return QString::fromUtf16(reinterpret_cast<const char16_t *>(text.getStr()), text.getLength());
}

OUString fileUrl(const QString &path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    return toOUString(QUrl::fromLocalFile(absolute).toString(QUrl::FullyEncoded));
}

css::uno::Sequence<css::beans::PropertyValue>
properties(std::initializer_list<std::pair<const char *, css::uno::Any>> values)
{
    std::vector<css::beans::PropertyValue> list;
    for (const auto &[name, value] : values) {
        css::beans::PropertyValue p;
        p.Name = OUString::createFromAscii(name);
        p.Value = value;
        list.push_back(p);
    }
    return css::uno::Sequence<css::beans::PropertyValue>(list.data(), sal_Int32(list.size()));
}

} // namespace office
