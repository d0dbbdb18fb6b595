// A secondary index file as Paradox keeps it beside a table: ".Xnn" for a
// plain single-field index, ".XGn" for a composite or named one. It is itself
// a table with one entry per table record, sorted in index order; an entry
// holds the indexed fields, then for a keyed table its primary key and
// "Blk Num" (the data block that held the record when the entry was written),
// for a table without key "Tup No", "Blk Num" and "Tup Offset".
//
// The entry says which record it stands for only through the primary key and
// a block hint, so position -> record is worked out on first use of each
// position (the hinted block's records searched for the key) and remembered;
// once many positions were used one by one, all are worked out in one pass.
// Opening an index therefore costs nothing per entry; a resolved entry whose
// indexed fields differ from the record's, or whose record cannot be found,
// proves the file out of date and raises kErrCorrupt instead of handing out a
// wrong record. verify_all() does that for every entry up front.
//
// Invariants: every remembered record number is < table record count and its
// record's indexed fields equal the entry's.
#pragma once

#include "engine/ParadoxFile.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace engine {

// How the entries of an index file line up with its table's records.
struct IndexFileLayout {
    std::vector<int> fields;   // table field numbers (0-based) of the indexed fields, in key order
    bool keyed = true;         // entries carry the primary key (else Tup No / Tup Offset)
    int key_offset = 0;        // keyed: the primary key's bytes in an entry
    int key_width = 0;
    int block_offset = 0;      // "Blk Num"
    int tuple_offset = -1;     // "Tup No" (table without key)
    int tuple_pos_offset = -1; // "Tup Offset" (table without key)
    bool maintained = true;    // kept up to date by its writer on every change
    bool descending = false;
    bool unique = false;
    bool case_insensitive = false;
};

class SecondaryIndexFile {
public:
    // The layout of an index file given its header and its table's, or nothing
    // when the file does not describe an index of that table.
    static std::optional<IndexFileLayout> describe(const ParadoxHeader& index, const ParadoxHeader& table);

    SecondaryIndexFile(std::unique_ptr<ParadoxFile> file, const ParadoxFile& table, IndexFileLayout layout);

    const std::filesystem::path& path() const { return m_file->path(); }
    std::uint32_t size() const { return m_file->record_count(); }
    const IndexFileLayout& layout() const { return m_layout; }
    // Raw bytes of the entry at a position; the indexed fields come first.
    const unsigned char* entry(std::uint32_t position) const { return m_file->record(position); }
    // The table record the entry at a position stands for (kErrCorrupt when it has none).
    std::uint32_t record_at(std::uint32_t position) const {
        if (const std::uint32_t* chunk = m_chunks[position >> kChunkBits].get())
            if (const std::uint32_t known = chunk[position & kChunkMask]) return known - 1;
        return resolve(position);
    }
    // Resolves every entry it can, block by block of the table, which is far
    // quicker than one by one; entries without a record stay errors when read.
    void resolve_all() const;
    // Resolves every entry: false when one has no matching record or two share one.
    bool verify_all() const;
    // The index file and its table as ParadoxFile::check_intact().
    void check_intact() const {
        m_file->check_intact();
        m_table->check_intact();
    }

#ifndef NDEBUG
    void check_invariants() const;
#endif

private:
    std::uint32_t resolve(std::uint32_t position) const;
    std::optional<std::uint32_t> find(const unsigned char* entry) const;
    bool matches(const unsigned char* entry, std::uint32_t record) const;
    std::optional<std::uint32_t> find_key(const unsigned char* key, std::uint32_t first, std::uint32_t count) const;

    void remember(std::uint32_t position, std::uint32_t record) const;

    // Record number + 1 per position, 0 until resolved, in chunks made as
    // positions are first used: a million entries cost nothing until read.
    static constexpr int kChunkBits = 12;
    static constexpr std::uint32_t kChunkMask = (1U << kChunkBits) - 1;

    std::unique_ptr<ParadoxFile> m_file;
    const ParadoxFile* m_table;
    IndexFileLayout m_layout;
    mutable std::vector<std::unique_ptr<std::uint32_t[]>> m_chunks;
    mutable std::uint32_t m_resolved_singly = 0;
    mutable bool m_resolved_all = false;
};

}  // namespace engine
