#include "store/tableregistry.h"

#include <QFileInfo>
#include <map>

namespace store {

std::shared_ptr<SharedTable> TableRegistry::share(const QString &path, const TableSchema &schema)
{
    static std::map<QString, std::weak_ptr<SharedTable>> tables;
    auto &slot = tables[QFileInfo(path).absoluteFilePath()];
    if (auto table = slot.lock())
        return table;
    auto table = std::make_shared<SharedTable>(path, schema);
    slot = table;
    return table;
}

} // namespace store
