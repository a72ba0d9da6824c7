// Reading speed of the storage engine: opens a database, reads the catalogue
// and every row of every local table, several times, and prints rows per
// second and peak memory. Without arguments it reads the largest fixture
// that opens.
//
// Usage: storage_bench [--repeat N] [database ...]

#include "database/storage/database.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace {

using namespace storage;

struct Totals {
    uint64_t rows = 0;
    uint64_t values = 0;
    uint64_t tables = 0;
};

bool readAll(const std::string& path, Totals& totals) {
    auto db = Database::open(path, {});
    if (!db) {
        std::fprintf(stderr, "%s: %s\n", path.c_str(), db.error().description.c_str());
        return false;
    }
    for (const CatalogEntry& entry : (*db)->catalog().entries()) {
        if (entry.type != object_type::kLocalTable)
            continue;
        auto cursor = (*db)->openTable(entry.name);
        if (!cursor) {
            std::fprintf(stderr, "%s / %s: %s\n", path.c_str(), entry.name.c_str(), cursor.error().description.c_str());
            return false;
        }
        Row row;
        while (cursor->next(row)) {
            ++totals.rows;
            totals.values += row.size();
        }
        if (!cursor->status()) {
            std::fprintf(stderr, "%s: %s\n", entry.name.c_str(), cursor->status().error().description.c_str());
            return false;
        }
        ++totals.tables;
    }
    return true;
}

std::string largestOpenableFixture() {
    std::string best;
    uintmax_t bestSize = 0;
    std::error_code error;
    for (auto it = std::filesystem::recursive_directory_iterator(TARNWICK_FIXTURES_DIR, error);
         !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
        if (!it->is_regular_file() || it->file_size() <= bestSize)
            continue;
        const std::string path = it->path().string();
        if (Database::open(path, {})) {
            best = path;
            bestSize = it->file_size();
        }
    }
    return best;
}

} // namespace

int main(int argc, char** argv) {
    int repeat = 20;
    std::vector<std::string> paths;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--repeat") == 0 && i + 1 < argc)
            repeat = std::max(1, std::atoi(argv[++i]));
        else
            paths.emplace_back(argv[i]);
    }
    if (paths.empty()) {
        const std::string largest = largestOpenableFixture();
        if (largest.empty()) {
            std::fprintf(stderr, "no database given and no fixture found\n");
            return 2;
        }
        paths.push_back(largest);
    }

    Totals totals;
    const auto start = std::chrono::steady_clock::now();
    for (int run = 0; run < repeat; ++run)
        for (const std::string& path : paths)
            if (!readAll(path, totals))
                return 1;
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    for (const std::string& path : paths)
        std::printf("database:       %s (%ju bytes)\n", path.c_str(), std::filesystem::file_size(path));
    std::printf("runs:           %d\n", repeat);
    std::printf("tables read:    %llu\n", static_cast<unsigned long long>(totals.tables));
    std::printf("rows read:      %llu (%llu values)\n", static_cast<unsigned long long>(totals.rows),
                static_cast<unsigned long long>(totals.values));
    std::printf("time:           %.3f s (%.2f ms per run)\n", seconds, seconds * 1000 / repeat);
    std::printf("rows per second: %.0f\n", totals.rows / seconds);
    std::printf("peak memory:    %ld KiB (max resident set)\n", usage.ru_maxrss);
    return 0;
}
