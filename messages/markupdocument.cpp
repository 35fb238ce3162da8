#include "messages/markupdocument.h"

#include "messages/colourvalue.h"
#include "messages/markupcodes.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>

#include <algorithm>
#include <vector>

namespace messages {

namespace {

struct CharState
{
    QString family;
    int pointSize = 10;
    QColor color;
    bool bold = false;
    bool italic = false;
    bool underline = false;
};

CharState baseCharState(const MarkupBaseAttributes &base)
{
    CharState state;
    state.family = base.family;
    state.pointSize = base.pointSize;
    state.color = base.color;
    return state;
}

QTextCharFormat formatOf(const CharState &state)
{
    QTextCharFormat format;
    format.setFontFamilies(QStringList{state.family});
    format.setFontPointSize(state.pointSize);
    format.setForeground(state.color);
    format.setFontWeight(state.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(state.italic);
    format.setFontUnderline(state.underline);
    return format;
}

bool isParagraphBreak(QChar c)
{
    return c == u'\r' || c == u'\n' || c == QChar::ParagraphSeparator;
}

// The characters a text cursor would take as frame marks are shown as
// replacement characters so that they stay one ordinary character each.
QChar shownCharacter(QChar c)
{
    if (c == QChar(0xFDD0) || c == QChar(0xFDD1))
        return QChar::ReplacementCharacter;
    return c;
}

// Puts the plain text into the document, one block per paragraph, and
// returns for every plain-text index (and one past the end) its document
// position. "\r\n" is one paragraph break: both characters map to it.
std::vector<int> fillDocument(QTextDocument &document, const QString &plain, const CharState &base,
                              Qt::Alignment alignment)
{
    document.clear();
    QTextCursor cursor(&document);
    QTextBlockFormat blockFormat;
    blockFormat.setAlignment(alignment);
    const QTextCharFormat charFormat = formatOf(base);
    cursor.setBlockFormat(blockFormat);
    cursor.setBlockCharFormat(charFormat);

    std::vector<int> positions(std::size_t(plain.size()) + 1);
    QString segment;
    int docPos = 0;
    for (qsizetype i = 0; i < plain.size(); ++i) {
        const QChar c = plain.at(i);
        positions[std::size_t(i)] = docPos;
        if (!isParagraphBreak(c)) {
            segment += shownCharacter(c);
            ++docPos;
            continue;
        }
        if (c == u'\r' && i + 1 < plain.size() && plain.at(i + 1) == u'\n')
            positions[std::size_t(++i)] = docPos;
        cursor.insertText(segment, charFormat);
        segment.clear();
        cursor.insertBlock(blockFormat, charFormat);
        ++docPos;
    }
    cursor.insertText(segment, charFormat);
    positions.back() = docPos;
    return positions;
}

class MarkupPainter
{
public:
    MarkupPainter(QTextDocument &document, const QPalette &palette)
        : document_(document), palette_(palette), base_(BaseMarkupAttributes(palette)),
          state_(baseCharState(base_))
    {
    }

    void render(const QString &text)
    {
        const ExtractedCodes extracted = ExtractCodes(text);
        positions_ = fillDocument(document_, extracted.plainText, state_, base_.alignment);
        setBackground(base_.background);
        for (const TParamFont &code : extracted.codes)
            apply(ParseMarkupCode(code.Code), code.Pos);
    }

private:
    int documentPosition(std::int32_t pos) const
    {
        const auto index = std::clamp<std::int64_t>(std::int64_t(pos) - 1, 0, std::int64_t(positions_.size()) - 1);
        return positions_[std::size_t(index)];
    }

    QTextCursor selectionToEnd(std::int32_t pos) const
    {
        QTextCursor cursor(&document_);
        cursor.setPosition(documentPosition(pos));
        cursor.setPosition(positions_.back(), QTextCursor::KeepAnchor);
        return cursor;
    }

    void apply(const MarkupCode &code, std::int32_t pos)
    {
        switch (code.kind) {
        case CodeKind::Unknown: return;
        case CodeKind::AddBold: state_.bold = true; break;
        case CodeKind::RemoveBold: state_.bold = false; break;
        case CodeKind::AddItalic: state_.italic = true; break;
        case CodeKind::RemoveItalic: state_.italic = false; break;
        case CodeKind::AddUnderline: state_.underline = true; break;
        case CodeKind::RemoveUnderline: state_.underline = false; break;
        case CodeKind::FontName: state_.family = code.name; break;
        case CodeKind::FontSize:
            state_.pointSize = std::clamp(code.number, MinMarkupPointSize, MaxMarkupPointSize);
            break;
        case CodeKind::FontColor: state_.color = ColorFromValue(code.number, palette_); break;
        case CodeKind::ResetFont: state_ = baseCharState(base_); break;
        case CodeKind::Background: setBackground(ColorFromValue(code.number, palette_)); return;
        case CodeKind::AlignLeft: align(pos, Qt::AlignLeft); return;
        case CodeKind::AlignCenter: align(pos, Qt::AlignHCenter); return;
        case CodeKind::AlignRight: align(pos, Qt::AlignRight); return;
        }
        QTextCursor cursor = selectionToEnd(pos);
        if (cursor.hasSelection())
            cursor.setCharFormat(formatOf(state_));
    }

    // The paragraph holding the code's position and every later one.
    void align(std::int32_t pos, Qt::Alignment alignment)
    {
        QTextCursor cursor = selectionToEnd(pos);
        QTextBlockFormat format;
        format.setAlignment(alignment);
        cursor.mergeBlockFormat(format);
    }

    void setBackground(const QColor &color)
    {
        QTextFrameFormat format = document_.rootFrame()->frameFormat();
        format.setBackground(color);
        document_.rootFrame()->setFrameFormat(format);
    }

    QTextDocument &document_;
    const QPalette &palette_;
    const MarkupBaseAttributes base_;
    CharState state_;
    std::vector<int> positions_;
};

} // namespace

MarkupBaseAttributes BaseMarkupAttributes(const QPalette &palette)
{
    MarkupBaseAttributes base;
    base.family = QStringLiteral("Tahoma");
    base.pointSize = 10;
    base.color = ColorFromValue(SystemColor::WindowText, palette);
    base.alignment = Qt::AlignHCenter;
    base.background = ColorFromValue(SystemColor::InfoBackground, palette);
    return base;
}

void RenderMarkupDocument(QTextDocument &document, const QString &text, const QPalette &palette)
{
    MarkupPainter(document, palette).render(text);
}

QColor MarkupBackground(const QTextDocument &document)
{
    return document.rootFrame()->frameFormat().background().color();
}

} // namespace messages
