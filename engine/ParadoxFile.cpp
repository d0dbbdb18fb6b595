#include "engine/ParadoxFile.h"

#include "engine/CodePage.h"
#include "engine/EngineError.h"
#include "engine/ParadoxCipher.h"
#include "text/Cp1251.h"

#include <algorithm>

namespace engine {
namespace {

std::uint16_t le16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::uint32_t le32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

int version_of(int id) {
    if (id == 3) return 30;
    if (id == 4) return 35;
    if (id >= 5 && id <= 9) return 40;
    if (id == 10 || id == 11) return 50;
    if (id == 12) return 70;
    return 0;
}

// Bytes a field takes in the record, or 0 when the declared size is impossible.
int field_width(FieldType type, int size) {
    switch (type) {
    case FieldType::Alpha:
    case FieldType::Bytes: return size >= 1 && size <= 255 ? size : 0;
    case FieldType::Date:
    case FieldType::Long:
    case FieldType::Time:
    case FieldType::AutoInc: return 4;
    case FieldType::Short: return 2;
    case FieldType::Currency:
    case FieldType::Number:
    case FieldType::Timestamp: return 8;
    case FieldType::Logical: return 1;
    case FieldType::Bcd: return size <= 32 ? 17 : 0;
    case FieldType::Memo:
    case FieldType::Blob:
    case FieldType::FormattedMemo:
    case FieldType::Ole:
    case FieldType::Graphic: return size >= 10 && size <= 250 ? size : 0;
    }
    return 0;
}

}  // namespace

ParadoxFile::ParadoxFile(const std::filesystem::path& path, int default_code_page,
                         std::span<const AnsiString> passwords, bool with_blocks)
    : m_path(path), m_map(with_blocks ? MappedFile(path) : MappedFile(path, 4096)) {
    if (!with_blocks && m_map.size() >= 4 && (m_map.data()[2] | (m_map.data()[3] << 8)) > 4096)
        m_map = MappedFile(path, static_cast<std::size_t>(m_map.data()[2] | (m_map.data()[3] << 8)));
    m_data = m_map.data();
    parse_header(default_code_page);
    if (!with_blocks) return;  // the header is never encrypted
    if (m_map.size() >= 16) {
        // The update stamp sits at 0x60 in a data header; an older header repeats the first words.
        m_stamp_at = m_header.header_size >= 0x68 ? 0x60 : 0;
        std::memcpy(&m_header_words[0], m_map.data(), 8);
        std::memcpy(&m_header_words[1], m_map.data() + 8, 8);
        std::memcpy(&m_header_words[2], m_map.data() + m_stamp_at, 8);
        m_watch_header = true;
    }
    const ParadoxHeader& h = m_header;
    if (h.password_checksum != 0) check_password(passwords);
    m_per_block = static_cast<std::uint32_t>((h.block_size - layout::kBlockHeader) / h.record_size);
    if (m_per_block == 0) fail(kErrCorrupt, "records are larger than a block");
    m_block_magic = UINT64_MAX / m_per_block + 1;
    const std::uint64_t blocks = (static_cast<std::uint64_t>(h.record_count) + m_per_block - 1) / m_per_block;
    // The last block needs to reach only as far as its records.
    const std::uint64_t last_used = blocks == 0 ? 0
        : layout::kBlockHeader + (h.record_count - (blocks - 1) * m_per_block) * static_cast<std::uint64_t>(h.record_size);
    if (h.record_count > 0 && h.first_block == 1 &&
        static_cast<std::uint64_t>(h.header_size) + (blocks - 1) * static_cast<std::uint64_t>(h.block_size) + last_used <=
            m_map.size()) {
        m_sequential = true;
        // A protected block is decrypted by its check, so none is taken on trust.
        const bool sealed = !m_plain && h.update_stamp != 0 &&
                            h.seal == layout::sequential_seal(h.update_stamp, h.record_count);
        m_checked.assign(static_cast<std::size_t>(blocks), sealed ? 1 : 0);
    } else {
        map_blocks();
    }
}

void ParadoxFile::fail(int code, const AnsiString& problem) const {
    throw EngineError(code, text::utf8_to_cp1251(m_path.string()) + ": " + problem);
}

void ParadoxFile::changed_on_disk() const {
    m_changed = true;
    m_broken = true;
    fail(kErrCorrupt, m_map.lost() ? AnsiString("the file was cut short while it was read")
                                   : AnsiString("the file was changed by another program while it was read"));
}

void ParadoxFile::check_password(std::span<const AnsiString> passwords) {
    const std::uint32_t wanted = m_header.password_checksum;
    if (std::none_of(passwords.begin(), passwords.end(),
                     [wanted](const AnsiString& p) { return ParadoxCipher::checksum(p) == wanted; }))
        fail(kErrPasswordRequired, passwords.empty() ? AnsiString("the table is protected by a password")
                                                     : AnsiString("wrong password for the table"));
    const std::size_t size = m_map.size();
    m_plain = std::make_unique_for_overwrite<unsigned char[]>(size);
    std::copy(m_map.data(), m_map.data() + m_header.header_size, m_plain.get());
    m_data = m_plain.get();
    const std::size_t blocks = (size - static_cast<std::size_t>(m_header.header_size) + m_header.block_size - 1) /
                               static_cast<std::size_t>(m_header.block_size);
    m_decrypted.assign(blocks, 0);
}

const unsigned char* ParadoxFile::decrypted_block(std::size_t offset) const {
    const std::size_t index = (offset - static_cast<std::size_t>(m_header.header_size)) / m_header.block_size;
    unsigned char* block = m_plain.get() + offset;
    if (!m_decrypted[index]) {
        const std::size_t length = std::min(static_cast<std::size_t>(m_header.block_size), m_map.size() - offset);
        std::copy(m_map.data() + offset, m_map.data() + offset + length, block);
        ParadoxCipher(m_header.password_checksum).decrypt_block(block, length, static_cast<int>(index) + 1);
        m_decrypted[index] = 1;
    }
    return block;
}

void ParadoxFile::parse_header(int default_code_page) {
    const unsigned char* d = m_map.data();
    const std::size_t size = m_map.size();
    if (size < static_cast<std::size_t>(layout::kOldHeaderEnd)) fail(kErrCorrupt, "file is too short for a Paradox header");
    ParadoxHeader& h = m_header;
    h.record_size = le16(d + 0x00);
    h.header_size = le16(d + 0x02);
    h.file_type = d[0x04];
    const int max_table_size = d[0x05];
    h.record_count = le32(d + 0x06);
    h.file_blocks = le16(d + 0x0C);
    h.first_block = le16(d + 0x0E);
    const int field_count = le16(d + 0x21);
    h.key_fields = le16(d + 0x23);
    const int version_id = d[0x39];
    h.auto_increment = le32(d + 0x49);
    h.index_attributes = d[layout::kIndexAttributes];
    h.first_indexed_field = d[0x15];
    h.needs_rebuild = d[0x14] != 0 || d[0x2A] != 0 || d[0x4F] != 0;
    h.version = version_of(version_id);

    if (h.version == 0) fail(kErrCorrupt, "not a Paradox file (unknown version " + std::to_string(version_id) + ")");
    if (h.file_type != 0 && h.file_type != 2 && h.file_type != 3 && h.file_type != 5 && h.file_type != 6 &&
        h.file_type != 8)
        fail(kErrUnsupported, "not a Paradox table (file type " + std::to_string(h.file_type) + ")");
    static constexpr int kSizes[] = {1, 2, 3, 4, 8, 16, 32};
    if (std::find(std::begin(kSizes), std::end(kSizes), max_table_size) == std::end(kSizes))
        fail(kErrCorrupt, "invalid block size " + std::to_string(max_table_size));
    h.block_size = max_table_size * 1024;
    if (h.header_size < layout::kOldHeaderEnd || static_cast<std::size_t>(h.header_size) > size)
        fail(kErrCorrupt, "header size " + std::to_string(h.header_size) + " does not fit the file");
    if (field_count < 1 || field_count > 1024) fail(kErrCorrupt, "invalid field count " + std::to_string(field_count));
    if (h.key_fields > field_count) fail(kErrCorrupt, "more key fields than fields");

    const bool data_header = version_id >= 5 && h.file_type != 1 && h.file_type != 4 && h.file_type != 7;
    const int fields_at = data_header ? layout::kDataHeaderEnd : layout::kOldHeaderEnd;
    if (data_header && h.header_size < layout::kDataHeaderEnd) fail(kErrCorrupt, "header is too short");
    // Newer files mark the old place with a constant and keep the checksum further on.
    h.password_checksum = le32(d + (data_header ? 0x5C : 0x25));
    if (data_header) {
        h.update_stamp = le32(d + 0x60);
        h.seal = le32(d + layout::kSequentialSeal);
        h.declared_code_page = le16(d + 0x6A);
        h.change_count = le16(d + 0x70);
    }

    m_code_page = h.declared_code_page;
    if (m_code_page == 0) m_code_page = default_code_page;
    else if (!CodePage::supported(m_code_page)) m_code_page = CodePage::kUnknown;
    const CodePage& cp = CodePage::get(m_code_page);

    const std::size_t hs = static_cast<std::size_t>(h.header_size);
    std::size_t at = static_cast<std::size_t>(fields_at);
    if (at + static_cast<std::size_t>(field_count) * 2 > hs) fail(kErrCorrupt, "field descriptors run past the header");
    int offset = 0;
    h.fields.resize(static_cast<std::size_t>(field_count));
    for (auto& f : h.fields) {
        const std::uint8_t type = d[at];
        const int declared = d[at + 1];
        at += 2;
        if (!is_known_field_type(type)) fail(kErrCorrupt, "unknown field type " + std::to_string(type));
        f.type = static_cast<FieldType>(type);
        f.size = declared;
        f.width = field_width(f.type, declared);
        if (f.width == 0) fail(kErrCorrupt, "invalid size " + std::to_string(declared) + " of a field");
        f.offset = offset;
        offset += f.width;
    }
    if (offset != h.record_size) fail(kErrCorrupt, "record size in header does not match the fields");

    // Table name pointer, one pointer per field, the table name, then the field names.
    at += 4 + static_cast<std::size_t>(field_count) * 4;
    const std::size_t name_len = h.version >= 70 ? 261 : 79;
    if (at + name_len > hs) fail(kErrCorrupt, "field names run past the header");
    const char* base = reinterpret_cast<const char*>(d);
    auto read_string = [&](std::size_t limit) -> AnsiString {
        const std::size_t end = std::min(limit, hs);
        std::size_t stop = at;
        while (stop < end && d[stop] != 0) ++stop;
        if (stop >= end) fail(kErrCorrupt, "unterminated name in the header");
        AnsiString s = cp.to_ansi(std::string_view(base + at, stop - at));
        at = stop + 1;
        return s;
    };
    const std::size_t name_start = at;
    h.table_name = read_string(at + name_len);
    at = name_start + name_len;
    for (auto& f : h.fields) f.name = read_string(hs);
    if (h.version >= 40 && at + static_cast<std::size_t>(field_count) * 2 < hs) {
        for (int i = 0; i < field_count; ++i, at += 2) h.field_numbers.push_back(le16(d + at));
        std::size_t stop = at;
        while (stop < hs && d[stop] != 0) ++stop;
        if (stop < hs) h.sort_order = AnsiString(base + at, stop - at);
        // A composite index file names its index; the header says where.
        const std::size_t name_at = data_header ? le16(d + 0x68) : 0;
        if (name_at != 0 && name_at + 0x58 < hs) {
            at = name_at + 0x58;
            stop = at;
            while (stop < hs && d[stop] != 0) ++stop;
            if (stop < hs) h.index_name = cp.to_ansi(std::string_view(base + at, stop - at));
        }
    }
}

void ParadoxFile::check_block(std::uint32_t block) const {
    const ParadoxHeader& h = m_header;
    const std::size_t blocks = m_checked.size();
    const unsigned char* b = block_at(static_cast<std::size_t>(h.header_size) + static_cast<std::size_t>(block) * h.block_size);
    const std::uint32_t count = block + 1 < blocks ? m_per_block : h.record_count - block * m_per_block;
    const std::uint32_t next = block + 1 < blocks ? block + 2 : 0;
    if (le16(b) == next && static_cast<std::int16_t>(le16(b + 4)) == static_cast<int>((count - 1) * h.record_size)) {
        m_checked[block] = 1;
        return;
    }
    m_sequential = false;
    m_checked.clear();
    try {
        map_blocks();
    } catch (const EngineError&) {
        m_broken = true;  // every later read fails the same way instead of using a half-built block list
        throw;
    }
}

void ParadoxFile::map_blocks() const {
    const ParadoxHeader& h = m_header;
    const std::size_t size = m_map.size();
    const std::uint32_t per_block = m_per_block;
    std::uint32_t total = 0;
    int block = h.record_count == 0 && h.file_blocks == 0 ? 0 : h.first_block;
    std::vector<bool> seen;
    std::vector<std::uint32_t> offsets, firsts, slots;
    while (block != 0) {
        const std::size_t offset = static_cast<std::size_t>(h.header_size) + static_cast<std::size_t>(block - 1) * h.block_size;
        if (offset + layout::kBlockHeader > size)
            fail(kErrCorrupt, "block " + std::to_string(block) + " lies past the end of the file");
        if (seen.size() <= static_cast<std::size_t>(block)) seen.resize(static_cast<std::size_t>(block) + 1);
        if (seen[static_cast<std::size_t>(block)]) fail(kErrCorrupt, "data blocks form a loop");
        seen[static_cast<std::size_t>(block)] = true;
        const unsigned char* b = block_at(offset);
        const int next = le16(b);
        const int last_offset = static_cast<std::int16_t>(le16(b + 4));
        std::uint32_t count = 0;
        if (last_offset >= 0) {
            if (last_offset % h.record_size != 0) fail(kErrCorrupt, "block " + std::to_string(block) + " has a ragged record count");
            count = static_cast<std::uint32_t>(last_offset / h.record_size) + 1;
            if (count > per_block) fail(kErrCorrupt, "block " + std::to_string(block) + " claims more records than fit");
            // A block cut short is whole as long as its records are.
            if (offset + layout::kBlockHeader + static_cast<std::size_t>(count) * h.record_size > size)
                fail(kErrCorrupt, "block " + std::to_string(block) + " lies past the end of the file");
        }
        if (count > 0) {
            if (slots.size() <= static_cast<std::size_t>(block)) slots.resize(static_cast<std::size_t>(block) + 1, 0);
            slots[static_cast<std::size_t>(block)] = static_cast<std::uint32_t>(offsets.size()) + 1;
            offsets.push_back(static_cast<std::uint32_t>(offset));
            firsts.push_back(total);
            total += count;
        }
        block = next;
    }
    if (total != h.record_count)
        fail(kErrCorrupt, "header says " + std::to_string(h.record_count) + " records, data blocks hold " +
                              std::to_string(total));
    m_blocks = std::move(offsets);
    m_block_first = std::move(firsts);
    m_block_slot = std::move(slots);
}

bool ParadoxFile::block_records(int block_number, std::uint32_t& first, std::uint32_t& count) const {
    if (block_number < 1 || m_broken) return false;
    const auto b = static_cast<std::uint32_t>(block_number - 1);
    if (m_sequential) {
        if (b >= m_checked.size()) return false;
        if (!m_checked[b]) check_block(b);
        if (m_sequential) {
            first = b * m_per_block;
            count = b + 1 < m_checked.size() ? m_per_block : m_header.record_count - first;
            return true;
        }
    }
    if (static_cast<std::size_t>(block_number) >= m_block_slot.size() || m_block_slot[static_cast<std::size_t>(block_number)] == 0)
        return false;
    const std::size_t slot = m_block_slot[static_cast<std::size_t>(block_number)] - 1;
    first = m_block_first[slot];
    count = (slot + 1 < m_block_first.size() ? m_block_first[slot + 1] : m_header.record_count) - first;
    return true;
}

const unsigned char* ParadoxFile::record_slow(std::uint32_t n) const {
    if (m_broken || n >= m_header.record_count) fail(kErrCorrupt, "data blocks are damaged");
    auto it = std::upper_bound(m_block_first.begin(), m_block_first.end(), n);
    const std::size_t block = static_cast<std::size_t>(it - m_block_first.begin()) - 1;
    return m_data + m_blocks[block] + layout::kBlockHeader +
           static_cast<std::size_t>(n - m_block_first[block]) * m_header.record_size;
}

}  // namespace engine
