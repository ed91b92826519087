// Backup and restore of a documents folder holding a 50 MB database: archive writing, MD5
// and extraction, each beside the command-line tool doing the same work on the same files.
// Wall-clock time: the tools run as child processes, whose CPU time is not counted here.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <random>
#include <sqlite3.h>
#include <string>

#include "QLCoreLibrary/FileManagerExtensions.h"
#include "QLCoreLibrary/ZipArchive.h"
#include "platform/base/FileSystem.h"

namespace fs = platform::fs;

namespace {

constexpr std::int64_t kDatabaseBytes = 50 * 1024 * 1024;

// A logbook-like SQLite database of about 50 MB: fill-ups with numbers, dates and notes.
struct Workload {
    std::string root {fs::makeTemporaryDirectory("vantrel-backup-bench")};
    std::string documents {fs::joinPath(root, "Documents")};
    std::string database {fs::joinPath(documents, "vantrel.db")};
    std::string archive {fs::joinPath(root, "com.quillon.vantrel.backup.zip")};
    std::string extracted {fs::joinPath(root, "extracted")};
    std::int64_t databaseBytes {0};

    Workload() {
        fs::createDirectories(documents);
        fs::createDirectories(extracted);
        sqlite3* db = nullptr;
        sqlite3_open(database.c_str(), &db);
        sqlite3_exec(db,
            "CREATE TABLE Fillup (id INTEGER PRIMARY KEY, vid INTEGER, date TEXT, odometer INTEGER,"
            " quantity REAL, price REAL, type INTEGER, notes TEXT)",
            nullptr, nullptr, nullptr);
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_stmt* insert = nullptr;
        sqlite3_prepare_v2(db, "INSERT INTO Fillup VALUES (NULL, ?, ?, ?, ?, ?, ?, ?)", -1, &insert, nullptr);
        std::mt19937 random(42);
        const char* words[] = {"highway", "city", "tyres", "rain", "trip", "station", "premium", "regular"};
        for (int i = 0;; ++i) {
            char date[16];
            std::snprintf(date, sizeof date, "20%02d-%02d-%02d", 10 + i / 40000 % 15, 1 + i % 12, 1 + i % 28);
            std::string notes;
            for (int w = 0; w < 6; ++w)
                notes += std::string(words[random() % 8]) + " ";
            sqlite3_bind_int(insert, 1, 1 + i % 5);
            sqlite3_bind_text(insert, 2, date, -1, SQLITE_TRANSIENT);
            sqlite3_bind_int(insert, 3, 1000 + i * 37);
            sqlite3_bind_double(insert, 4, 20 + (random() % 4000) / 100.0);
            sqlite3_bind_double(insert, 5, 1 + (random() % 1000) / 1000.0);
            sqlite3_bind_int(insert, 6, static_cast<int>(random() % 3));
            sqlite3_bind_text(insert, 7, notes.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_step(insert);
            sqlite3_reset(insert);
            if (i % 10000 == 9999) {
                sqlite3_exec(db, "COMMIT; BEGIN", nullptr, nullptr, nullptr);
                sqlite3_stmt* size = nullptr;
                sqlite3_prepare_v2(db,
                    "SELECT page_count * page_size FROM pragma_page_count(), pragma_page_size()", -1, &size,
                    nullptr);
                sqlite3_step(size);
                databaseBytes = sqlite3_column_int64(size, 0);
                sqlite3_finalize(size);
                if (databaseBytes >= kDatabaseBytes)
                    break;
            }
        }
        sqlite3_finalize(insert);
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        writeArchive();
    }
    ~Workload() { fs::removeItem(root); }

    bool writeArchive() const {
        ZipArchive zip(archive);
        return zip.openForWriting() && zip.addFolder(documents) && zip.close();
    }
};

Workload& workload() {
    static Workload instance;
    return instance;
}

void run(benchmark::State& state, const std::string& command) {
    if (std::system(command.c_str()) != 0)
        state.SkipWithError(("failed: " + command).c_str());
}

void BM_ArchiveWrite_ZipArchive(benchmark::State& state) {
    auto& w = workload();
    for (auto _ : state)
        if (!w.writeArchive())
            state.SkipWithError("archive not written");
    state.SetBytesProcessed(state.iterations() * w.databaseBytes);
}

void BM_ArchiveWrite_zip6(benchmark::State& state) {
    auto& w = workload();
    const std::string output = fs::joinPath(w.root, "cli.zip");
    for (auto _ : state) {
        fs::removeItem(output);
        run(state, "cd '" + w.documents + "' && zip -6 -q '" + output + "' vantrel.db");
    }
    state.SetBytesProcessed(state.iterations() * w.databaseBytes);
}

void BM_MD5_md5ForFileAtPath(benchmark::State& state) {
    auto& w = workload();
    for (auto _ : state)
        benchmark::DoNotOptimize(md5ForFileAtPath(w.archive));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(fs::readFile(w.archive)->size()));
}

void BM_MD5_md5sum(benchmark::State& state) {
    auto& w = workload();
    for (auto _ : state)
        run(state, "md5sum '" + w.archive + "' > /dev/null");
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(fs::readFile(w.archive)->size()));
}

void BM_Extract_ZipArchive(benchmark::State& state) {
    auto& w = workload();
    for (auto _ : state) {
        ZipArchive zip(w.archive);
        if (!zip.openForReading() || !zip.extractAllToPath(w.extracted) || !zip.close())
            state.SkipWithError("archive not extracted");
    }
    state.SetBytesProcessed(state.iterations() * w.databaseBytes);
}

void BM_Extract_unzip(benchmark::State& state) {
    auto& w = workload();
    for (auto _ : state)
        run(state, "unzip -o -q '" + w.archive + "' -d '" + w.extracted + "'");
    state.SetBytesProcessed(state.iterations() * w.databaseBytes);
}

} // namespace

BENCHMARK(BM_ArchiveWrite_ZipArchive)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_ArchiveWrite_zip6)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_MD5_md5ForFileAtPath)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_MD5_md5sum)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_Extract_ZipArchive)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_Extract_unzip)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
