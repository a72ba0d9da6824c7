#include "database/storage/sql/sql_errors.h"

#include <initializer_list>
#include <string>

namespace storage::sql::errors {

namespace {
Error syntax(int number, std::string text) {
    return {number, std::move(text), ErrorKind::Failed};
}

// The parts one after the other, appended: in optimised builds GCC 12 warns falsely
// (-Wrestrict) about a literal + std::string temporary.
std::string joined(std::initializer_list<std::string_view> parts) {
    std::string text;
    for (std::string_view part : parts)
        text += part;
    return text;
}
} // namespace

Error invalidStatement() {
    return syntax(3129, "Invalid SQL statement; expected 'DELETE', 'INSERT', 'PROCEDURE', 'SELECT', or 'UPDATE'.");
}
Error createTableSyntax() {
    return syntax(3290, "Syntax error in CREATE TABLE statement.");
}
Error fieldDefinitionSyntax() {
    return syntax(3292, "Syntax error in field definition.");
}
Error invalidFieldType() {
    return syntax(3259, "Invalid field data type.");
}
Error insertSyntax() {
    return syntax(3134, "Syntax error in INSERT INTO statement.");
}
Error fromClauseSyntax() {
    return syntax(3131, "Syntax error in FROM clause.");
}
Error selectSyntax() {
    return syntax(3141, "The SELECT statement includes a reserved word or an argument name that is misspelled or "
                        "missing, or the punctuation is incorrect.");
}
Error missingOperator(std::string_view expression) {
    return syntax(3075, joined({"Syntax error (missing operator) in query expression '", expression, "'."}));
}
Error unterminatedString(std::string_view expression) {
    return syntax(3075, joined({"Syntax error in string in query expression '", expression, "'."}));
}
Error charactersAfterEnd() {
    return syntax(3142, "Characters found after end of SQL statement.");
}
Error parameterWithoutValue() {
    return syntax(3061, "No value given for one or more required parameters.");
}
Error invalidName(std::string_view name) {
    return syntax(3125, joined({"'", name,
                                "' is not a valid name.  Make sure that it does not include invalid characters or "
                                "punctuation and that it is not too long."}));
}

Error tableExists(std::string_view name) {
    return syntax(3010, joined({"Table '", name, "' already exists."}));
}
Error fieldDefinedTwice() {
    return syntax(3191, "Cannot define field more than once.");
}
Error tooManyFields() {
    return syntax(3190, "Too many fields defined.");
}
Error unknownField(std::string_view name) {
    return syntax(3127, joined({"The INSERT INTO statement contains the following unknown field name: '", name,
                                "'.  Make sure you have typed the name correctly, and try the operation again."}));
}

} // namespace storage::sql::errors
