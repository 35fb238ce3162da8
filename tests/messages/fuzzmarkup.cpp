// libFuzzer target for the markup: code extraction, code parsing and the
// rendering of a message text into a laid-out text document. Any text must
// be handled without a crash, an endless loop or an out-of-bounds access,
// and extraction must keep its invariants.

#include "messages/integertext.h"
#include "messages/markupcodes.h"
#include "messages/markupdocument.h"

#include <QAbstractTextDocumentLayout>
#include <QGuiApplication>
#include <QTextDocument>

#include <cstdint>
#include <cstdlib>
#include <cstdio>

namespace {

[[noreturn]] void broken(const char *what)
{
    std::fprintf(stderr, "markup invariant broken: %s\n", what);
    std::abort();
}

void checkExtraction(const QString &text, const messages::ExtractedCodes &extracted)
{
    if (extracted.codes.size() > messages::MaxCodesPerText)
        broken("more codes than the list holds");
    qsizetype removed = 0;
    std::int32_t previous = 1;
    for (const messages::TParamFont &code : extracted.codes) {
        if (code.Code.size() < 2 || !code.Code.startsWith(u'{') || !code.Code.endsWith(u'}'))
            broken("a code is not in braces");
        if (code.Pos < previous || code.Pos > extracted.plainText.size() + 1)
            broken("a code position is out of order or past the end");
        previous = code.Pos;
        removed += code.Code.size();
    }
    if (extracted.codes.size() < messages::MaxCodesPerText && extracted.plainText.size() + removed != text.size())
        broken("characters were lost or invented");
    if (extracted.plainText.size() > text.size())
        broken("plain text longer than the text");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const messages::ExtractedCodes extracted = messages::ExtractCodes(text);
    checkExtraction(text, extracted);

    for (const messages::TParamFont &code : extracted.codes) {
        try {
            messages::ParseMarkupCode(code.Code);
        } catch (const messages::InvalidIntegerError &error) {
            if (!QString::fromUtf8(error.what()).contains(QStringLiteral("is not a valid")))
                broken("conversion error without its wording");
        }
    }

    QTextDocument document;
    try {
        messages::RenderMarkupDocument(document, text, QGuiApplication::palette());
    } catch (const messages::InvalidIntegerError &) {
        // The plain text and the codes before the bad one stay rendered.
    }
    document.setTextWidth(400);
    document.documentLayout()->documentSize();
    // Lets the font cache's cleaning timer run, as the program's event loop would.
    QCoreApplication::processEvents();
    return 0;
}
