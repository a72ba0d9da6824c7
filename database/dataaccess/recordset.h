#pragma once

#include "database/dataaccess/error.h"
#include "database/dataaccess/provider.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dataaccess {

class Connection;

// Cursor and lock types, as the platform numbers them. Rows are always read
// forward once; the cursor type is accepted for the callers' sake.
namespace cursortype {
inline constexpr int kStatic = 3;
}
namespace locktype {
inline constexpr int kUnspecified = -1;
}

// The rows of a query or a schema rowset, read forward. A record set opened over a
// connection is closed when that connection closes.
class Recordset {
public:
    Recordset() = default;
    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    Status Open(std::string_view sql, Connection& connection, int cursorType = cursortype::kStatic,
                int lockType = locktype::kUnspecified);
    int State() const;
    void Close();

    // Fields.Count, and the name of field `index` (from 0).
    int FieldsCount() const;
    std::string FieldName(int index) const;

    // True once the last row has been passed (the platform's EOF property).
    bool Eof() const;
    Status MoveNext();
    // Field values of the current row; nullopt stands for Null.
    Status Value(std::string_view fieldName, std::optional<std::string>& value) const;
    Status Value(int index, std::optional<std::string>& value) const;

private:
    friend class Connection;
    Status attach(std::unique_ptr<RowSource> rows, Connection& connection);
    Status fetch();

    std::unique_ptr<RowSource> m_rows;
    Connection* m_connection = nullptr;
    std::vector<std::optional<std::string>> m_current;
    bool m_eof = true;
};

} // namespace dataaccess
