// One Paradox file with records in data blocks: a table (.db) or one of its
// secondary index files (.Xnn, .XGn), which Paradox keeps in the same format.
//
// Opening must not read every block: a million-record table has thousands.
// When the header allows it, the blocks are taken to be full and in file
// order (as our writer and a freshly restructured Paradox table leave them),
// and each block's own header is checked the first time one of its records
// is read; at the first block that disagrees the engine walks the chain once
// and uses the real block list instead. Either way every address handed out
// lies inside the mapping: the sequential guess is made only when the file is
// long enough for it, and the chain walk checks each block it visits.
// Files that carry our writer's seal skip the per-block check.
//
// A password-protected file is read through a private copy: each block is
// decrypted into it the first time any of its bytes are needed, so opening
// stays cheap and a plain file is read from the mapping as before.
//
// The last block may end before its nominal end (files from the wild do):
// only the part its records use has to lie inside the file.
//
// Another program may change the file while we read it. Pages cut off the
// end of the file read as zeros (LostPages.h), and a rewrite shows in the
// header; check_intact(), which every engine operation calls once it has
// read, turns either into an error naming the file (it reads the file's last
// byte, so a file cut short is noticed even when nothing lost was needed), so that nothing read from
// a file in that state is handed out. A file replaced by a rename leaves ours
// whole: it is read as it was opened until the caller opens the new one.
#pragma once

#include "engine/MappedFile.h"
#include "engine/Value.h"

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>
#include <span>
#include <vector>

namespace engine {

struct ParadoxHeader {
    int record_size = 0;
    int header_size = 0;
    int file_type = 0;          // 0 keyed table, 2 table without key, 3/5 (.Xnn) and 6/8 (.XGn) secondary index data
    int block_size = 0;         // bytes
    std::uint32_t record_count = 0;
    int file_blocks = 0;
    int first_block = 0;
    int version = 0;            // 30, 35, 40, 50 or 70
    int declared_code_page = 0; // 0 when the file declares none
    std::uint32_t password_checksum = 0;  // 0 when the file is not protected
    int key_fields = 0;
    std::uint32_t auto_increment = 0;
    std::uint32_t update_stamp = 0;
    std::uint32_t seal = 0;
    std::uint16_t change_count = 0;
    std::uint8_t index_attributes = 0;  // secondary index data: unique, descending, case-insensitive bits
    int first_indexed_field = 0;        // secondary index data: 1-based table field number
    bool needs_rebuild = false;         // one of the "modified" / "index update required" flags is set
    std::vector<std::uint16_t> field_numbers;  // per field; empty in files older than Paradox 4
    AnsiString table_name;
    AnsiString index_name;         // a .XGn file's index name
    AnsiString sort_order;         // "ascii", "intl", "cyrr", "ANSIINTL", ...
    std::vector<FieldDesc> fields; // names in CP1251
};

// Fixed offsets of the header, shared with the writer.
namespace layout {
inline constexpr int kIndexAttributes = 0x55;
inline constexpr std::uint8_t kAttrCaseInsensitive = 0x01, kAttrDescending = 0x10, kAttrUnique = 0x20;
// Our writer seals files whose blocks are full and in file order with a value
// derived from the update stamp and record count; any other writer that
// changes the file changes the stamp (and leaves its own bytes here), so the
// seal no longer matches and the blocks are checked as they are read.
inline constexpr int kSequentialSeal = 0x1A;
inline std::uint32_t sequential_seal(std::uint32_t stamp, std::uint32_t records) {
    return stamp ^ (records * 0x9E3779B1U) ^ 0x5EA1B10CU;
}
inline constexpr int kDataHeaderEnd = 0x78;
inline constexpr int kOldHeaderEnd = 0x58;
inline constexpr int kBlockHeader = 6;
}  // namespace layout

class ParadoxFile {
public:
    // Throws EngineError naming the file: missing, truncated, corrupt, or
    // protected by a password none of the given ones matches (kErrPasswordRequired).
    // Without blocks only the header is read (index definitions at open time).
    ParadoxFile(const std::filesystem::path& path, int default_code_page,
                std::span<const AnsiString> passwords = {}, bool with_blocks = true);

    const std::filesystem::path& path() const { return m_path; }
    const ParadoxHeader& header() const { return m_header; }
    int code_page() const { return m_code_page; }
    std::uint32_t record_count() const { return m_header.record_count; }

    // Raw record bytes of the n-th record in block-chain order; n < record_count().
    const unsigned char* record(std::uint32_t n) const {
        if (m_sequential) {
            const std::uint32_t block = block_of(n);
            if (!m_checked[block]) check_block(block);
            if (m_sequential)
                return m_data + m_header.header_size + static_cast<std::size_t>(block) * m_header.block_size +
                       layout::kBlockHeader + static_cast<std::size_t>(n - block * m_per_block) * m_header.record_size;
        }
        return record_slow(n);
    }

    // Records of the data block with the 1-based number a block header or an
    // index entry gives: the first's record number and their count. False for
    // a number that names no block in use.
    bool block_records(int block_number, std::uint32_t& first, std::uint32_t& count) const;

    // Every page of the file mapped at once, before a read of all of it out of order.
    void populate() const { m_map.populate(); }

    // Throws kErrCorrupt naming the file when it was cut short under the
    // mapping or rewritten since it was opened; once it failed it always fails.
    void check_intact() const {
        const bool moved = header_moved();  // touches the first and the last page
        if (m_changed || moved || m_map.lost()) [[unlikely]]
            changed_on_disk();
    }


private:
    // n / m_per_block by a multiplication: a division would cost a scan a good
    // part of its time per record (exact for every 32-bit n).
    std::uint32_t block_of(std::uint32_t n) const {
        if (m_per_block == 1) return n;
        return static_cast<std::uint32_t>((static_cast<unsigned __int128>(m_block_magic) * n) >> 64);
    }
    const unsigned char* record_slow(std::uint32_t n) const;
    void parse_header(int default_code_page);
    void check_password(std::span<const AnsiString> passwords);
    // The block at a file offset, decrypted first when the file is protected.
    const unsigned char* block_at(std::size_t offset) const {
        return m_plain ? decrypted_block(offset) : m_map.data() + offset;
    }
    const unsigned char* decrypted_block(std::size_t offset) const;
    void map_blocks() const;
    void check_block(std::uint32_t block) const;
    [[noreturn]] void fail(int code, const AnsiString& problem) const;
    // The header words a writer changes with the records, against their values
    // at opening. The file's last byte is read too: a file cut anywhere short
    // of it faults there and so is marked lost, also when what the reader
    // needed was read (or decrypted) before.
    bool header_moved() const {
        if (!m_watch_header) return false;
        const unsigned char* d = m_map.data();
        static_cast<void>(*static_cast<const volatile unsigned char*>(d + m_map.size() - 1));
        std::uint64_t w[3];
        std::memcpy(&w[0], d, 8);
        std::memcpy(&w[1], d + 8, 8);
        std::memcpy(&w[2], d + m_stamp_at, 8);
        return w[0] != m_header_words[0] || w[1] != m_header_words[1] || w[2] != m_header_words[2];
    }
    [[noreturn]] void changed_on_disk() const;

    std::filesystem::path m_path;
    MappedFile m_map;
    const unsigned char* m_data = nullptr;  // the mapping, or m_plain for a protected file
    // A protected file's bytes, each block decrypted on first use (flag per block).
    std::unique_ptr<unsigned char[]> m_plain;
    mutable std::vector<std::uint8_t> m_decrypted;
    ParadoxHeader m_header;
    int m_code_page = 0;
    std::uint32_t m_per_block = 1;
    std::uint64_t m_block_magic = 0;  // 2^64 / m_per_block, rounded up (not used for one record a block)
    // Sequential guess: one flag per block, set once its header agreed.
    mutable bool m_sequential = false;
    mutable std::vector<std::uint8_t> m_checked;
    // Real block list from the chain: offset and first record number of each block.
    mutable std::vector<std::uint32_t> m_blocks;
    mutable std::vector<std::uint32_t> m_block_first;
    mutable std::vector<std::uint32_t> m_block_slot;  // block number -> index in m_blocks + 1, 0 when unused
    mutable bool m_broken = false;
    // The header as it was when the file was opened (record count, blocks, update stamp).
    bool m_watch_header = false;
    std::size_t m_stamp_at = 0;
    std::uint64_t m_header_words[3] = {};
    mutable bool m_changed = false;
};

}  // namespace engine
