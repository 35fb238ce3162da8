#pragma once
// The saved print font file base/Font.res: a one-entry resource file whose
// data is the font dialog component in the platform's binary form-stream
// layout ("TPF0", class name, component name, then the dialog's font
// properties, each with its value-type tag).

#include "core/error.h"
#include "envelope/printfont.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace envelope {

// The font file could not be written; message() is for the user.
class FontFileError : public core::Error {
public:
    FontFileError(const QString &message, const QString &file);
    QString file() const { return m_file; }

private:
    QString m_file;
};

// The file's bytes for a font, with the resource header.
QByteArray encodeFontRes(const PrintFont &font);
// Just the component stream (from "TPF0" on).
QByteArray encodeFontDialogStream(const PrintFont &font);

// Reads a font file (with resource header, or a bare component stream).
// Character set and colour may be identifiers or integers, the height an
// 8-, 16- or 32-bit integer. Anything it cannot read gives no value.
std::optional<PrintFont> decodeFontRes(const QByteArray &bytes);

// The file name of the saved font in a data folder. Names in the data folder
// are matched without regard to letter case, so an existing "font.res" is
// the same file as "Font.res".
QString fontResPath(const QString &dataFolder);

// The saved font, or the default font when the file is missing or unreadable.
PrintFont loadSavedFont(const QString &dataFolder);
// Writes the font file; throws FontFileError when it cannot be written.
void saveFont(const QString &dataFolder, const PrintFont &font);

} // namespace envelope
