#include "addressbook/importmarker.h"

#include "core/error.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace addressbook {

namespace {

const char *const kMarkerName = "import.running";

// The largest key the recipients hold: every row the import adds gets a
// larger one.
int largestKey(store::Cursor &recipients)
{
    const int key = recipients.fieldIndex(QStringLiteral("N"));
    int largest = 0;
    for (int row = 0; row < recipients.viewRowCount(); ++row)
        largest = std::max(largest, recipients.valueAt(row, key).toInt());
    return largest;
}

} // namespace

QString ImportMarker::markerPath(const store::Cursor &recipients)
{
    return QDir(recipients.databaseLocation()).filePath(QString::fromUtf8(kMarkerName));
}

ImportMarker::ImportMarker(store::Cursor &recipients, const QString &sourceFile, int rowCount)
    : m_path(markerPath(recipients))
{
    // Written whole or not at all, so that a kill while writing leaves no
    // half a mark.
    QSaveFile file(m_path);
    const QString text = QStringLiteral("file=%1\nrows=%2\nafter=%3\n")
                             .arg(sourceFile)
                             .arg(rowCount)
                             .arg(largestKey(recipients));
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0 || !file.commit())
        throw core::Error(QStringLiteral("Не удалось начать импорт: не записывается файл %1.")
                              .arg(QDir::toNativeSeparators(m_path)),
                          file.errorString());
}

ImportMarker::~ImportMarker()
{
    QFile::remove(m_path);
}

QString ImportMarker::interruptedNotice(store::Cursor &recipients)
{
    const QString path = markerPath(recipients);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QString source;
    int rows = 0;
    int after = -1;
    for (const QByteArray &line : file.readAll().split('\n')) {
        const QString text = QString::fromUtf8(line);
        const QString value = text.section(QLatin1Char('='), 1);
        if (text.startsWith(QLatin1String("file=")))
            source = value;
        else if (text.startsWith(QLatin1String("rows=")))
            rows = value.toInt();
        else if (text.startsWith(QLatin1String("after=")))
            after = value.toInt();
    }
    file.close();
    int stored = 0;
    const int key = recipients.fieldIndex(QStringLiteral("N"));
    for (int row = 0; row < recipients.viewRowCount(); ++row)
        stored += after >= 0 && recipients.valueAt(row, key).toInt() > after;
    QFile::remove(path);
    return QStringLiteral("Последний импорт адресатов из файла «%1» был прерван: программа завершилась, "
                          "не закончив его. В базе адресатов из него %2 из %3 строк. Проверьте "
                          "последних добавленных адресатов и при необходимости загрузите оставшиеся "
                          "строки ещё раз.")
        .arg(QDir::toNativeSeparators(source))
        .arg(stored)
        .arg(rows);
}

} // namespace addressbook
