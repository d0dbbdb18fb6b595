// Writes Paradox 7 tables with their secondary index files.
//
// The table's blocks are written full and in order (a keyed table sorted by
// its primary key, with its primary index "<table>.PX"). Each secondary index
// is written as Paradox keeps one: single-field indexes without flags as
// "<table>.Xnn" (nn = field number in hex), the others as "<table>.XGn" named
// in its header; each entry holds the key fields, then the primary key and
// the record's block number (a table without key: ordinal, block, place in
// the block), in index order, with a tree ".Ynn" / ".YGn" over it.
// Files are written beside the target and renamed into place at the end.
// Records go to the table file as they come when a keyed table gets them in
// key order (as an auto-increment key does); only records out of order are
// gathered in memory to be sorted. Each secondary index is sorted from its
// entries alone, in runs spilled to a temporary file and merged when they do
// not fit kSortMemory, so the memory used stays flat however many records come.
// With a password the data blocks of the table and of its index data files
// are encrypted; the trees (.PX, .Ynn, .YGn) stay in clear.
//
//   engine::TableSchema schema;
//   schema.fields = {{"Code", engine::FieldType::AutoInc}, {"Name", engine::FieldType::Alpha, 20}};
//   schema.key_fields = 1;
//   schema.indexes = {{"Name", {"Name"}}, {"ByName", {"Name", "Code"}, true /*case-insensitive*/}};
//   engine::write_table("t.db", schema, {{engine::Value::null(), engine::Value::of_text("Иванов"_a)}});
#pragma once

#include "engine/Value.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <memory>
#include <span>
#include <vector>

namespace engine {

struct FieldSchema {
    AnsiString name;
    FieldType type{};
    int size = 0;  // alpha and bytes: characters/bytes; BCD: decimals; others: ignored
};

struct IndexSchema {
    AnsiString name;
    std::vector<AnsiString> fields;
    bool case_insensitive = false;
    bool descending = false;
    bool unique = false;
};

struct TableSchema {
    std::vector<FieldSchema> fields;
    int key_fields = 0;  // the first key_fields fields form the primary key
    std::vector<IndexSchema> indexes;
    int code_page = 1251;
    AnsiString sort_order = "ancyrr";  // a Cyrillic order: Russian alphabet, letter case ignored
    int block_kb = 32;                 // 1, 2, 3, 4, 8, 16 or 32
    AnsiString password;               // non-empty: the table and its index data files are protected by it
};

// Memory one index's entries may take while they are sorted.
inline constexpr std::size_t kSortMemory = 32u << 20;

class TableWriter {
public:
    // Throws kErrInvalidArgument for a schema that cannot be written.
    TableWriter(std::filesystem::path path, TableSchema schema);
    // Removes the temporary files of a writer that did not finish.
    ~TableWriter();
    TableWriter(const TableWriter&) = delete;
    TableWriter& operator=(const TableWriter&) = delete;

    // One value per field in order; a blank auto-increment field gets the next number.
    void append(std::span<const Value> values);
    void append(std::initializer_list<Value> values) { append(std::span<const Value>(values.begin(), values.size())); }
    std::uint32_t count() const { return m_count; }

    // Writes the table and its index files. Throws kErrKeyViolation when the
    // primary key or a unique index holds a key twice, kErrIo when writing fails;
    // on failure the files already there are left as they were.
    void finish();

    // Called now and then while records are written and indexes sorted; it may
    // throw to stop the writer, which then leaves the files there as they were.
    void set_checkpoint(std::function<void()> checkpoint) { m_checkpoint = std::move(checkpoint); }

private:
    struct Stream;
    void add_record(const unsigned char* record);
    void gather_in_memory();

    std::filesystem::path m_path;
    TableSchema m_schema;
    std::vector<FieldDesc> m_fields;
    int m_record_size = 0;
    std::uint32_t m_count = 0;
    std::int64_t m_auto_inc = 0;
    std::unique_ptr<Stream> m_stream;     // the table file while records arrive in key order
    std::vector<unsigned char> m_records;  // the records, once one came out of key order
    std::vector<unsigned char> m_last;     // the previous record, to see the key order
    std::vector<unsigned char> m_scratch;  // the record being encoded
    bool m_in_memory = false;
    std::function<void()> m_checkpoint;
};

void write_table(const std::filesystem::path& path, const TableSchema& schema, const std::vector<std::vector<Value>>& records);

}  // namespace engine
