#include "database/storage/write/write_errors.h"

#include <string>

namespace storage::write_errors {

namespace {
Error jet(int number, std::string text) { return {number, std::move(text), ErrorKind::Failed}; }
Error refused(std::string text) { return {0, std::move(text), ErrorKind::NotSupported}; }
} // namespace

Error typeMismatch() { return jet(3464, "Data type mismatch in criteria expression."); }
Error numericOverflow() { return jet(3349, "Numeric field overflow."); }
Error fieldTooSmall() {
    return jet(3163, "The field is too small to accept the amount of data you attempted to add.  Try inserting or "
                     "pasting less data.");
}
Error decimalPrecisionTooSmall() {
    return jet(3761, "The decimal field's precision is too small to accept the numeric you attempted to add.");
}
Error recordTooLarge() { return jet(3047, "Record is too large."); }
Error duplicateKey() {
    return jet(3022, "The changes you requested to the table were not successful because they would create duplicate "
                     "values in the index, primary key, or relationship.  Change the data in the field or fields that "
                     "contain duplicate data, remove the index, or redefine the index to permit duplicate entries and "
                     "try again.");
}
Error nullInIndex() { return jet(3058, "Index or primary key cannot contain a Null value."); }
Error relatedRecordRequired(std::string_view table) {
    return jet(3201, "You cannot add or change a record because a related record is required in table '" +
                         std::string(table) + "'.");
}
Error valueCountMismatch() { return jet(3346, "Number of query values and destination fields are not the same."); }

Error unsupportedColumnType(std::string_view columnName, int typeCode) {
    return refused("Values of column '" + std::string(columnName) + "' (type " + std::to_string(typeCode) +
                   ") cannot be written.");
}
Error unsupportedSortOrder(int lcid, int version) {
    return refused("Text indexes with sort order " + std::to_string(lcid) + " version " + std::to_string(version) +
                   " cannot be written.");
}
Error textNotStorable(std::string_view why) { return refused("The text cannot be stored: " + std::string(why) + "."); }

} // namespace storage::write_errors
