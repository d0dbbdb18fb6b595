// One Paradox file with records in data blocks: a table (.db) or one of its
// secondary index files (.Xnn, .XGn), which Paradox keeps in the same format.
//
// Invariants once constructed: every block in m_blocks lies wholly inside the
// mapping, holds between 0 and records_per_block records, and the blocks'
// record counts add up to record_count(); so record(n) never reads outside
// the mapping for n < record_count().
#pragma once

#include "engine/MappedFile.h"
#include "engine/Value.h"

#include <cstdint>
#include <filesystem>
#include <vector>

namespace engine {

struct ParadoxHeader {
    int record_size = 0;
    int header_size = 0;
    int file_type = 0;          // 0 keyed table, 2 table without key, 3/5/6/8 secondary index data
    int block_size = 0;         // bytes
    std::uint32_t record_count = 0;
    int file_blocks = 0;
    int first_block = 0;
    int version = 0;            // 30, 35, 40, 50 or 70
    int declared_code_page = 0; // 0 when the file declares none
    bool encrypted = false;
    int key_fields = 0;
    std::uint32_t auto_increment = 0;
    std::uint32_t update_stamp = 0;
    std::uint16_t change_count = 0;
    std::uint8_t index_flags = 0;  // our secondary index files keep their flags here
    AnsiString table_name;         // for a composite index file: the index's name
    AnsiString sort_order;         // "ascii", "intl", "cyrr", "ANSIINTL", ...
    std::vector<FieldDesc> fields; // names in CP1251
};

// Fixed offsets of the header, shared with the writer.
namespace layout {
inline constexpr int kIndexFlags = 0x2B;
inline constexpr int kDataHeaderEnd = 0x78;
inline constexpr int kOldHeaderEnd = 0x58;
inline constexpr int kBlockHeader = 6;
}  // namespace layout

class ParadoxFile {
public:
    // Throws EngineError naming the file: missing, truncated, corrupt, encrypted
    // (kErrPasswordRequired, or kErrCannotDecrypt when a password was given).
    // Without blocks only the header is read (index definitions at open time).
    ParadoxFile(const std::filesystem::path& path, int default_code_page, bool password_given = false,
                bool with_blocks = true);

    const std::filesystem::path& path() const { return m_path; }
    const ParadoxHeader& header() const { return m_header; }
    int code_page() const { return m_code_page; }
    std::uint32_t record_count() const { return m_header.record_count; }

    // Raw record bytes of the n-th record in block-chain order; n < record_count().
    const unsigned char* record(std::uint32_t n) const {
        if (m_uniform) {
            std::uint32_t block = n / m_per_block;
            return m_map.data() + m_blocks[block] + layout::kBlockHeader +
                   static_cast<std::size_t>(n - block * m_per_block) * m_header.record_size;
        }
        return record_slow(n);
    }

    const unsigned char* bytes() const { return m_map.data(); }
    std::size_t size() const { return m_map.size(); }

private:
    const unsigned char* record_slow(std::uint32_t n) const;
    void parse_header(bool password_given, int default_code_page);
    void map_blocks();
    [[noreturn]] void fail(int code, const AnsiString& problem) const;

    std::filesystem::path m_path;
    MappedFile m_map;
    ParadoxHeader m_header;
    int m_code_page = 0;
    std::vector<std::uint32_t> m_blocks;      // byte offset of each block in chain order
    std::vector<std::uint32_t> m_block_first; // first record number in each block
    std::uint32_t m_per_block = 1;
    bool m_uniform = true;
};

}  // namespace engine
