// Our engine and SQLite 3 on the same 1,000,000-subscriber directory with the
// same indexes, measured in one run. SQLite holds the same CP1251 bytes and
// compares them with the same Russian collation ("RU"), so both sort alike.
#include "engine/Cursor.h"
#include "engine/Database.h"
#include "engine/EngineError.h"
#include "engine/MappedFile.h"
#include "text/Cp1251.h"
#include "tools/SampleDirectory.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t kSubscribers = 1000000;

std::filesystem::path bench_dir() {
    const char* env = std::getenv("ABONIX_BENCH_DIR");
    return env && *env ? std::filesystem::path(env) : std::filesystem::path(ABONIX_BENCH_DEFAULT_DIR);
}

// ---- SQLite side ---------------------------------------------------------

std::array<unsigned char, 256> ru_weights() {
    std::array<unsigned char, 256> w{};
    for (int c = 0; c < 256; ++c) {
        unsigned char u = text::ansi_upper(static_cast<unsigned char>(c));
        w[static_cast<std::size_t>(c)] = u == 0xA8 ? 0xC5 : u;
    }
    return w;
}

int ru_collation(void*, int na, const void* a, int nb, const void* b) {
    static const auto w = ru_weights();
    const auto* x = static_cast<const unsigned char*>(a);
    const auto* y = static_cast<const unsigned char*>(b);
    const int n = na < nb ? na : nb;
    for (int i = 0; i < n; ++i)
        if (w[x[i]] != w[y[i]]) return w[x[i]] < w[y[i]] ? -1 : 1;
    return na - nb;
}

void check(int rc, sqlite3* db, const char* what) {
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
        std::cerr << "sqlite: " << what << ": " << sqlite3_errmsg(db) << "\n";
        std::exit(1);
    }
}

sqlite3* open_sqlite(const std::filesystem::path& file, int flags) {
    sqlite3* db = nullptr;
    check(sqlite3_open_v2(file.c_str(), &db, flags, nullptr), db, "open");
    check(sqlite3_create_collation(db, "RU", SQLITE_UTF8, nullptr, ru_collation), db, "collation");
    return db;
}

void exec(sqlite3* db, const char* sql) { check(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), db, sql); }

struct Statement {
    Statement(sqlite3* db, const char* sql) : db(db) { check(sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr), db, sql); }
    ~Statement() { sqlite3_finalize(stmt); }
    void reset() { sqlite3_reset(stmt); }
    sqlite3* db;
    sqlite3_stmt* stmt = nullptr;
};

void bind_text(sqlite3_stmt* s, int i, const std::string& v) {
    sqlite3_bind_text(s, i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
}

// Copies the three tables into SQLite with the same indexes.
void build_sqlite(const std::filesystem::path& dir, const std::filesystem::path& file) {
    std::cerr << "abonix-bench: loading the directory into SQLite\n";
    const auto temp = std::filesystem::path(file.string() + ".tmp");
    std::filesystem::remove(temp);
    sqlite3* db = open_sqlite(temp, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    exec(db, "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; BEGIN;");
    exec(db, "CREATE TABLE phone(code INTEGER PRIMARY KEY, phone TEXT COLLATE RU, lastname TEXT COLLATE RU, "
             "firstname TEXT COLLATE RU, middlename TEXT COLLATE RU, city INTEGER, street INTEGER, house TEXT, flat TEXT);"
             "CREATE TABLE city(code INTEGER PRIMARY KEY, city TEXT COLLATE RU);"
             "CREATE TABLE street(code INTEGER PRIMARY KEY, street TEXT COLLATE RU);");
    engine::Config cfg;
    cfg.aliases["Bench"] = dir;
    const engine::Database src = engine::Database::connect("Bench", cfg);
    auto copy = [&](const char* table_name, const char* sql) {
        auto t = src.open_table(table_name);
        Statement ins(db, sql);
        const int nf = static_cast<int>(t->fields().size());
        for (std::uint32_t r = 0; r < t->record_count(); ++r) {
            for (int f = 0; f < nf; ++f) {
                const engine::Value v = t->value(r, f);
                if (v.is_null()) sqlite3_bind_null(ins.stmt, f + 1);
                else if (v.kind == engine::ValueKind::Text) bind_text(ins.stmt, f + 1, v.text);
                else sqlite3_bind_int64(ins.stmt, f + 1, v.integer);
            }
            check(sqlite3_step(ins.stmt), db, "insert");
            ins.reset();
        }
    };
    copy("Phone2k.db", "INSERT INTO phone VALUES(?,?,?,?,?,?,?,?,?)");
    copy("City.db", "INSERT INTO city VALUES(?,?)");
    copy("Street.db", "INSERT INTO street VALUES(?,?)");
    exec(db, "CREATE INDEX phone_lastname_index ON phone(lastname, firstname, middlename);"
             "CREATE INDEX phone_phone ON phone(phone); CREATE INDEX phone_lastname ON phone(lastname);"
             "CREATE INDEX phone_firstname ON phone(firstname); CREATE INDEX phone_middlename ON phone(middlename);"
             "CREATE INDEX phone_city ON phone(city); CREATE INDEX phone_street ON phone(street);"
             "CREATE INDEX city_city ON city(city); CREATE INDEX street_street ON street(street);"
             "COMMIT; ANALYZE;");
    sqlite3_close(db);
    std::filesystem::rename(temp, file);
}

// ---- shared set-up -------------------------------------------------------

// A directory left by an older abonix-db lacks index files the engine reads.
bool directory_is_current(const std::filesystem::path& dir) {
    try {
        auto t = engine::Table::open(dir / "Phone2k.db");
        return t->record_count() == kSubscribers && t->find_index("LastName Index") >= 0;
    } catch (const engine::EngineError&) {
        return false;
    }
}

struct Fixture {
    std::filesystem::path dir;
    std::filesystem::path sqlite_file;
    engine::Config config;
    std::vector<std::string> prefixes;  // CP1251 search texts
    std::vector<std::string> phones;    // existing phone numbers

    Fixture() {
        dir = bench_dir();
        if (!directory_is_current(dir)) {
            std::filesystem::remove(dir / "directory.sqlite");
            std::cerr << "abonix-bench: generating " << kSubscribers << " subscribers in " << dir << "\n";
            tools::SampleOptions o;
            o.subscribers = kSubscribers;
            o.progress = &std::cerr;
            tools::generate_sample_directory(dir, o);
        }
        sqlite_file = dir / "directory.sqlite";
        if (!std::filesystem::exists(sqlite_file)) build_sqlite(dir, sqlite_file);
        config.aliases["Phone"] = dir;
        auto t = engine::Table::open(dir / "Phone2k.db");
        std::mt19937 rng(42);
        std::string s;
        for (int i = 0; i < 4096; ++i) {
            const auto r = static_cast<std::uint32_t>(rng() % t->record_count());
            t->text(r, 2, s);
            prefixes.push_back(s.substr(0, 1 + rng() % 4));
            t->text(r, 1, s);
            phones.push_back(s);
        }
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

// ---- engine --------------------------------------------------------------

struct EngineDirectory {
    std::shared_ptr<engine::Table> phone, city, street;
    std::unique_ptr<engine::Cursor> cursor;
    explicit EngineDirectory(const engine::Config& cfg) {
        const engine::Database db = engine::Database::connect("Phone", cfg);
        phone = db.open_table("Phone2k.db");
        city = db.open_table("City.db");
        street = db.open_table("Street.db");
        cursor = std::make_unique<engine::Cursor>(phone);
        cursor->switch_index("LastName Index", false);
    }
};

void Engine_Open(benchmark::State& state) {
    const auto& f = fixture();
    for (auto _ : state) {
        EngineDirectory d(f.config);
        engine::Cursor city(d.city), street(d.street);
        city.switch_index("City", false);
        street.switch_index("Street", false);
        city.next();
        street.next();
        for (int row = 0; row < 40; ++row) {
            d.cursor->next();
            for (int field = 0; field < 9; ++field) benchmark::DoNotOptimize(d.cursor->value(field));
        }
    }
}

// PhoneT alone as the program opens it: its named index the order, the first record read.
void Engine_OpenWithIndex(benchmark::State& state) {
    const auto& f = fixture();
    for (auto _ : state) {
        auto t = engine::Table::open(f.dir / "Phone2k.db");
        engine::Cursor c(t);
        c.switch_index("LastName Index", false);
        c.next();
        for (int field = 0; field < 9; ++field) benchmark::DoNotOptimize(c.value(field));
        if (!t->order_from_file(t->find_index("LastName Index"))) state.SkipWithError("the order was sorted, not read");
    }
}

// The same without the engine's kept mappings: what the first open in a process costs.
void Engine_OpenFresh(benchmark::State& state) {
    engine::MappedFile::set_kept_mappings(0);
    Engine_Open(state);
    engine::MappedFile::set_kept_mappings(16);
}

// A header click: another index becomes the order, the current record stays.
void Engine_SwitchIndex(benchmark::State& state) {
    const auto& f = fixture();
    EngineDirectory d(f.config);
    d.cursor->set_sequence_number(d.phone->record_count() / 3);
    const char* orders[] = {"Phone", "LastName", "FirstName", "MiddleName", "City", "Street", "LastName Index"};
    std::size_t i = 0;
    for (auto _ : state) d.cursor->switch_index(orders[i++ % std::size(orders)], true);
}

void Engine_BuildIndex(benchmark::State& state) {
    const auto& f = fixture();
    auto t = engine::Table::open(f.dir / "Phone2k.db");
    const int index = t->find_index("LastName");
    for (auto _ : state) {
        auto order = t->key_encoder(index).sort(t->record_count(), [&](std::uint32_t n) { return t->raw_record(n); });
        benchmark::DoNotOptimize(order.data());
    }
}

void Engine_NearestSearch(benchmark::State& state) {
    const auto& f = fixture();
    EngineDirectory d(f.config);
    d.cursor->switch_index("LastName", false);
    std::size_t i = 0;
    for (auto _ : state) {
        d.cursor->set_to_key(engine::Value::of_text(f.prefixes[i++ & 4095]));
        benchmark::DoNotOptimize(d.cursor->next());
    }
}

void Engine_KeySearch(benchmark::State& state) {
    const auto& f = fixture();
    EngineDirectory d(f.config);
    d.cursor->switch_index("Phone", false);
    std::size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(d.cursor->get_record_for_key(engine::Value::of_text(f.phones[i++ & 4095])));
}

void Engine_Next(benchmark::State& state) {
    const auto& f = fixture();
    EngineDirectory d(f.config);
    for (auto _ : state) {
        if (d.cursor->on_record() && d.cursor->sequence_number() == d.cursor->record_count()) d.cursor->to_begin();
        benchmark::DoNotOptimize(d.cursor->next());
    }
}

void Engine_RecNo(benchmark::State& state) {
    const auto& f = fixture();
    EngineDirectory d(f.config);
    std::mt19937 rng(1);
    std::vector<std::uint32_t> records(4096);
    const auto& order = d.phone->order(d.phone->find_index("LastName Index"));
    for (auto& r : records) r = order.record_at(static_cast<std::uint32_t>(rng() % d.phone->record_count()));
    order.position_of(records[0]);  // the inverse is built once, on first use
    std::size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(order.position_of(records[i++ & 4095]) + 1);
}

void Engine_PositionByRecNo(benchmark::State& state) {
    const auto& f = fixture();
    EngineDirectory d(f.config);
    std::mt19937 rng(2);
    for (auto _ : state) benchmark::DoNotOptimize(d.cursor->set_sequence_number(1 + rng() % d.phone->record_count()));
}

void Engine_FullScan(benchmark::State& state) {
    const auto& f = fixture();
    EngineDirectory d(f.config);
    std::string name;
    for (auto _ : state) {
        d.cursor->to_begin();
        std::size_t total = 0;
        for (std::uint32_t n = d.cursor->record_count(); n > 0; --n) {
            d.cursor->next();
            d.cursor->text(2, name);
            total += name.size();
        }
        benchmark::DoNotOptimize(total);
    }
}

// ---- SQLite --------------------------------------------------------------

void Sqlite_Open(benchmark::State& state) {
    const auto& f = fixture();
    for (auto _ : state) {
        sqlite3* db = open_sqlite(f.sqlite_file, SQLITE_OPEN_READONLY);
        {
            Statement first(db, "SELECT code, phone, lastname, firstname, middlename, city, street, house, flat FROM phone "
                                "ORDER BY lastname, firstname, middlename LIMIT 40");
            while (sqlite3_step(first.stmt) == SQLITE_ROW)
                for (int c = 0; c < 9; ++c) benchmark::DoNotOptimize(sqlite3_column_text(first.stmt, c));
            Statement city(db, "SELECT code, city FROM city ORDER BY city LIMIT 1");
            sqlite3_step(city.stmt);
            Statement street(db, "SELECT code, street FROM street ORDER BY street LIMIT 1");
            sqlite3_step(street.stmt);
        }
        sqlite3_close(db);
    }
}

void Sqlite_BuildIndex(benchmark::State& state) {
    const auto& f = fixture();
    sqlite3* db = open_sqlite(f.sqlite_file, SQLITE_OPEN_READWRITE);
    for (auto _ : state) {
        exec(db, "BEGIN; CREATE INDEX bench_lastname ON phone(lastname);");
        state.PauseTiming();
        exec(db, "ROLLBACK;");
        state.ResumeTiming();
    }
    sqlite3_close(db);
}

void Sqlite_NearestSearch(benchmark::State& state) {
    const auto& f = fixture();
    sqlite3* db = open_sqlite(f.sqlite_file, SQLITE_OPEN_READONLY);
    {
        Statement s(db, "SELECT code, lastname FROM phone INDEXED BY phone_lastname WHERE lastname >= ? ORDER BY lastname LIMIT 1");
        std::size_t i = 0;
        for (auto _ : state) {
            bind_text(s.stmt, 1, f.prefixes[i++ & 4095]);
            benchmark::DoNotOptimize(sqlite3_step(s.stmt));
            s.reset();
        }
    }
    sqlite3_close(db);
}

void Sqlite_KeySearch(benchmark::State& state) {
    const auto& f = fixture();
    sqlite3* db = open_sqlite(f.sqlite_file, SQLITE_OPEN_READONLY);
    {
        Statement s(db, "SELECT code FROM phone WHERE phone = ? LIMIT 1");
        std::size_t i = 0;
        for (auto _ : state) {
            bind_text(s.stmt, 1, f.phones[i++ & 4095]);
            benchmark::DoNotOptimize(sqlite3_step(s.stmt));
            s.reset();
        }
    }
    sqlite3_close(db);
}

void Sqlite_Next(benchmark::State& state) {
    const auto& f = fixture();
    sqlite3* db = open_sqlite(f.sqlite_file, SQLITE_OPEN_READONLY);
    {
        Statement s(db, "SELECT code, lastname, firstname, middlename FROM phone INDEXED BY phone_lastname_index "
                        "WHERE (lastname, firstname, middlename, code) > (?, ?, ?, ?) "
                        "ORDER BY lastname, firstname, middlename, code LIMIT 1");
        std::string last, first, middle;
        sqlite3_int64 code = 0;
        for (auto _ : state) {
            bind_text(s.stmt, 1, last);
            bind_text(s.stmt, 2, first);
            bind_text(s.stmt, 3, middle);
            sqlite3_bind_int64(s.stmt, 4, code);
            if (sqlite3_step(s.stmt) == SQLITE_ROW) {
                code = sqlite3_column_int64(s.stmt, 0);
                last.assign(reinterpret_cast<const char*>(sqlite3_column_text(s.stmt, 1)));
                first.assign(reinterpret_cast<const char*>(sqlite3_column_text(s.stmt, 2)));
                middle.assign(reinterpret_cast<const char*>(sqlite3_column_text(s.stmt, 3)));
            } else {
                last.clear(), first.clear(), middle.clear(), code = 0;
            }
            s.reset();
        }
    }
    sqlite3_close(db);
}

void Sqlite_RecNo(benchmark::State& state) {
    const auto& f = fixture();
    sqlite3* db = open_sqlite(f.sqlite_file, SQLITE_OPEN_READONLY);
    {
        Statement s(db, "SELECT count(*) FROM phone INDEXED BY phone_lastname WHERE lastname < ?");
        std::size_t i = 0;
        for (auto _ : state) {
            bind_text(s.stmt, 1, f.prefixes[i++ & 4095]);
            sqlite3_step(s.stmt);
            benchmark::DoNotOptimize(sqlite3_column_int64(s.stmt, 0));
            s.reset();
        }
    }
    sqlite3_close(db);
}

void Sqlite_PositionByRecNo(benchmark::State& state) {
    const auto& f = fixture();
    sqlite3* db = open_sqlite(f.sqlite_file, SQLITE_OPEN_READONLY);
    {
        Statement s(db, "SELECT code, lastname FROM phone INDEXED BY phone_lastname ORDER BY lastname LIMIT 1 OFFSET ?");
        std::mt19937 rng(2);
        for (auto _ : state) {
            sqlite3_bind_int64(s.stmt, 1, rng() % kSubscribers);
            benchmark::DoNotOptimize(sqlite3_step(s.stmt));
            s.reset();
        }
    }
    sqlite3_close(db);
}

void Sqlite_FullScan(benchmark::State& state) {
    const auto& f = fixture();
    sqlite3* db = open_sqlite(f.sqlite_file, SQLITE_OPEN_READONLY);
    {
        Statement s(db, "SELECT lastname FROM phone INDEXED BY phone_lastname_index ORDER BY lastname, firstname, middlename");
        for (auto _ : state) {
            std::size_t total = 0;
            while (sqlite3_step(s.stmt) == SQLITE_ROW) total += static_cast<std::size_t>(sqlite3_column_bytes(s.stmt, 0));
            benchmark::DoNotOptimize(total);
            s.reset();
        }
    }
    sqlite3_close(db);
}

}  // namespace

BENCHMARK(Engine_Open)->Name("Engine/Open")->Unit(benchmark::kMillisecond);
BENCHMARK(Sqlite_Open)->Name("Sqlite/Open")->Unit(benchmark::kMillisecond);
BENCHMARK(Engine_OpenWithIndex)->Name("Engine/OpenWithIndex")->Unit(benchmark::kMillisecond);
BENCHMARK(Engine_OpenFresh)->Name("Engine/OpenFresh")->Unit(benchmark::kMillisecond);
BENCHMARK(Engine_SwitchIndex)->Name("Engine/SwitchIndex")->Unit(benchmark::kMicrosecond);
BENCHMARK(Engine_BuildIndex)->Name("Engine/BuildIndex")->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(Sqlite_BuildIndex)->Name("Sqlite/BuildIndex")->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(Engine_NearestSearch)->Name("Engine/NearestSearch")->Unit(benchmark::kMicrosecond);
BENCHMARK(Sqlite_NearestSearch)->Name("Sqlite/NearestSearch")->Unit(benchmark::kMicrosecond);
BENCHMARK(Engine_KeySearch)->Name("Engine/KeySearch")->Unit(benchmark::kMicrosecond);
BENCHMARK(Sqlite_KeySearch)->Name("Sqlite/KeySearch")->Unit(benchmark::kMicrosecond);
BENCHMARK(Engine_Next)->Name("Engine/Next")->Unit(benchmark::kMicrosecond);
BENCHMARK(Sqlite_Next)->Name("Sqlite/Next")->Unit(benchmark::kMicrosecond);
BENCHMARK(Engine_RecNo)->Name("Engine/RecNo")->Unit(benchmark::kMicrosecond);
BENCHMARK(Sqlite_RecNo)->Name("Sqlite/RecNo")->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(Engine_PositionByRecNo)->Name("Engine/PositionByRecNo")->Unit(benchmark::kMicrosecond);
BENCHMARK(Sqlite_PositionByRecNo)->Name("Sqlite/PositionByRecNo")->Unit(benchmark::kMillisecond)->Iterations(50);
BENCHMARK(Engine_FullScan)->Name("Engine/FullScan")->Unit(benchmark::kMillisecond);
BENCHMARK(Sqlite_FullScan)->Name("Sqlite/FullScan")->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
