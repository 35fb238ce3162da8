#include "addressbook/senders.h"
#include "addressbook/recipientfilter.h"

#include <QStringList>

namespace addressbook {

namespace {

const QStringList &senderFields()
{
    static const QStringList names{"OtKogo", "OtKuda", "OtIndex"};
    return names;
}

} // namespace

void SenderFilter::setText(const QString &text)
{
    m_text = text;
    m_folded = foldCase(text);
}

bool SenderFilter::accepts(const store::RecordView &record) const
{
    if (m_text.isEmpty())
        return true;
    for (const QString &name : senderFields())
        if (foldCase(record.text(record.schema().fieldIndex(name))).contains(m_folded))
            return true;
    return false;
}

store::Cursor::FilterHook SenderFilter::hook() const
{
    return [this](const store::RecordView &record) { return accepts(record); };
}

bool isCurrentSender(const QString &otKogo, const QString &otKuda, const QString &otIndex,
                     store::Cursor &settings)
{
    return otKogo == settings.asString(QStringLiteral("OtKogo"))
        && otKuda == settings.asString(QStringLiteral("OtKuda"))
        && otIndex == settings.asString(QStringLiteral("OtIndex"));
}

void chooseSender(store::Cursor &senders, store::Cursor &settings)
{
    for (const QString &name : senderFields())
        settings.setAsString(name, senders.asString(name));
    senders.refresh();
}

} // namespace addressbook
