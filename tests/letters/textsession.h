#pragma once
// A word session over a document of plain lines, for the logic of the blank
// run: a line starting with "|" is a table row; "^p" in a replacement becomes
// "¶" and "^^" a caret, as the word processor reads them. Printed documents
// are kept in order.

#include "letters/wordsession.h"

#include <QMap>
#include <QStringList>
#include <stdexcept>

class TextSession : public letters::WordSession {
public:
    QMap<QString, QStringList> templates;
    QStringList document;
    QList<QStringList> printed;
    int opens = 0;
    bool open = false;

    void WordOpen(const QString &name) override
    {
        if (open)
            throw std::logic_error("second document");
        document = templates.value(name);
        open = true;
        ++opens;
        m_repeat.clear();
        m_copiedRow = -1;
    }
    void WordReplace(const QString &text, const QString &replacement) override
    {
        QString r = replacement;
        r.replace(QStringLiteral("^^"), QStringLiteral("\x01"));
        r.replace(QStringLiteral("^p"), QStringLiteral("¶"));
        r.replace(QStringLiteral("\x01"), QStringLiteral("^"));
        for (QString &line : document)
            line.replace(text, r, Qt::CaseInsensitive);
    }
    bool WordContains(const QString &text) override
    {
        for (const QString &line : std::as_const(document))
            if (line.contains(text, Qt::CaseInsensitive))
                return true;
        return false;
    }
    void WordCopyRow(const QString &marker) override
    {
        m_copiedRow = rowOf(marker);
        if (m_copiedRow < 0)
            return;
        m_copied = document.at(m_copiedRow);
        if (!m_repeat.contains(marker))
            m_repeat << marker;
    }
    void WordAddRow() override
    {
        if (m_copiedRow >= 0)
            document.insert(m_copiedRow + 1, m_copied);
    }
    void WordDeleteRow(const QString &marker) override
    {
        const int row = rowOf(marker);
        if (row >= 0)
            document.removeAt(row);
    }
    void WordFinish(bool print) override
    {
        for (const QString &marker : std::as_const(m_repeat))
            WordDeleteRow(marker);
        if (print)
            printed << document;
        open = false;
    }

private:
    int rowOf(const QString &marker) const
    {
        for (int i = 0; i < document.size(); ++i)
            if (document.at(i).startsWith(QLatin1Char('|')) && document.at(i).contains(marker, Qt::CaseInsensitive))
                return i;
        return -1;
    }

    QStringList m_repeat;
    int m_copiedRow = -1;
    QString m_copied;
};
