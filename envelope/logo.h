#pragma once
// The logo picture: its file in the data folder, its extension as the
// settings row keeps it, and loading pictures of any size safely.

#include "core/error.h"

#include <QImage>
#include <QSize>
#include <QString>
#include <optional>

namespace envelope {

constexpr int LogoExtCapacity = 10;
// A loaded picture is at most this many pixels on its longer side; larger
// files are scaled while they are read, so a huge picture never needs its
// full size in memory.
constexpr int MaxLogoSide = 2048;
// Pictures of more pixels than this (as their header declares) are refused:
// decoding them would hold the window for many seconds.
constexpr qint64 MaxLogoPixels = 50'000'000;

// The extension of a chosen file with its dot, letter case as given
// ("sun.JPEG" -> ".JPEG"), cut to 10 characters; empty when it has none.
QString logoExtension(const QString &fileName);

// The filter of the logo file dialog: first every picture format the
// loader reads (JPEG and bitmaps first), then all files.
QString pictureFileFilter();

// programFolder + "base/Logo" + extension.
QString logoFilePath(const QString &programFolder, const QString &extension);

// Size of a file in bytes, -1 when it does not exist.
qint64 fileSizeOrMissing(const QString &path);

// A picture read from a file, or why there is none.
struct PictureFile {
    enum class Problem { None, Missing, Empty, Unreadable, TooLarge };
    QImage image;
    Problem problem = Problem::None;
    QSize size;  // as the file declares it, when known

    bool ok() const { return problem == Problem::None; }
    // The text of the error box for a picture the user chose.
    QString message() const;
};

// Reads a picture with the image readers (BMP, JPEG, PNG, ...). Pictures
// larger than MaxLogoSide are scaled while they are read where the format
// allows it (JPEG); others whose full size would not fit the readers'
// memory limit are refused as too large rather than loaded.
PictureFile readPicture(const QString &path);

// The file could not be stored as the logo; message() is for the user.
class LogoFileError : public core::Error {
public:
    explicit LogoFileError(const QString &message);
};

// Copies the chosen picture file as it is (so it keeps its own format) to
// the logo file, replacing an existing one. Throws LogoFileError.
void storeLogoFile(const QString &chosenFile, const QString &logoFile);

} // namespace envelope
