#pragma once

#include "database/storage/engine/table_writer.h"

#include <map>
#include <memory>
#include <string>

namespace storage {

// The writers of the tables a session has written to, by definition page, so that
// an import's rows do not read the table's definition and maps again for every row.
// They hold what the pages said when they were loaded: drop them whenever changes
// are rolled back.
class TableWriters {
public:
    TableWriters(Pager& pager, FileFormat format) : m_pager(pager), m_format(format) {}

    Result<TableWriter*> get(uint32_t definitionPage, const std::string& name) {
        auto found = m_writers.find(definitionPage);
        if (found == m_writers.end()) {
            auto loaded = TableWriter::load(m_pager, m_format, definitionPage, name);
            if (!loaded)
                return loaded.error();
            found = m_writers.emplace(definitionPage, std::move(*loaded)).first;
            found->second->setRelatedTables([this](uint32_t page) { return get(page, relatedName(page)); });
        }
        return found->second.get();
    }
    void setNames(std::function<std::string(uint32_t)> names) { m_names = std::move(names); }
    void clear() { m_writers.clear(); }
    Status writePending() {
        for (auto& [page, writer] : m_writers)
            if (Status status = writer->writePending(); !status)
                return status;
        return Status::ok();
    }
    IndexWriter::LateWork lateWork() {
        IndexWriter::LateWork work;
        for (auto& [page, writer] : m_writers)
            work += writer->lateWork();
        return work;
    }
    void keepStatement() {
        for (auto& [page, writer] : m_writers)
            writer->keepStatement();
    }
    void dropStatement() {
        for (auto& [page, writer] : m_writers)
            writer->dropStatement();
    }

private:
    std::string relatedName(uint32_t page) const { return m_names ? m_names(page) : std::string(); }

    Pager& m_pager;
    FileFormat m_format;
    std::map<uint32_t, std::unique_ptr<TableWriter>> m_writers;
    std::function<std::string(uint32_t)> m_names;
};

} // namespace storage
