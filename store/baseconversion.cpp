#include "store/baseconversion.h"
#include "store/backupfolder.h"
#include "store/database.h"
#include "store/errors.h"
#include "store/paradoxtable.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <unistd.h>

namespace store {

namespace {

const QString kConvertingSuffix = QStringLiteral(".kuvertix-new");
const QByteArray kSqliteMagic("SQLite format 3\0", 16);

bool isOwnTableFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) && f.read(kSqliteMagic.size()) == kSqliteMagic;
}

// The entry of the folder with that name in any letter case, as a folder
// copied from another system may have it; the name itself when none.
QString entryNamed(const QDir &folder, const QString &name)
{
    if (folder.exists(name))
        return folder.filePath(name);
    for (const QString &entry : folder.entryList(QDir::Files))
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return folder.filePath(entry);
    return folder.filePath(name);
}

// The index and other side files of a Paradox table: the table's name with
// any other extension (AdrList.PX, AdrList.XG0, AdrList.YG0, AdrList.VAL).
QStringList sideFiles(const QDir &folder, const QString &tablePath)
{
    const QFileInfo table(tablePath);
    QStringList files;
    for (const QString &entry : folder.entryList(QDir::Files | QDir::Hidden)) {
        const int dot = entry.indexOf(QLatin1Char('.'));
        if (dot <= 0 || entry.indexOf(QLatin1Char('.'), dot + 1) >= 0 || entry == table.fileName())
            continue;
        if (entry.left(dot).compare(table.completeBaseName(), Qt::CaseInsensitive) == 0)
            files << folder.filePath(entry);
    }
    return files;
}

bool takeKey(QSet<int> &keys, int key)
{
    if (keys.contains(key))
        return false;
    keys.insert(key);
    return true;
}

QString recordsText(int n)
{
    const int tens = n % 100;
    const int ones = n % 10;
    if (ones == 1 && tens != 11)
        return QStringLiteral("%1 запись").arg(n);
    if (ones >= 2 && ones <= 4 && (tens < 12 || tens > 14))
        return QStringLiteral("%1 записи").arg(n);
    return QStringLiteral("%1 записей").arg(n);
}

QString tableLine(const ConvertedTable &t)
{
    QStringList parts{recordsText(t.rows)};
    if (!t.addedFields.isEmpty())
        parts << QStringLiteral("добавлены поля: %1").arg(t.addedFields.join(", "));
    if (!t.leftFields.isEmpty())
        parts << QStringLiteral("не перенесены поля, которых в программе нет: %1").arg(t.leftFields.join(", "));
    if (t.cutTexts > 0)
        parts << QStringLiteral("длинных текстов обрезано по размеру поля: %1").arg(t.cutTexts);
    return QStringLiteral("%1%2 — %3").arg(t.fileName, t.fromParadox ? QStringLiteral(" (Paradox)") : QString(),
                                          parts.join("; "));
}

StoreError conversionError(const StoreError &e)
{
    if (e.kind() == StoreError::Kind::UpgradeFailed)
        return StoreError(e.kind(), e.message() + QStringLiteral(" Файлы в папке данных не изменены."), e.file(),
                          e.cause());
    return StoreError(StoreError::Kind::UpgradeFailed,
                      QStringLiteral("Таблицы прежней версии не удалось перевести в новый формат. %1. "
                                     "Файлы в папке данных не изменены.")
                          .arg(e.message()),
                      e.file(), e.cause());
}

} // namespace

QString convertingName(const QString &fileName)
{
    return fileName + kConvertingSuffix;
}

QString ConversionReport::text() const
{
    if (tables.isEmpty())
        return {};
    QStringList lines{QStringLiteral("Таблицы прежней версии программы переведены в новый формат:")};
    for (const ConvertedTable &t : tables)
        lines << QStringLiteral("• ") + tableLine(t);
    lines << QStringLiteral("Прежние файлы сохранены без изменений в папке «%1».")
                 .arg(QDir::toNativeSeparators(backupFolder));
    return lines.join('\n');
}

BaseConversion::BaseConversion(const QString &dataFolder) : m_folder(dataFolder) {}

ConversionReport BaseConversion::run()
{
    if (m_folder.isEmpty() || !QDir(m_folder).exists())
        return {};
    BackupFolder::restoreUnfinished(m_folder);
    removeNewFiles();
    QVector<Plan> plans = scan();
    if (plans.isEmpty())
        return {};
    if (::access(QFile::encodeName(m_folder).constData(), W_OK) != 0)
        throw StoreError(StoreError::Kind::UpgradeFailed,
                         QStringLiteral("Таблицы в папке данных %1 — от прежней версии программы, и их нужно один раз "
                                        "перевести в новый формат, но папка доступна только для чтения. Разрешите "
                                        "запись в неё и запустите программу ещё раз. Файлы в папке не изменены.")
                             .arg(QDir::toNativeSeparators(m_folder)),
                         m_folder);
    ConversionReport report;
    try {
        for (Plan &plan : plans)
            write(plan);
        report.backupFolder = placeIn(plans);
    } catch (const StoreError &e) {
        removeNewFiles();
        throw conversionError(e);
    } catch (...) {
        removeNewFiles();
        throw;
    }
    for (const Plan &plan : plans)
        report.tables << plan.result;
    return report;
}

QVector<BaseConversion::Plan> BaseConversion::scan() const
{
    const QDir folder(m_folder);
    QVector<Plan> plans;
    for (const TableSchema *schema : allSchemas()) {
        Plan plan;
        plan.schema = schema;
        plan.oldPath = entryNamed(folder, schema->fileName);
        plan.result.fileName = schema->fileName;
        if (!QFileInfo(plan.oldPath).isFile())
            continue;  // opening says the table is missing
        if (isOwnTableFile(plan.oldPath)) {
            if (plan.oldPath != folder.filePath(schema->fileName))
                continue;
            try {
                plan.result.addedFields = TableFile::missingFields(plan.oldPath, *schema);
            } catch (const StoreError &) {
                continue;  // damaged: opening refuses it with its own message
            }
            if (plan.result.addedFields.isEmpty())
                continue;
        } else if (ParadoxTable::isParadoxFile(plan.oldPath)) {
            plan.result.fromParadox = true;
            plan.companions = sideFiles(folder, plan.oldPath);
        } else {
            continue;  // neither: opening refuses it as damaged
        }
        plans << plan;
    }
    return plans;
}

void BaseConversion::write(Plan &plan) const
{
    if (plan.result.fromParadox) {
        writeFromParadox(plan);
        return;
    }
    for (const QString &name : plan.result.addedFields)
        if (plan.schema->fields[plan.schema->fieldIndex(name)].type == FieldType::AutoInc)
            throw StoreError(StoreError::Kind::UpgradeFailed,
                             QStringLiteral("В таблице %1 нет поля номера %2, и его нельзя добавить к записям.")
                                 .arg(QDir::toNativeSeparators(plan.oldPath), name),
                             plan.oldPath);
    plan.result.rows = TableFile::copyAddingFields(plan.oldPath, newPath(plan), *plan.schema);
}

void BaseConversion::writeFromParadox(Plan &plan) const
{
    const TableSchema &schema = *plan.schema;
    ParadoxTable source(plan.oldPath);
    source.bind(schema);
    plan.result.addedFields = source.absentFields();
    plan.result.leftFields = source.unboundFields();
    TableFile::create(newPath(plan), schema, false);
    TableFile target(newPath(plan), schema);
    int key = -1;
    for (int i = 0; i < schema.fields.size(); ++i)
        if (schema.fields[i].type == FieldType::AutoInc)
            key = i;
    QSet<int> keys;
    StoredRow row;
    target.beginBatch();
    for (int i = 0; i < source.recordCount(); ++i) {
        source.read(i, row);
        if (key >= 0 && !row.values[key].isNull() && !takeKey(keys, row.values[key].toInt()))
            throw StoreError(StoreError::Kind::UpgradeFailed,
                             QStringLiteral("В таблице прежней версии %1 номер %2 = %3 встречается дважды.")
                                 .arg(QDir::toNativeSeparators(plan.oldPath), schema.fields[key].name)
                                 .arg(row.values[key].toInt()),
                             plan.oldPath);
        target.insertWithKey(row);
    }
    target.commitBatch();
    target.createIndexes();
    plan.result.rows = source.recordCount();
    plan.result.cutTexts = source.cutTexts();
}

// The old files go into the backup folder, then the new ones take their
// names; the folder gets its final name last. Any failure on the way puts
// the old files back.
QString BaseConversion::placeIn(const QVector<Plan> &plans) const
{
    BackupFolder backup(m_folder);
    try {
        bool paradox = false;
        for (const Plan &plan : plans) {
            backup.moveIn(plan.oldPath);
            for (const QString &side : plan.companions)
                backup.moveIn(side);
            paradox = paradox || plan.result.fromParadox;
        }
        if (paradox)
            for (const QString &lock : lockFiles())
                backup.moveIn(lock);
        for (const Plan &plan : plans)
            if (!replaceFile(newPath(plan), finalPath(plan)))
                throw StoreError(StoreError::Kind::UpgradeFailed,
                                 QStringLiteral("Не удаётся переименовать файл %1.")
                                     .arg(QDir::toNativeSeparators(newPath(plan))),
                                 newPath(plan));
        syncFolder(m_folder);
        return backup.finish();
    } catch (...) {
        backup.restore();
        throw;
    }
}

QString BaseConversion::newPath(const Plan &plan) const
{
    return QDir(m_folder).filePath(convertingName(plan.schema->fileName));
}

QString BaseConversion::finalPath(const Plan &plan) const
{
    return QDir(m_folder).filePath(plan.schema->fileName);
}

// What an interrupted or failed conversion left: the new files and their
// journals. Nothing else of the folder is touched.
void BaseConversion::removeNewFiles() const
{
    const QDir folder(m_folder);
    for (const TableSchema *schema : allSchemas())
        for (const QString &suffix : {QString(), QStringLiteral("-journal")})
            QFile::remove(folder.filePath(convertingName(schema->fileName) + suffix));
}

// The lock files of the engine that kept the Paradox tables.
QStringList BaseConversion::lockFiles() const
{
    const QDir folder(m_folder);
    QStringList locks;
    for (const QString &entry : folder.entryList(QDir::Files | QDir::Hidden))
        if (entry.endsWith(QLatin1String(".lck"), Qt::CaseInsensitive)
            || entry.compare(QLatin1String("PDOXUSRS.NET"), Qt::CaseInsensitive) == 0)
            locks << folder.filePath(entry);
    return locks;
}

} // namespace store
