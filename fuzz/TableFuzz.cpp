// libFuzzer target for the table reader: a table file and one index file from
// the input, then everything a user can make the engine do with them.
//
// Input: 4 bytes little-endian table length, 1 byte of choices (bit 0 clear:
// a single-field index on field 2, "t.X02"; set: a composite one, "t.XG0";
// bit 1 set: index entries checked as they are used, as for a big table,
// instead of all before use; bit 2 set: the password "123" is given), the
// table's bytes, then the index file's bytes.
// Protected tables are refused without their password and decrypted block by
// block with it.
#include "engine/Cursor.h"
#include "engine/EngineError.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

// One folder per process for the files of the current input, removed at exit.
struct WorkDir {
    WorkDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "abonix-fuzz-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) std::abort();
        path = pattern;
    }
    ~WorkDir() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
    std::filesystem::path path;
};

const std::filesystem::path& work_dir() {
    static const WorkDir dir;
    return dir.path;
}

void put(const std::filesystem::path& p, const std::uint8_t* data, std::size_t size) {
    std::FILE* f = std::fopen(p.c_str(), "wb");
    if (!f) std::abort();
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);
}

void exercise(engine::Cursor& c) {
    engine::Table& t = c.table();
    std::string text;
    for (int i = -1; i < static_cast<int>(t.indexes().size()); ++i) {
        try {
            c.switch_index_number(i, false);
            for (int steps = 0; steps < 64; ++steps) {
                c.next();
                for (int f = 0; f < static_cast<int>(t.fields().size()); ++f) {
                    c.value(f);
                    if (t.fields()[static_cast<std::size_t>(f)].type == engine::FieldType::Alpha) c.text(f, text);
                }
            }
        } catch (const engine::EngineError&) {
        }
        if (i < 0) continue;
        try {
            const auto& first = t.fields()[static_cast<std::size_t>(t.indexes()[static_cast<std::size_t>(i)].fields[0])];
            const engine::Value key = first.type == engine::FieldType::Alpha ? engine::Value::of_text("M") : engine::Value::of_int(3);
            c.set_to_key(key);
            c.next();
            c.get_record_for_key(key);
            c.sequence_number();
            c.switch_index_number(-1, true);
            c.set_sequence_number(t.record_count() / 2 + 1);
            c.prior();
        } catch (const engine::EngineError&) {
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 5) return 0;
    const std::size_t table_len = data[0] | (data[1] << 8) | (data[2] << 16) | (static_cast<std::size_t>(data[3]) << 24);
    const bool composite = data[4] & 1;
    engine::Config config;
    if (data[4] & 2) config.index_check_limit = 0;
    engine::OpenOptions options;
    if (data[4] & 4) options.passwords = {"123"};  // the password of the protected seeds
    data += 5;
    size -= 5;
    const std::size_t n = table_len < size ? table_len : size;
    const auto dir = work_dir();
    std::filesystem::remove(dir / "t.X02");
    std::filesystem::remove(dir / "t.XG0");
    put(dir / "t.db", data, n);
    if (size > n) put(dir / (composite ? "t.XG0" : "t.X02"), data + n, size - n);
    try {
        auto table = engine::Table::open(dir / "t.db", options, config);
        for (std::uint32_t r = 0; r < table->record_count() && r < 256; ++r)
            for (int f = 0; f < static_cast<int>(table->fields().size()); ++f) table->value(r, f);
        engine::Cursor c(table);
        exercise(c);
    } catch (const engine::EngineError&) {
    }
    return 0;
}
