// Makes the tables the import benchmark appends to, which CREATE TABLE cannot describe:
//   bench_table DATABASE TABLE indexed COLUMNS       AutoNumber primary key "ID", then
//                                                    COLUMNS Text(255) columns, the first indexed
//   bench_table DATABASE TABLE uncompressed COLUMNS  COLUMNS Text(255) columns without Unicode
//                                                    compression, as Jet's own DDL makes them
#include "database/storage/engine/database_session.h"

#include <cstdio>
#include <cstdlib>
#include <string>

using namespace storage;

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: bench_table DATABASE TABLE indexed|uncompressed COLUMNS\n");
        return 2;
    }
    const std::string kind = argv[3];
    const int count = std::atoi(argv[4]);
    std::vector<NewColumn> columns;
    std::vector<NewIndex> indexes;
    if (kind == "indexed") {
        NewColumn id;
        id.name = "ID";
        id.type = ColumnType::Long;
        id.autoNumber = true;
        columns.push_back(id);
        indexes.push_back(NewIndex{"PrimaryKey", {IndexColumn{0, true}}, 0x01 | 0x08, true});
        indexes.push_back(NewIndex{"Field1", {IndexColumn{1, true}}, 0x00, false});
    }
    for (int i = 1; i <= count; ++i) {
        NewColumn text;
        text.name = "Field" + std::to_string(i);
        text.compressedUnicode = kind != "uncompressed";
        columns.push_back(text);
    }
    auto session = DatabaseSession::open(argv[1], OpenOptions{}, DatabaseSession::Access::ReadWrite);
    if (!session) {
        std::fprintf(stderr, "%s\n", session.error().description.c_str());
        return 1;
    }
    Status status = (*session)->createIndexedTable(argv[2], columns, indexes);
    if (status)
        status = (*session)->close();
    if (!status) {
        std::fprintf(stderr, "%s\n", status.error().description.c_str());
        return 1;
    }
    return 0;
}
