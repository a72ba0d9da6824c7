// The engine's system tables as Access-made files define them (read from the
// empty databases Access and the Jet 4 engine create; identical in every format
// except where noted).

#include "database/storage/create/system_tables.h"

#include <algorithm>
#include <cctype>

namespace storage {

namespace {

// Descriptor flags seen on system columns.
constexpr uint8_t kFixed = 0x13;        // fixed length, updatable, system
constexpr uint8_t kVariable = 0x12;     // variable length, updatable, system
constexpr uint8_t kSystemBinary = 0x32; // the SID columns
constexpr uint8_t kFixedAutoNumber = 0x17;
constexpr uint8_t kPlainFixed = 0x03; // the ACE template tables carry user-column flags
constexpr uint8_t kPlainVariable = 0x02;
constexpr uint8_t kAttachmentColumn = 0x10; // extended flag on every column of the attachment template

constexpr uint8_t kUnique = 0x81;          // unique
constexpr uint8_t kRequired = 0x88;        // required, not unique
constexpr uint8_t kIgnoreNulls = 0x82;     // ignore nulls, not unique
constexpr uint8_t kRequiredNoNulls = 0x8A; // required, ignore nulls
constexpr uint8_t kUniqueRequiredNoNulls = 0x8B;

constexpr uint32_t kEngineObject = 0x80000000;
constexpr uint32_t kComplexTemplate = 0x80030000;

SystemTable complexTypeTable(const std::string& suffix, SystemColumn value) {
    return {"MSysComplexType_" + suffix, 'N', kComplexTemplate, {std::move(value)}, {}};
}

bool nameLess(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
    });
}

uint16_t columnNumber(const SystemTable& table, const std::string& name) {
    for (std::size_t i = 0; i < table.columns.size(); ++i)
        if (table.columns[i].name == name)
            return static_cast<uint16_t>(i);
    return 0xFFFF; // a typo in the tables above; the fixture comparison catches it
}

} // namespace

const std::vector<SystemTable>& jetSystemTables() {
    static const std::vector<SystemTable> tables{
        {"MSysObjects",
         'S',
         kEngineObject,
         {
             {"Id", ColumnType::Long, kFixed, 4},
             {"ParentId", ColumnType::Long, kFixed, 4},
             {"Name", ColumnType::Text, kVariable, 510},
             {"Type", ColumnType::Integer, kFixed, 2},
             {"DateCreate", ColumnType::DateTime, kFixed, 8},
             {"DateUpdate", ColumnType::DateTime, kFixed, 8},
             {"Owner", ColumnType::Binary, kSystemBinary, 510},
             {"Flags", ColumnType::Long, kFixed, 4},
             {"Database", ColumnType::Memo, kVariable, 0},
             {"Connect", ColumnType::Memo, kVariable, 0},
             {"ForeignName", ColumnType::Text, kVariable, 510},
             {"RmtInfoShort", ColumnType::Binary, kVariable, 510},
             {"RmtInfoLong", ColumnType::Ole, kVariable, 0},
             {"Lv", ColumnType::Ole, kVariable, 0},
             {"LvProp", ColumnType::Ole, kVariable, 0},
             {"LvModule", ColumnType::Ole, kVariable, 0},
             {"LvExtra", ColumnType::Ole, kVariable, 0},
         },
         {
             {"ParentIdName", {"ParentId", "Name"}, kUnique},
             {"Id", {"Id"}, kUnique, true},
         }},
        {"MSysACEs",
         'S',
         kEngineObject,
         {
             {"ObjectId", ColumnType::Long, kFixed, 4},
             {"SID", ColumnType::Binary, kSystemBinary, 510},
             {"ACM", ColumnType::Long, kFixed, 4},
             {"FInheritable", ColumnType::Boolean, kFixed, 1},
         },
         {
             {"ObjectId", {"ObjectId"}, kRequired},
         }},
        {"MSysQueries",
         'S',
         kEngineObject,
         {
             {"ObjectId", ColumnType::Long, kFixed, 4},
             {"Attribute", ColumnType::Byte, kFixed, 1},
             {"Order", ColumnType::Binary, kVariable, 510},
             {"Name1", ColumnType::Text, kVariable, 510},
             {"Name2", ColumnType::Text, kVariable, 510},
             {"Expression", ColumnType::Memo, kVariable, 0},
             {"Flag", ColumnType::Integer, kFixed, 2},
             {"LvExtra", ColumnType::Long, kFixed, 4},
         },
         {
             {"ObjectIdAttribute", {"ObjectId", "Attribute", "Order"}, kUnique, true},
         }},
        {"MSysRelationships",
         'S',
         kEngineObject,
         {
             {"szRelationship", ColumnType::Text, kVariable, 510},
             {"grbit", ColumnType::Long, kFixed, 4},
             {"ccolumn", ColumnType::Long, kFixed, 4},
             {"icolumn", ColumnType::Long, kFixed, 4},
             {"szObject", ColumnType::Text, kVariable, 510},
             {"szColumn", ColumnType::Text, kVariable, 510},
             {"szReferencedObject", ColumnType::Text, kVariable, 510},
             {"szReferencedColumn", ColumnType::Text, kVariable, 510},
         },
         {
             {"szRelationship", {"szRelationship"}, kIgnoreNulls},
             {"szObject", {"szObject"}, kIgnoreNulls},
             {"szReferencedObject", {"szReferencedObject"}, kIgnoreNulls},
         }},
    };
    return tables;
}

const std::vector<SystemTable>& aceSystemTables() {
    static const std::vector<SystemTable> tables{
        {"MSysComplexColumns",
         'N',
         kEngineObject,
         {
             {"ColumnName", ColumnType::Text, kVariable, 510},
             {"ComplexTypeObjectID", ColumnType::Long, kFixed, 4},
             {"FlatTableID", ColumnType::Long, kFixed, 4},
             {"ConceptualTableID", ColumnType::Long, kFixed, 4},
             {"ComplexID", ColumnType::Long, kFixedAutoNumber, 4},
         },
         {
             {"IdxID", {"ComplexID"}, kUniqueRequiredNoNulls, true},
             {"IdxConceptualTableID", {"ConceptualTableID"}, kRequiredNoNulls},
             {"IdxFlatTableID", {"FlatTableID"}, kRequiredNoNulls},
         }},
        complexTypeTable("UnsignedByte", {"Value", ColumnType::Byte, kPlainFixed, 1}),
        complexTypeTable("Short", {"Value", ColumnType::Integer, kPlainFixed, 2}),
        complexTypeTable("Long", {"Value", ColumnType::Long, kPlainFixed, 4}),
        complexTypeTable("IEEESingle", {"Value", ColumnType::Single, kPlainFixed, 4}),
        complexTypeTable("IEEEDouble", {"Value", ColumnType::Double, kPlainFixed, 8}),
        complexTypeTable("GUID", {"Value", ColumnType::Guid, kPlainFixed, 16}),
        // Stored as a variable column of 9 bytes, unlike Decimal columns of user tables.
        complexTypeTable("Decimal", {"Value", ColumnType::Decimal, kPlainVariable, 9, 0, 18}),
        complexTypeTable("Text", {"Value", ColumnType::Text, kPlainVariable, 510}),
        {"MSysComplexType_Attachment",
         'N',
         kComplexTemplate,
         {
             {"FileURL", ColumnType::Memo, kPlainVariable, 0, kAttachmentColumn},
             {"FileName", ColumnType::Text, kPlainVariable, 510, kAttachmentColumn},
             {"FileType", ColumnType::Text, kPlainVariable, 510, kAttachmentColumn},
             {"FileData", ColumnType::Ole, kPlainVariable, 0, kAttachmentColumn},
             {"FileTimeStamp", ColumnType::DateTime, kPlainFixed, 8, kAttachmentColumn},
             {"FileFlags", ColumnType::Long, kPlainFixed, 4, kAttachmentColumn},
         },
         {}},
    };
    return tables;
}

TableDefinition systemTableDefinition(const SystemTable& table, uint8_t sortOrderVersion) {
    constexpr uint16_t kGeneralLcid = 1033;
    // Access writes 04 into both cascade bytes of indexes that are not foreign keys.
    constexpr uint8_t kNoForeignKeyCascade = 0x04;

    TableDefinition def;
    def.tableType = table.tableType;
    uint16_t variableSlots = 0, fixedOffset = 0;
    for (std::size_t i = 0; i < table.columns.size(); ++i) {
        const SystemColumn& wanted = table.columns[i];
        ColumnDefinition column;
        column.name = wanted.name;
        column.typeCode = static_cast<uint8_t>(wanted.type);
        column.number = static_cast<uint16_t>(i);
        column.flags = wanted.flags;
        column.extendedFlags = wanted.extendedFlags;
        column.length = wanted.length;
        column.precision = wanted.precision;
        if (wanted.type == ColumnType::Text || wanted.type == ColumnType::Memo) {
            column.sortOrder = kGeneralLcid;
            column.sortOrderVersion = sortOrderVersion;
        }
        if (column.isFixed()) {
            column.varIndex = variableSlots;
            if (wanted.type != ColumnType::Boolean) {
                column.fixedOffset = fixedOffset;
                fixedOffset = static_cast<uint16_t>(fixedOffset + wanted.length);
            }
        } else {
            column.varIndex = variableSlots++;
        }
        def.columns.push_back(std::move(column));
    }
    def.maxColumns = static_cast<uint16_t>(table.columns.size());
    def.variableColumns = variableSlots;

    for (std::size_t i = 0; i < table.indexes.size(); ++i) {
        const SystemIndex& wanted = table.indexes[i];
        RealIndex real;
        for (const std::string& name : wanted.columns)
            real.columns.push_back({columnNumber(table, name), true});
        real.flags = wanted.flags;
        def.realIndexes.push_back(std::move(real));

        LogicalIndex logical;
        logical.name = wanted.name;
        logical.number = static_cast<uint32_t>(i);
        logical.realIndex = static_cast<uint32_t>(i);
        logical.kind = wanted.primaryKey ? 1 : 0;
        logical.cascadeUpdates = kNoForeignKeyCascade;
        logical.cascadeDeletes = kNoForeignKeyCascade;
        def.logicalIndexes.push_back(std::move(logical));
    }

    std::stable_sort(def.columns.begin(), def.columns.end(),
                     [](const ColumnDefinition& a, const ColumnDefinition& b) { return nameLess(a.name, b.name); });
    std::stable_sort(def.logicalIndexes.begin(), def.logicalIndexes.end(),
                     [](const LogicalIndex& a, const LogicalIndex& b) { return nameLess(a.name, b.name); });
    return def;
}

} // namespace storage
