#pragma once
// The list of senders and the current sender, which is a copy of one
// sender's three fields in the settings row.

#include "store/cursor.h"

#include <QString>

namespace addressbook {

// The sender filter: one term (a "|" is an ordinary character), looked for
// without regard to case in OtKogo, OtKuda and OtIndex. Empty passes all.
class SenderFilter {
public:
    void setText(const QString &text);
    const QString &text() const { return m_text; }
    bool accepts(const store::RecordView &record) const;
    store::Cursor::FilterHook hook() const;

private:
    QString m_text;
    QString m_folded;
};

// Whether a sender row equals the current sender: all three fields equal as
// exact, case-sensitive texts.
bool isCurrentSender(const QString &otKogo, const QString &otKuda, const QString &otIndex,
                     store::Cursor &settings);

// Copies the list's current sender into the settings row (three empty texts
// when the list is empty) and re-reads the list.
void chooseSender(store::Cursor &senders, store::Cursor &settings);

} // namespace addressbook
