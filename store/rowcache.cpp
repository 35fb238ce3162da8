#include "store/rowcache.h"
#include "store/database.h"

#include <algorithm>

namespace store {

bool RowCache::fresh()
{
    return m_valid && m_changes == m_file.totalChanges() && m_dataVersion == m_file.dataVersion();
}

void RowCache::reload()
{
    m_valid = false;
    std::vector<Entry> rows;
    rows.reserve(m_rows.size());
    m_file.readPacked([&rows](qint64 id, QByteArray &&row) { rows.push_back({id, std::move(row)}); });
    m_rows.swap(rows);
    rows = {};
    ++m_reloads;
    stamp();
    m_valid = true;
}

void RowCache::stamp()
{
    ++m_generation;
    m_changes = m_file.totalChanges();
    m_dataVersion = m_file.dataVersion();
}

bool RowCache::changedElsewhere()
{
    return !m_valid || m_dataVersion != m_file.dataVersion();
}

const std::vector<RowCache::Entry> &RowCache::rows()
{
    if (!fresh())
        reload();
    return m_rows;
}

std::vector<RowCache::Entry>::iterator RowCache::find(qint64 id)
{
    return std::lower_bound(m_rows.begin(), m_rows.end(), id,
                            [](const Entry &e, qint64 wanted) { return e.id < wanted; });
}

bool RowCache::row(qint64 id, QByteArray &out)
{
    if (!fresh())
        reload();
    auto it = find(id);
    if (it == m_rows.end() || it->id != id)
        return false;
    out = it->row;
    return true;
}

const QByteArray *RowCache::held(qint64 id)
{
    if (!m_valid)
        return nullptr;
    auto it = find(id);
    return it != m_rows.end() && it->id == id ? &it->row : nullptr;
}

RowCache::WriteTicket RowCache::beforeWrite()
{
    return {m_valid && m_changes == m_file.totalChanges()};
}

void RowCache::written(const WriteTicket &ticket, qint64 id, const QByteArray &row)
{
    ++m_generation;
    if (!ticket.inStep) {
        m_valid = false;
        return;
    }
    auto it = find(id);
    if (it != m_rows.end() && it->id == id)
        it->row = row;
    else
        m_rows.insert(it, {id, row});
    m_changes = m_file.totalChanges();
}

void RowCache::removed(const WriteTicket &ticket, qint64 id)
{
    ++m_generation;
    if (!ticket.inStep) {
        m_valid = false;
        return;
    }
    auto it = find(id);
    if (it != m_rows.end() && it->id == id)
        m_rows.erase(it);
    m_changes = m_file.totalChanges();
}

} // namespace store
