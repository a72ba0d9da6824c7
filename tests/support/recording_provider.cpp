#include "support/recording_provider.h"

namespace testsupport {

namespace {

class VectorRows : public dataaccess::RowSource {
public:
    VectorRows(std::vector<std::string> names, std::vector<std::vector<std::optional<std::string>>> rows)
        : m_names(std::move(names)), m_rows(std::move(rows)) {}
    const std::vector<std::string>& fieldNames() const override { return m_names; }
    dataaccess::Status next(std::vector<std::optional<std::string>>& values, bool& hasRow) override {
        hasRow = m_next < m_rows.size();
        if (hasRow)
            values = m_rows[m_next++];
        return {};
    }

private:
    std::vector<std::string> m_names;
    std::vector<std::vector<std::optional<std::string>>> m_rows;
    std::size_t m_next = 0;
};

class RecordingSession : public dataaccess::Session {
public:
    explicit RecordingSession(RecordingLog& log) : m_log(log) {}
    ~RecordingSession() override { ++m_log.closes; }

    dataaccess::Status execute(std::string_view sql) override {
        m_log.statements.emplace_back(sql);
        if (m_log.failAtStatement == static_cast<int>(m_log.statements.size()))
            return m_log.statementFailure;
        ++m_executed;
        return {};
    }

    dataaccess::Status openTablesSchema(std::unique_ptr<dataaccess::RowSource>& rows) override {
        std::vector<std::vector<std::optional<std::string>>> values;
        for (const auto& [name, type] : m_log.tables)
            values.push_back({name, type});
        rows = std::make_unique<VectorRows>(std::vector<std::string>{"TABLE_NAME", "TABLE_TYPE"}, std::move(values));
        return {};
    }

    dataaccess::Status openQuery(std::string_view sql, std::unique_ptr<dataaccess::RowSource>& rows) override {
        m_log.queries.emplace_back(sql);
        const std::string prefix = "SELECT * FROM `";
        std::string table(sql.substr(std::min(sql.size(), prefix.size())));
        if (!table.empty() && table.back() == '`')
            table.pop_back();
        const auto found = m_log.columnCounts.find(table);
        if (found == m_log.columnCounts.end())
            return dataaccess::Error{-2147217865, "The Microsoft Access database engine cannot find the input table "
                                                  "or query '" +
                                                      table +
                                                      "'. Make sure it exists and that its name "
                                                      "is spelled correctly."};
        std::vector<std::string> names;
        for (int i = 0; i < found->second; ++i)
            names.push_back("Field" + std::to_string(i + 1));
        rows = std::make_unique<VectorRows>(std::move(names), std::vector<std::vector<std::optional<std::string>>>{});
        return {};
    }

    dataaccess::Status close() override {
        if (m_log.failAtClose == m_log.closes + 1) {
            m_durable = std::min(m_executed, m_log.durableWhenCloseFails);
            return m_log.closeFailure;
        }
        m_durable = m_executed;
        return {};
    }

    std::uint64_t durableStatements() const override { return m_durable; }

private:
    RecordingLog& m_log;
    std::uint64_t m_executed = 0;
    std::uint64_t m_durable = 0;
};

} // namespace

dataaccess::Status RecordingProvider::open(const dataaccess::ConnectionProperties& properties, int mode,
                                           std::unique_ptr<dataaccess::Session>& session) {
    m_log.opens.push_back(properties);
    m_log.openModes.push_back(mode);
    if (m_log.openFailure)
        return *m_log.openFailure;
    session = std::make_unique<RecordingSession>(m_log);
    return {};
}

dataaccess::ProviderRegistry RecordingProvider::registry(RecordingLog& log) {
    dataaccess::ProviderRegistry providers;
    auto provider = std::make_shared<RecordingProvider>(log);
    providers.add("Microsoft.ACE.OLEDB.12.0", provider);
    providers.add("Microsoft.Jet.OLEDB.4.0", provider);
    return providers;
}

} // namespace testsupport
