#include "envelope/logo.h"

#include "envelope/datafiles.h"
#include "report/oserror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace envelope {

QString logoExtension(const QString &fileName)
{
    const QString name = QFileInfo(fileName).fileName();
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return QString();
    return name.mid(dot).left(LogoExtCapacity);
}

QString logoFilePath(const QString &programFolder, const QString &extension)
{
    return QDir(dataFolderOf(programFolder)).filePath(QStringLiteral("Logo") + extension);
}

qint64 fileSizeOrMissing(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() && info.isFile() ? info.size() : -1;
}

QString PictureFile::message() const
{
    if (problem == Problem::TooLarge)
        return QStringLiteral("Картинка слишком большая (%1 × %2 точек). Уменьшите её в "
                              "графическом редакторе или сохраните в формате JPEG и выберите "
                              "снова.").arg(size.width()).arg(size.height());
    return QStringLiteral("Файл повреждён или имеет неподдерживаемый формат");
}

QString pictureFileFilter()
{
    QStringList patterns{QStringLiteral("*.jpg"), QStringLiteral("*.bmp")};
    for (const QByteArray &format : QImageReader::supportedImageFormats()) {
        const QString pattern = QStringLiteral("*.") + QString::fromLatin1(format).toLower();
        if (!patterns.contains(pattern))
            patterns << pattern;
    }
    return QStringLiteral("Файлы картинок (%1);;Все файлы (*)").arg(patterns.join(QLatin1Char(' ')));
}

PictureFile readPicture(const QString &path)
{
    PictureFile result;
    const qint64 bytes = fileSizeOrMissing(path);
    if (bytes <= 0) {
        result.problem = bytes < 0 ? PictureFile::Problem::Missing : PictureFile::Problem::Empty;
        return result;
    }
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    result.size = reader.size();
    // The size comes from the file's header: a picture beyond the limit is
    // refused before a single pixel is decoded.
    if (result.size.isValid() && qint64(result.size.width()) * result.size.height() > MaxLogoPixels) {
        result.problem = PictureFile::Problem::TooLarge;
        return result;
    }
    const bool large = result.size.isValid()
        && (result.size.width() > MaxLogoSide || result.size.height() > MaxLogoSide);
    if (large)
        reader.setScaledSize(result.size.scaled(MaxLogoSide, MaxLogoSide, Qt::KeepAspectRatio));
    result.image = reader.read();
    if (result.image.isNull())
        result.problem = large ? PictureFile::Problem::TooLarge : PictureFile::Problem::Unreadable;
    return result;
}

LogoFileError::LogoFileError(const QString &message)
    : std::runtime_error(message.toStdString()), m_message(message)
{
}

void storeLogoFile(const QString &chosenFile, const QString &logoFile)
{
    if (QFileInfo(chosenFile).canonicalFilePath() == QFileInfo(logoFile).canonicalFilePath()
        && QFileInfo::exists(logoFile))
        return;
    QFile source(chosenFile);
    if (!source.open(QIODevice::ReadOnly))
        throw LogoFileError(QStringLiteral("Не удалось прочитать файл «%1»: %2.")
                                .arg(QDir::toNativeSeparators(chosenFile), source.errorString()));
    const QByteArray bytes = source.readAll();
    if (source.error() != QFileDevice::NoError)
        throw LogoFileError(QStringLiteral("Не удалось прочитать файл «%1»: %2.")
                                .arg(QDir::toNativeSeparators(chosenFile), source.errorString()));
    const QString cause = replaceFileAtomically(logoFile, bytes);
    if (!cause.isEmpty())
        throw LogoFileError(QStringLiteral("%1: не удалось сохранить логотип в файл «%2». Прежний файл не изменён.")
                                .arg(report::capitalized(cause), QDir::toNativeSeparators(logoFile)));
}

} // namespace envelope
