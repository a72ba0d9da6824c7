#include "database/storage/engine/statements.h"

#include "database/storage/catalog/property_blob.h"
#include "database/storage/engine/catalog_registration.h"
#include "database/storage/engine/new_table_storage.h"
#include "database/storage/errors.h"
#include "database/storage/format/text_codec.h"
#include "database/storage/sql/sql_errors.h"
#include "database/storage/write/literal_conversion.h"
#include "database/storage/write/table_definition_writer.h"
#include "database/storage/write/write_errors.h"

#include <algorithm>
#include <set>

namespace storage {

namespace {

constexpr std::size_t kMaxNameLength = 64;
constexpr std::size_t kMaxColumns = 255;
constexpr long long kMaxTextLength = 255;
constexpr long long kMaxBinaryLength = 510;

// Jet's rule for table and field names: 1 to 64 characters, no control characters,
// none of . ! ` [ ], and no leading space.
bool isValidName(std::string_view name) {
    const std::u16string units = utf8ToUtf16(name);
    if (units.empty() || units.size() > kMaxNameLength || units.front() == u' ')
        return false;
    return std::none_of(units.begin(), units.end(), [](char16_t c) {
        return c < 0x20 || c == u'.' || c == u'!' || c == u'`' || c == u'[' || c == u']';
    });
}

struct TypeChoice {
    ColumnType type;
    bool autoNumber = false;
};

// The column type of a DDL type name (as the parser upper-cases it).
std::optional<TypeChoice> columnTypeFor(const std::string& name, FileFormat format) {
    static const std::map<std::string, TypeChoice> types = {
        {"TEXT", {ColumnType::Text}},          {"VARCHAR", {ColumnType::Text}},
        {"CHAR", {ColumnType::Text}},          {"CHARACTER", {ColumnType::Text}},
        {"CHARACTER VARYING", {ColumnType::Text}}, {"ALPHANUMERIC", {ColumnType::Text}},
        {"STRING", {ColumnType::Text}},        {"NCHAR", {ColumnType::Text}},
        {"NVARCHAR", {ColumnType::Text}},      {"NATIONAL CHAR", {ColumnType::Text}},
        {"NATIONAL CHAR VARYING", {ColumnType::Text}}, {"NATIONAL CHARACTER", {ColumnType::Text}},
        {"NATIONAL CHARACTER VARYING", {ColumnType::Text}},
        {"MEMO", {ColumnType::Memo}},          {"LONGTEXT", {ColumnType::Memo}},
        {"LONGCHAR", {ColumnType::Memo}},      {"NOTE", {ColumnType::Memo}},
        {"NTEXT", {ColumnType::Memo}},
        {"BINARY", {ColumnType::Binary}},      {"VARBINARY", {ColumnType::Binary}},
        {"LONGBINARY", {ColumnType::Ole}},     {"OLEOBJECT", {ColumnType::Ole}},
        {"IMAGE", {ColumnType::Ole}},          {"GENERAL", {ColumnType::Ole}},
        {"BIT", {ColumnType::Boolean}},        {"BOOLEAN", {ColumnType::Boolean}},
        {"LOGICAL", {ColumnType::Boolean}},    {"LOGICAL1", {ColumnType::Boolean}},
        {"YESNO", {ColumnType::Boolean}},
        {"BYTE", {ColumnType::Byte}},          {"INTEGER1", {ColumnType::Byte}},
        {"TINYINT", {ColumnType::Byte}},
        {"SHORT", {ColumnType::Integer}},      {"SMALLINT", {ColumnType::Integer}},
        {"INTEGER2", {ColumnType::Integer}},
        {"LONG", {ColumnType::Long}},          {"INT", {ColumnType::Long}},
        {"INTEGER", {ColumnType::Long}},       {"INTEGER4", {ColumnType::Long}},
        {"COUNTER", {ColumnType::Long, true}}, {"AUTOINCREMENT", {ColumnType::Long, true}},
        {"IDENTITY", {ColumnType::Long, true}},
        {"REAL", {ColumnType::Single}},        {"SINGLE", {ColumnType::Single}},
        {"FLOAT4", {ColumnType::Single}},      {"IEEESINGLE", {ColumnType::Single}},
        {"DOUBLE", {ColumnType::Double}},      {"FLOAT", {ColumnType::Double}},
        {"FLOAT8", {ColumnType::Double}},      {"IEEEDOUBLE", {ColumnType::Double}},
        {"NUMBER", {ColumnType::Double}},
        {"CURRENCY", {ColumnType::Currency}},  {"MONEY", {ColumnType::Currency}},
        {"DATE", {ColumnType::DateTime}},      {"DATETIME", {ColumnType::DateTime}},
        {"TIME", {ColumnType::DateTime}},      {"TIMESTAMP", {ColumnType::DateTime}},
        {"GUID", {ColumnType::Guid}},          {"UNIQUEIDENTIFIER", {ColumnType::Guid}},
        {"DECIMAL", {ColumnType::Decimal}},    {"DEC", {ColumnType::Decimal}},
        {"NUMERIC", {ColumnType::Decimal}},
        {"BIGINT", {ColumnType::BigInt}},
    };
    auto found = types.find(name);
    if (found == types.end())
        return std::nullopt;
    // Large numbers came with the Access 2016 format.
    if (found->second.type == ColumnType::BigInt && (format == FileFormat::Jet4 || format == FileFormat::Ace12 ||
                                                     format == FileFormat::Ace14))
        return std::nullopt;
    return found->second;
}

Result<NewColumn> newColumnFor(const sql::ColumnSpec& spec, FileFormat format) {
    auto choice = columnTypeFor(spec.typeName, format);
    if (!choice)
        return sql::errors::invalidFieldType();
    NewColumn column;
    column.name = spec.name;
    column.type = choice->type;
    column.autoNumber = choice->autoNumber;
    if (column.type == ColumnType::Text) {
        const long long size = spec.size.value_or(kMaxTextLength);
        if (size < 0 || size > kMaxTextLength)
            return sql::errors::invalidFieldType();
        column.size = static_cast<uint16_t>(size == 0 ? kMaxTextLength : size);
    } else if (column.type == ColumnType::Binary) {
        const long long size = spec.size.value_or(kMaxBinaryLength);
        if (size < 0 || size > kMaxBinaryLength)
            return sql::errors::invalidFieldType();
        column.size = static_cast<uint16_t>(size == 0 ? kMaxBinaryLength : size);
    } else if (column.type == ColumnType::Decimal && spec.size) {
        if (*spec.size < 1 || *spec.size > 28)
            return sql::errors::invalidFieldType();
        column.precision = static_cast<uint8_t>(*spec.size);
    }
    column.compressedUnicode = column.type == ColumnType::Text || column.type == ColumnType::Memo;
    return column;
}

const CatalogEntry* localTable(const Catalog& catalog, std::string_view name) {
    const CatalogEntry* entry = catalog.findInTables(name);
    return entry && entry->type == object_type::kLocalTable ? entry : nullptr;
}

bool propertyIsTrue(const PropertyValue& value) {
    return std::any_of(value.bytes.begin(), value.bytes.end(), [](uint8_t byte) { return byte != 0; });
}

// The Required, AllowZeroLength and ValidationRule properties Access keeps for a
// table's columns. Tables made by DDL have none.
Status checkColumnProperties(const CatalogEntry& table, const TableDefinition& def, const std::vector<Value>& row) {
    if (table.properties.empty())
        return Status::ok();
    const PropertyBlob blob = parsePropertyBlob(table.properties);
    for (std::size_t i = 0; i < def.columns.size(); ++i) {
        auto found = blob.find(def.columns[i].name);
        if (found == blob.end())
            continue;
        const auto& properties = found->second;
        const std::string field = table.name + "." + def.columns[i].name;
        if (auto rule = properties.find("ValidationRule"); rule != properties.end() && !rule->second.bytes.empty())
            return Error{0, "The field '" + field + "' has a validation rule, which this version cannot check.",
                         ErrorKind::NotSupported};
        if (auto required = properties.find("Required");
            required != properties.end() && propertyIsTrue(required->second) && row[i].isNull() &&
            !def.columns[i].isAutoNumber())
            return Error{3314, "The field '" + field +
                                   "' cannot contain a Null value because the Required property for this field is "
                                   "set to True.  Enter a value in this field.",
                         ErrorKind::Failed};
        const std::string* text = std::get_if<std::string>(&row[i].storage());
        if (auto zeroLength = properties.find("AllowZeroLength");
            zeroLength != properties.end() && !propertyIsTrue(zeroLength->second) && text && text->empty())
            return Error{3315, "Field '" + field + "' cannot be a zero-length string.", ErrorKind::Failed};
    }
    if (auto tableRule = blob.find(""); tableRule != blob.end()) {
        auto rule = tableRule->second.find("ValidationRule");
        if (rule != tableRule->second.end() && !rule->second.bytes.empty())
            return Error{0, "The table '" + table.name + "' has a validation rule, which this version cannot check.",
                         ErrorKind::NotSupported};
    }
    return Status::ok();
}

} // namespace

Status createTable(WriteTarget target, const sql::CreateTable& statement) {
    if (statement.columns.size() > kMaxColumns)
        return sql::errors::tooManyFields();
    std::vector<NewColumn> columns;
    int autoNumbers = 0;
    for (const sql::ColumnSpec& spec : statement.columns) {
        auto column = newColumnFor(spec, target.database.format());
        if (!column)
            return column.error();
        if (column->autoNumber && ++autoNumbers > 1)
            return sql::errors::invalidFieldType(); // one AutoNumber per table
        columns.push_back(std::move(*column));
    }
    return createTable(target, statement.table, columns, {});
}

Status createTable(WriteTarget target, const std::string& name, const std::vector<NewColumn>& columns,
                   const std::vector<NewIndex>& indexes) {
    Database& database = target.database;
    if (!isValidName(name))
        return sql::errors::invalidName(name);
    if (database.catalog().findInTables(name))
        return sql::errors::tableExists(name);
    if (columns.size() > kMaxColumns)
        return sql::errors::tooManyFields();
    std::set<std::u32string> seen;
    for (const NewColumn& column : columns) {
        if (!isValidName(column.name))
            return sql::errors::invalidName(column.name);
        if (!seen.insert(foldedName(column.name)).second)
            return sql::errors::fieldDefinedTwice();
    }

    const DatabaseHeader& header = database.header();
    TableDefinition def = layoutNewTable(columns, header.sortOrder, header.sortOrderVersion);
    TableDefinitionFormat format;
    format.databaseLcid = header.sortOrder;
    format.ace = header.isAce();
    auto written = writeNewTable(target.pager, std::move(def), indexes, format);
    if (!written)
        return written.error();
    if (Status status = registerNewTable(database, target.writers, written->firstPage, name, localTimeNow()); !status)
        return status;
    return database.reloadCatalog();
}

Status insertRow(WriteTarget target, const sql::Insert& statement) {
    Database& database = target.database;
    const CatalogEntry* table = localTable(database.catalog(), statement.table);
    if (!table) {
        if (database.catalog().findInTables(statement.table))
            return errors::unsupported("Rows can only be added to tables of this database, not to linked tables or "
                                       "queries.");
        return errors::tableNotFound(statement.table, database.engine());
    }
    auto writer = target.writers.get(static_cast<uint32_t>(table->id), table->name);
    if (!writer)
        return writer.error();
    const TableDefinition& def = (*writer)->definition();

    // Which column each value goes to: the field list's, or every column in order.
    std::vector<std::size_t> targets;
    const bool inColumnOrder = statement.fields.empty();
    if (!inColumnOrder) {
        for (const std::string& field : statement.fields) {
            const std::u32string wanted = foldedName(field);
            auto at = std::find_if(def.columns.begin(), def.columns.end(),
                                   [&](const ColumnDefinition& column) { return foldedName(column.name) == wanted; });
            if (at == def.columns.end())
                return sql::errors::unknownField(field);
            targets.push_back(static_cast<std::size_t>(at - def.columns.begin()));
        }
    }
    if ((inColumnOrder ? def.columns.size() : targets.size()) != statement.values.size())
        return write_errors::valueCountMismatch();

    std::vector<Value> row(def.columns.size());
    for (std::size_t i = 0; i < statement.values.size(); ++i) {
        const std::size_t to = inColumnOrder ? i : targets[i];
        const ColumnDefinition& column = def.columns[to];
        const sql::Literal& literal = statement.values[i];
        const bool empty = literal.kind == sql::Literal::Kind::Null ||
                           (literal.kind == sql::Literal::Kind::String && literal.text.empty());
        if (empty && (column.isAutoNumber() || column.isGuidAutoNumber()))
            continue; // the next number
        if (convertTextIntoText(literal, column, row[to]))
            continue;
        auto value = convertLiteral(literal, column);
        if (!value)
            return value.error();
        row[to] = std::move(*value);
    }
    if (Status status = checkColumnProperties(*table, def, row); !status)
        return status;
    return (*writer)->insert(std::move(row));
}

} // namespace storage
