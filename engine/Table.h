// An open Paradox table: its fields, records and indexes.
//
// Records are addressed by their physical number (0-based, block-chain order).
// Index orders are made on first use: read in place from the index's file
// (.Xnn / .XGn, as Paradox writes them) when it is up to date with the table,
// else sorted in memory; opening a table never sorts. Cursors (Cursor.h) walk an order.
//
//   auto t = engine::Table::open("Phone2k.db");
//   int last = t->field_index("LastName");
//   engine::Value v = t->value(0, last);  // CP1251 text
#pragma once

#include "engine/Config.h"
#include "engine/IndexOrder.h"
#include "engine/KeyEncoder.h"
#include "engine/ParadoxFile.h"
#include "engine/Value.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace engine {

struct IndexDesc {
    AnsiString name;          // "" for the primary index; a field's name for its single-field index
    std::vector<int> fields;  // field numbers (0-based) in key order
    bool primary = false;
    bool unique = false;
    bool descending = false;
    bool case_insensitive = false;
    bool expression = false;  // Paradox has none; kept for the dataset layer's selection rule
    bool maintained = true;      // its file is kept up to date by the program that writes the table
    std::filesystem::path file;  // the secondary index file, empty for the primary index
};

struct OpenOptions {
    bool read_write = false;     // check that we may write; kErrNoWriteAccess when not
    std::vector<AnsiString> passwords;  // tried in turn on a protected table (CP1251 bytes)
};

class Table {
public:
    // Throws EngineError naming the file and the problem.
    static std::shared_ptr<Table> open(const std::filesystem::path& path, const OpenOptions& options = {},
                                       const Config& cfg = config());

    const std::filesystem::path& path() const { return m_file.path(); }
    int version() const { return m_file.header().version; }
    int code_page() const { return m_file.code_page(); }
    const CodePage& code_page_table() const { return *m_cp; }
    Collation collation() const { return m_collation; }
    const AnsiString& sort_order() const { return m_file.header().sort_order; }
    bool read_only() const { return m_read_only; }
    bool keyed() const { return m_file.header().file_type == 0 && m_file.header().key_fields > 0; }
    int key_field_count() const { return keyed() ? m_file.header().key_fields : 0; }
    std::uint32_t auto_increment() const { return m_file.header().auto_increment; }

    const std::vector<FieldDesc>& fields() const { return m_file.header().fields; }
    // Field number by name (letter case ignored), or -1.
    int field_index(std::string_view name) const;

    std::uint32_t record_count() const { return m_file.record_count(); }
    // The value of a field of a physical record (record < record_count()).
    Value value(std::uint32_t record, int field) const;
    // Alpha field text into out, without allocation once out has room.
    void text(std::uint32_t record, int field, std::string& out) const;
    const unsigned char* raw_record(std::uint32_t record) const { return m_file.record(record); }
    // Throws naming the file when it was cut short or rewritten under us
    // (ParadoxFile::check_intact); whoever read raw records calls it before
    // using what it read.
    void check_intact() const { m_file.check_intact(); }

    // Primary index first (keyed tables), then single-field secondary indexes
    // by field number, then composite/named ones by file number.
    const std::vector<IndexDesc>& indexes() const { return m_indexes; }
    // Index number by name (letter case ignored; "" is the primary index), or -1.
    int find_index(std::string_view name) const;
    // The order of index i, or the physical order for -1; made on first use.
    const IndexOrder& order(int index) const;
    const KeyEncoder& key_encoder(int index) const;
    // True once the order of index i is available without sorting (read from its file).
    bool order_from_file(int index) const;

    // Only open() can make the key, so tables live in shared_ptrs that cursors share.
    class Key {
        friend class Table;
        Key() = default;
    };
    Table(Key, const std::filesystem::path& path, const OpenOptions& options, const Config& cfg);

private:
    void find_index_files(int default_code_page);
    std::unique_ptr<SecondaryIndexFile> open_index_file(const IndexDesc& d) const;

    ParadoxFile m_file;
    const CodePage* m_cp;
    Collation m_collation;
    bool m_read_only = true;
    int m_default_code_page;
    std::uint32_t m_index_check_limit;
    std::vector<AnsiString> m_passwords;  // a protected table's index files are protected alike
    std::vector<IndexDesc> m_indexes;
    mutable std::vector<std::optional<IndexOrder>> m_orders;
    mutable std::vector<std::unique_ptr<KeyEncoder>> m_encoders;
    mutable std::optional<IndexOrder> m_physical;
};

}  // namespace engine
