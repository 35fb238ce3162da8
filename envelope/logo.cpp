#include "envelope/logo.h"

#include "envelope/datafiles.h"

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

std::optional<QImage> readPicture(const QString &path)
{
    if (fileSizeOrMissing(path) <= 0)
        return std::nullopt;
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (size.isValid() && (size.width() > MaxLogoSide || size.height() > MaxLogoSide))
        reader.setScaledSize(size.scaled(MaxLogoSide, MaxLogoSide, Qt::KeepAspectRatio));
    QImage image = reader.read();
    if (image.isNull())
        return std::nullopt;
    return image;
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
    QFile target(logoFile);
    if (!target.open(QIODevice::WriteOnly | QIODevice::Truncate) || target.write(bytes) != bytes.size())
        throw LogoFileError(QStringLiteral("Не удалось сохранить логотип в файл «%1»: %2.")
                                .arg(QDir::toNativeSeparators(logoFile), target.errorString()));
}

} // namespace envelope
