// Builds the shipped data folder: each of the six tables with its schema and
// indexes, then its seed rows from <seed folder>/<table>.sql where present.
//   kuvertix-mkbase <data folder> <seed folder>
// A table file that is already there is left alone: it may hold the user's
// addresses, and a rebuild must never replace them.

#include "store/database.h"
#include "store/errors.h"
#include "store/schema.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cstdio>

namespace {

void buildTable(const QString &target, const store::TableSchema &schema, const QDir &seeds)
{
    const QString staging = target + ".new";
    QFile::remove(staging);
    store::TableFile::create(staging, schema);
    QFile seed(seeds.filePath(schema.tableName + ".sql"));
    if (seed.exists()) {
        if (!seed.open(QIODevice::ReadOnly))
            throw store::StoreError(store::StoreError::Kind::WriteFailed, "cannot read " + seed.fileName());
        store::TableFile file(staging, schema);
        file.exec(QString::fromUtf8(seed.readAll()));
    }
    if (!QFile::rename(staging, target))
        throw store::StoreError(store::StoreError::Kind::WriteFailed, "cannot create " + target);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: kuvertix-mkbase <data folder> <seed folder>\n");
        return 2;
    }
    const QDir data(args[1]);
    QDir().mkpath(data.path());
    try {
        for (const store::TableSchema *schema : store::allSchemas()) {
            const QString target = data.filePath(schema->fileName);
            if (!QFile::exists(target))
                buildTable(target, *schema, QDir(args[2]));
        }
    } catch (const store::StoreError &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
