// abonix-db import of a 1,000,000-subscriber list (the dump of the
// benchmark's generated directory) against sqlite3 doing the same work: its
// .import of the same CSV, the city and street tables by SELECT DISTINCT, the
// join into the subscriber table, and the indexes our import writes. Both run
// as programs of their own, so that the time and the peak memory (the
// "peak_MB" counter, as /usr/bin/time -f %M tells it) are each one's alone.
#include "tools/SubscriberList.h"

#include "bench/BenchDirectory.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char** environ;

namespace {

namespace fs = std::filesystem;

// The list, made once from a generated directory beside the other benchmarks' data.
fs::path million_list() {
    const fs::path dir = bench::million_directory();
    const fs::path list = dir.parent_path() / "import-list.csv";
    if (fs::exists(list)) return list;
    std::ofstream out(list, std::ios::binary);
    tools::print_subscriber_list(dir, out);
    return list;
}

struct Run {
    bool ok = false;
    double seconds = 0;
    double peak_mb = 0;
};

// Runs a program (standard input from a file when given) and waits for it.
Run run(const std::vector<std::string>& args, const fs::path& input = {}) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!input.empty()) posix_spawn_file_actions_addopen(&actions, 0, input.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = -1;
    Run r;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        rusage usage{};
        if (::wait4(pid, &status, 0, &usage) == pid) {
            r.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
            r.peak_mb = static_cast<double>(usage.ru_maxrss) / 1024.0;
        }
    }
    r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    posix_spawn_file_actions_destroy(&actions);
    return r;
}

// sqlite3's script for the same work as the import.
fs::path sqlite_script(const fs::path& list) {
    const fs::path script = list.parent_path() / "import-list.sql";
    std::ofstream out(script);
    out << ".mode csv\n"
           ".import '" << list.string() << "' List\n"
           "CREATE TABLE City(Code INTEGER PRIMARY KEY, City TEXT);\n"
           "INSERT INTO City(City) SELECT DISTINCT City FROM List WHERE City <> '' ORDER BY City;\n"
           "CREATE TABLE Street(Code INTEGER PRIMARY KEY, Street TEXT);\n"
           "INSERT INTO Street(Street) SELECT DISTINCT Street FROM List WHERE Street <> '' ORDER BY Street;\n"
           "CREATE TABLE Phone2k(Code INTEGER PRIMARY KEY, Phone TEXT, LastName TEXT, FirstName TEXT, MiddleName TEXT,"
           " City INTEGER, Street INTEGER, House TEXT, Flat TEXT);\n"
           "INSERT INTO Phone2k(Phone, LastName, FirstName, MiddleName, City, Street, House, Flat)"
           " SELECT l.Phone, l.LastName, l.FirstName, l.MiddleName, c.Code, s.Code, l.House, l.Flat"
           " FROM List l LEFT JOIN City c ON c.City = l.City LEFT JOIN Street s ON s.Street = l.Street;\n"
           "DROP TABLE List;\n"
           "CREATE INDEX LastNameIndex ON Phone2k(LastName, FirstName, MiddleName);\n"
           "CREATE INDEX Phone ON Phone2k(Phone);\n"
           "CREATE INDEX LastName ON Phone2k(LastName);\n"
           "CREATE INDEX FirstName ON Phone2k(FirstName);\n"
           "CREATE INDEX MiddleName ON Phone2k(MiddleName);\n"
           "CREATE INDEX City ON Phone2k(City);\n"
           "CREATE INDEX Street ON Phone2k(Street);\n"
           "CREATE INDEX CityName ON City(City);\n"
           "CREATE INDEX StreetName ON Street(Street);\n";
    return script;
}

// Each iteration runs both, one after the other, so that both see the same
// load of a shared machine. The time is abonix-db's; the counters give
// sqlite3's time, the ratio of the two and the peak memory of each.
void Import_MillionRows(benchmark::State& state) {
    const fs::path list = million_list();
    const fs::path target = list.parent_path() / "imported";
    const fs::path script = sqlite_script(list);
    const fs::path db = list.parent_path() / "imported.sqlite";
    double ours = 0, theirs = 0, peak = 0, sqlite_peak = 0;
    for (auto _ : state) {
        const Run a = run({ABONIX_DB, "import", list.string(), target.string()});
        fs::remove(db);
        const Run b = run({"sqlite3", db.string()}, script);
        if (!a.ok || !b.ok) state.SkipWithError(a.ok ? "sqlite3 failed" : "the import failed");
        state.SetIterationTime(a.seconds);
        ours += a.seconds;
        theirs += b.seconds;
        peak = std::max(peak, a.peak_mb);
        sqlite_peak = std::max(sqlite_peak, b.peak_mb);
    }
    fs::remove(db);
    state.counters["peak_MB"] = peak;
    state.counters["sqlite3_s"] = theirs / static_cast<double>(state.iterations());
    state.counters["sqlite3_peak_MB"] = sqlite_peak;
    state.counters["ratio"] = theirs > 0 ? ours / theirs : 0;
}

}  // namespace

BENCHMARK(Import_MillionRows)->Name("Import/MillionRows")->Unit(benchmark::kMillisecond)->Iterations(3)->UseManualTime();
