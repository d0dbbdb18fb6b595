#include "engine/TableWriter.h"

#include "engine/CodePage.h"
#include "engine/EngineError.h"
#include "engine/FieldCodec.h"
#include "engine/KeyEncoder.h"
#include "engine/ParadoxCipher.h"
#include "engine/ParadoxFile.h"
#include "text/Cp1251.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <queue>
#include <set>

#include <fcntl.h>
#include <unistd.h>

namespace engine {
namespace {

constexpr int kVersion7 = 0x0C;
constexpr int kTableNameLength = 261;

void put16(std::vector<unsigned char>& b, std::size_t at, std::uint32_t v) {
    b[at] = static_cast<unsigned char>(v & 0xFF);
    b[at + 1] = static_cast<unsigned char>((v >> 8) & 0xFF);
}
void put32(std::vector<unsigned char>& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + static_cast<std::size_t>(i)] = static_cast<unsigned char>((v >> (8 * i)) & 0xFF);
}

int width_of(FieldType type, int size) {
    switch (type) {
    case FieldType::Alpha:
    case FieldType::Bytes: return size >= 1 && size <= 255 ? size : 0;
    case FieldType::Short: return 2;
    case FieldType::Date:
    case FieldType::Long:
    case FieldType::Time:
    case FieldType::AutoInc: return 4;
    case FieldType::Number:
    case FieldType::Currency:
    case FieldType::Timestamp: return 8;
    case FieldType::Logical: return 1;
    case FieldType::Bcd: return size >= 0 && size <= 32 ? 17 : 0;
    default: return size >= 10 && size <= 240 ? size : 0;
    }
}

AnsiString file_name(const std::filesystem::path& p) { return text::utf8_to_cp1251(p.string()); }

// Record encoding of a small number in an index entry: big-endian, top bit flipped.
void put_short_key(unsigned char* at, int v) {
    const auto u = static_cast<std::uint16_t>(v);
    at[0] = static_cast<unsigned char>((u >> 8) ^ 0x80);
    at[1] = static_cast<unsigned char>(u & 0xFF);
}

// Change counters the files of one table share, so that each index file
// shows which state of its table it belongs to.
constexpr std::uint8_t kChangeCount = 1;

// Everything a table or index data file needs besides its records.
struct FileHeader {
    int file_type = 0;
    const std::vector<FieldDesc>* fields = nullptr;
    std::vector<std::uint16_t> field_numbers;  // empty: 1..nf
    int key_fields = 0;
    int block_kb = 32;
    int code_page = 1251;
    AnsiString sort_order;
    AnsiString table_name;
    AnsiString index_name;      // .XGn only
    int first_indexed_field = 0;
    std::uint8_t attributes = 0;
    std::uint32_t auto_inc = 0;
    std::uint32_t stamp = 0;
    std::uint32_t password_checksum = 0;  // 0: not protected
};

std::uint32_t records_per_block(int block_kb, int record_size) {
    return static_cast<std::uint32_t>((block_kb * 1024 - layout::kBlockHeader) / record_size);
}

void put16(unsigned char* at, std::uint32_t v) {
    at[0] = static_cast<unsigned char>(v & 0xFF);
    at[1] = static_cast<unsigned char>((v >> 8) & 0xFF);
}

// The part of the header that every file of a table has, data file and tree alike.
void put_file_head(std::vector<unsigned char>& out, int record_size, std::size_t header_size, int file_type, int block_kb,
                   std::uint32_t count, std::uint32_t blocks, std::size_t fields) {
    put16(out, 0x00, static_cast<std::uint32_t>(record_size));
    put16(out, 0x02, static_cast<std::uint32_t>(header_size));
    out[0x04] = static_cast<unsigned char>(file_type);
    out[0x05] = static_cast<unsigned char>(block_kb);
    put32(out, 0x06, count);
    put16(out, 0x0A, blocks);
    put16(out, 0x0C, blocks);
    put16(out, 0x0E, blocks ? 1 : 0);
    put16(out, 0x10, blocks);
    put16(out, 0x21, static_cast<std::uint32_t>(fields));
    out[0x2D] = kChangeCount;
    out[0x2E] = kChangeCount;
    out[0x39] = kVersion7;
    put16(out, 0x3A, blocks);
}

// A block's own header: the next block in the chain (0 after the last), the
// previous one, and where its last record starts.
void put_block_head(unsigned char* block, std::uint32_t b, std::uint32_t blocks, std::uint32_t records, int record_size) {
    put16(block, b + 1 < blocks ? b + 2 : 0);
    put16(block + 2, b);
    put16(block + 4, (records - 1) * static_cast<std::uint32_t>(record_size));
}

std::size_t data_header_size(const FileHeader& fh) {
    const std::size_t nf = fh.fields->size();
    std::size_t needed = layout::kDataHeaderEnd + nf * 2 + 4 + nf * 4 + kTableNameLength;
    for (const auto& f : *fh.fields) needed += f.name.size() + 1;
    needed += nf * 2 + fh.sort_order.size() + 1 + fh.index_name.size() + 1;
    return (needed + 2047) / 2048 * 2048;
}

// The header of a table or index data file of count records in blocks.
std::vector<unsigned char> data_file_header(const FileHeader& fh, std::uint32_t count, std::uint32_t blocks, int record_size) {
    const auto& fields = *fh.fields;
    const CodePage& cp = CodePage::get(fh.code_page);
    const std::size_t nf = fields.size();
    const bool index_data = fh.file_type != 0 && fh.file_type != 2;
    std::vector<unsigned char> out(data_header_size(fh), 0);
    put_file_head(out, record_size, out.size(), fh.file_type, fh.block_kb, count, blocks, nf);
    out[0x15] = static_cast<unsigned char>(fh.first_indexed_field);
    put16(out, 0x23, static_cast<std::uint32_t>(fh.key_fields));
    put32(out, 0x25, 0xFF00FF00U);  // encryption is told by the later field
    out[0x2C] = index_data ? 0xFF : 0;
    out[0x2F] = index_data ? kChangeCount : 0;
    out[0x3E] = 0x1F;
    out[0x3F] = 0x0F;
    put32(out, 0x49, fh.auto_inc);
    out[layout::kIndexAttributes] = fh.attributes;
    out[0x56] = 0x20;
    put16(out, 0x58, 0x0100 | kVersion7);
    put16(out, 0x5A, 0x0100 | kVersion7);
    put32(out, 0x5C, fh.password_checksum);
    put32(out, 0x60, fh.stamp);
    put32(out, layout::kSequentialSeal, layout::sequential_seal(fh.stamp, count));
    put16(out, 0x64, static_cast<std::uint32_t>(nf + 1));
    put16(out, 0x6A, static_cast<std::uint32_t>(fh.code_page));
    out[0x6C] = 1;
    out[0x6D] = 1;
    std::size_t at = layout::kDataHeaderEnd;
    for (const auto& f : fields) {
        out[at++] = static_cast<unsigned char>(f.type);
        out[at++] = static_cast<unsigned char>(f.size);
    }
    at += 4 + nf * 4;
    const std::string table_name = cp.from_ansi(fh.table_name.substr(0, kTableNameLength - 1));
    std::memcpy(out.data() + at, table_name.data(), table_name.size());
    at += kTableNameLength;
    for (const auto& f : fields) {
        const std::string name = cp.from_ansi(f.name);
        std::memcpy(out.data() + at, name.data(), name.size());
        at += name.size() + 1;
    }
    put16(out, 0x66, static_cast<std::uint32_t>(at - 0x58));
    for (std::size_t i = 0; i < nf; ++i, at += 2)
        put16(out, at, i < fh.field_numbers.size() ? fh.field_numbers[i] : static_cast<std::uint32_t>(i + 1));
    put16(out, 0x6E, static_cast<std::uint32_t>(at - 0x58));
    std::memcpy(out.data() + at, fh.sort_order.data(), fh.sort_order.size());
    at += fh.sort_order.size() + 1;
    if (!fh.index_name.empty()) {
        put16(out, 0x68, static_cast<std::uint32_t>(at - 0x58));
        const std::string name = cp.from_ansi(fh.index_name);
        std::memcpy(out.data() + at, name.data(), name.size());
        at += name.size() + 1;
    }
    put16(out, 0x51, static_cast<std::uint32_t>(at));
    return out;
}

[[noreturn]] void fail_io(const std::filesystem::path& path, const char* what) {
    throw EngineError(kErrIo, file_name(path) + ": " + what + ": " + std::strerror(errno));
}

void pwrite_all(int fd, const std::filesystem::path& path, const unsigned char* data, std::size_t size, off_t at) {
    while (size > 0) {
        const ssize_t n = ::pwrite(fd, data, size, at);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = ENOSPC;
            fail_io(path, "cannot write the file");
        }
        data += n;
        size -= static_cast<std::size_t>(n);
        at += n;
    }
}

void pread_all(int fd, const std::filesystem::path& path, unsigned char* data, std::size_t size, off_t at) {
    while (size > 0) {
        const ssize_t n = ::pread(fd, data, size, at);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            fail_io(path, "cannot read back the file");
        }
        data += n;
        size -= static_cast<std::size_t>(n);
        at += n;
    }
}

// Reads the records of a block file back in file order, a few blocks at a time.
class RecordScan {
public:
    RecordScan(int fd, const std::filesystem::path& path, std::size_t header_size, int block_kb, int record_size, std::uint32_t count,
               std::uint32_t password_checksum)
        : m_fd(fd), m_path(path), m_header_size(header_size), m_block_size(static_cast<std::size_t>(block_kb) * 1024),
          m_record_size(record_size), m_per_block(records_per_block(block_kb, record_size)), m_left(count),
          m_checksum(password_checksum), m_buffer(m_block_size * kChunkBlocks) {}

    // The next record, or nullptr after the last.
    const unsigned char* next() {
        if (m_left == 0) return nullptr;
        if (m_in_block == m_per_block || m_at == nullptr) {
            if (m_block_in_chunk + 1 >= m_chunk_blocks) read_chunk();
            else ++m_block_in_chunk;
            m_at = m_buffer.data() + m_block_in_chunk * m_block_size + layout::kBlockHeader;
            m_in_block = 0;
        }
        const unsigned char* record = m_at;
        m_at += m_record_size;
        ++m_in_block;
        --m_left;
        return record;
    }

private:
    static constexpr std::size_t kChunkBlocks = 32;

    void read_chunk() {
        const std::size_t records_left_blocks = (m_left + m_per_block - 1) / m_per_block;
        m_chunk_blocks = std::min(kChunkBlocks, records_left_blocks);
        pread_all(m_fd, m_path, m_buffer.data(), m_chunk_blocks * m_block_size,
                  static_cast<off_t>(m_header_size + m_next_block * m_block_size));
        if (m_checksum != 0)
            for (std::size_t i = 0; i < m_chunk_blocks; ++i)
                ParadoxCipher(m_checksum).decrypt_block(m_buffer.data() + i * m_block_size, m_block_size,
                                                        static_cast<int>(m_next_block + i) + 1);
        m_next_block += m_chunk_blocks;
        m_block_in_chunk = 0;
    }

    int m_fd;
    const std::filesystem::path& m_path;
    std::size_t m_header_size, m_block_size;
    int m_record_size;
    std::uint32_t m_per_block, m_left, m_checksum;
    std::vector<unsigned char> m_buffer;
    std::size_t m_chunk_blocks = 0, m_block_in_chunk = 0, m_next_block = 0;
    std::uint32_t m_in_block = 0;
    const unsigned char* m_at = nullptr;
};

// A table or index data file written block by block as its records come:
// full blocks chained in file order, behind a header written last. The file
// is removed again unless its header was written; it stays open to be read back.
class BlockFile {
public:
    BlockFile(std::filesystem::path path, std::size_t header_size, int block_kb, int record_size, std::uint32_t password_checksum)
        : m_path(std::move(path)), m_header_size(header_size), m_block_kb(block_kb), m_record_size(record_size),
          m_per_block(records_per_block(block_kb, record_size)), m_checksum(password_checksum),
          m_block(static_cast<std::size_t>(block_kb) * 1024, 0) {
        m_fd = ::open(m_path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (m_fd < 0) fail_io(m_path, "cannot create the file");
    }
    ~BlockFile() {
        if (m_fd >= 0) ::close(m_fd);
        if (!m_complete) std::remove(m_path.c_str());
    }
    BlockFile(const BlockFile&) = delete;
    BlockFile& operator=(const BlockFile&) = delete;

    void add(const unsigned char* record) {
        if (m_in_block == m_per_block) flush(false);
        if (m_in_block == 0) {
            if (m_blocks == 65535) throw EngineError(kErrInvalidArgument, "Too many records for the block size");
            ++m_blocks;
            m_firsts.insert(m_firsts.end(), record, record + m_record_size);
        }
        std::memcpy(m_block.data() + layout::kBlockHeader + static_cast<std::size_t>(m_in_block) * m_record_size, record,
                    static_cast<std::size_t>(m_record_size));
        ++m_in_block;
        ++m_count;
    }
    // Writes the last block; the records can then be read back.
    void close_blocks() {
        if (m_in_block > 0) flush(true);
    }
    RecordScan scan() const { return RecordScan(m_fd, m_path, m_header_size, m_block_kb, m_record_size, m_count, m_checksum); }
    void write_header(const std::vector<unsigned char>& header) {
        pwrite_all(m_fd, m_path, header.data(), header.size(), 0);
        m_complete = true;
    }
    std::uint32_t count() const { return m_count; }
    std::uint32_t blocks() const { return m_blocks; }
    // The first record of each block, one after another.
    const std::vector<unsigned char>& firsts() const { return m_firsts; }
    const std::filesystem::path& path() const { return m_path; }

private:
    void flush(bool last) {
        const std::uint32_t b = m_blocks - 1;
        put_block_head(m_block.data(), b, last ? b + 1 : b + 2, m_in_block, m_record_size);
        if (m_checksum != 0) ParadoxCipher(m_checksum).encrypt_block(m_block.data(), m_block.size(), static_cast<int>(b) + 1);
        pwrite_all(m_fd, m_path, m_block.data(), m_block.size(), static_cast<off_t>(m_header_size + b * m_block.size()));
        std::fill(m_block.begin(), m_block.end(), 0);
        m_in_block = 0;
    }

    std::filesystem::path m_path;
    std::size_t m_header_size;
    int m_block_kb, m_record_size;
    std::uint32_t m_per_block, m_checksum;
    std::vector<unsigned char> m_block;
    std::vector<unsigned char> m_firsts;
    std::uint32_t m_in_block = 0, m_blocks = 0, m_count = 0;
    int m_fd = -1;
    bool m_complete = false;
};

// A primary index (.PX) or the tree over an index data file (.Ynn, .YGn):
// one entry per data block (its first key, the block's number and its record
// count), then levels of entries over the index blocks up to a single root.
// An entry's count is a 16-bit number, so a block never gathers more than
// 32767 records below it unless it is the root.
struct TreeHeader {
    int file_type = 1;
    std::vector<FieldDesc> fields;  // the key fields, offsets from 0
    int block_kb = 32;
    AnsiString table_name;
    std::uint8_t stamp = kChangeCount;
};

// firsts: the first record of each data block, stride bytes apart.
std::vector<unsigned char> build_tree(const TreeHeader& th, const unsigned char* firsts, std::size_t stride, std::uint32_t count,
                                      std::uint32_t data_per_block) {
    int key_size = 0;
    for (const auto& f : th.fields) key_size += f.width;
    const int entry_size = key_size + 6;
    const std::size_t block_size = static_cast<std::size_t>(th.block_kb) * 1024;
    const std::uint32_t per_block = records_per_block(th.block_kb, entry_size);
    if (per_block < 2) throw EngineError(kErrInvalidArgument, "Index keys are too long for the block size");
    constexpr std::uint32_t kMaxCount = 32767;
    struct Entry { const unsigned char* key; std::uint32_t child; std::uint32_t count; };
    std::vector<Entry> level;
    for (std::uint32_t first = 0, b = 1; first < count; first += data_per_block, ++b)
        level.push_back({firsts + (b - 1) * stride, b, std::min(data_per_block, count - first)});

    std::vector<std::vector<Entry>> blocks;  // in file order; the last is the root
    int levels = 0;
    std::uint32_t entries = 0;
    while (!level.empty()) {
        ++levels;
        entries += static_cast<std::uint32_t>(level.size());
        if (level.size() <= per_block) {
            blocks.push_back(level);
            break;
        }
        std::vector<Entry> up;
        std::vector<Entry> current;
        std::uint32_t sum = 0;
        auto close = [&] {
            blocks.push_back(current);
            up.push_back({current.front().key, static_cast<std::uint32_t>(blocks.size()), std::min(sum, kMaxCount)});
            current.clear();
            sum = 0;
        };
        // When no two entries of a level fit one count, the count limit gives way to the block size.
        bool counts_fit = false;
        for (std::size_t i = 0; i + 1 < level.size() && !counts_fit; ++i) counts_fit = level[i].count + level[i + 1].count <= kMaxCount;
        for (const Entry& e : level) {
            if (!current.empty() && (current.size() == per_block || (counts_fit && sum + e.count > kMaxCount))) close();
            current.push_back(e);
            sum += e.count;
        }
        close();
        level = std::move(up);
    }

    const std::size_t header_size = 2048;
    std::vector<unsigned char> out(header_size + blocks.size() * block_size, 0);
    const auto nblocks = static_cast<std::uint32_t>(blocks.size());
    put_file_head(out, entry_size, header_size, th.file_type, th.block_kb, entries, nblocks, th.fields.size());
    put16(out, 0x1E, nblocks ? nblocks : 1);
    out[0x20] = static_cast<unsigned char>(levels);
    out[0x2C] = th.stamp;
    std::size_t at = layout::kOldHeaderEnd;
    for (const auto& f : th.fields) {
        out[at++] = static_cast<unsigned char>(f.type);
        out[at++] = static_cast<unsigned char>(f.size);
    }
    at += 4;
    const std::string name = th.table_name.substr(0, kTableNameLength - 1);
    std::memcpy(out.data() + at, name.data(), name.size());
    put16(out, 0x51, static_cast<std::uint32_t>(at + kTableNameLength));

    for (std::uint32_t b = 0; b < nblocks; ++b) {
        const auto& entries_of = blocks[b];
        const std::size_t offset = header_size + b * block_size;
        put_block_head(out.data() + offset, b, nblocks, static_cast<std::uint32_t>(entries_of.size()), entry_size);
        unsigned char* e = out.data() + offset + layout::kBlockHeader;
        for (const Entry& entry : entries_of) {
            std::memcpy(e, entry.key, static_cast<std::size_t>(key_size));
            put_short_key(e + key_size, static_cast<int>(entry.child));
            put_short_key(e + key_size + 2, static_cast<int>(entry.count));
            put_short_key(e + key_size + 4, 0);
            e += entry_size;
        }
    }
    return out;
}

void write_file(const std::filesystem::path& path, const std::vector<unsigned char>& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) throw EngineError(kErrIo, file_name(path) + ": cannot create the file");
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (std::fclose(f) != 0 || !ok) {
        std::remove(path.c_str());
        throw EngineError(kErrIo, file_name(path) + ": cannot write the file");
    }
}

// A stamp of the table's contents; index files carry it to show which table
// they belong to. Fed the records in file order, in pieces of any size.
class ContentStamp {
public:
    explicit ContentStamp(std::uint32_t count) : m_h(0x9E3779B97F4A7C15ULL ^ count) {}
    void add(const unsigned char* p, std::size_t n) {
        while (n > 0) {
            if (m_fill == 0) {
                for (; n >= 8; p += 8, n -= 8) {
                    std::uint64_t w;
                    std::memcpy(&w, p, 8);
                    word(w);
                }
                if (n == 0) break;
            }
            m_carry[m_fill++] = *p++;
            --n;
            if (m_fill == 8) {
                std::uint64_t w;
                std::memcpy(&w, m_carry, 8);
                word(w);
                m_fill = 0;
            }
        }
    }
    std::uint32_t value() const {
        std::uint64_t h = m_h;
        for (std::size_t i = 0; i < m_fill; ++i) h = (h ^ m_carry[i]) * 0x100000001B3ULL;
        const auto stamp = static_cast<std::uint32_t>(h ^ (h >> 32));
        return stamp ? stamp : 1;
    }

private:
    void word(std::uint64_t w) {
        m_h = (m_h ^ w) * 0xFF51AFD7ED558CCDULL;
        m_h ^= m_h >> 32;
    }
    std::uint64_t m_h;
    unsigned char m_carry[8]{};
    std::size_t m_fill = 0;
};

// One index's entries in index order (ties in the order they came). They are
// sorted in runs of what fits kSortMemory; when there is more than one run,
// the runs go to a temporary file (unlinked as soon as it is made, so nothing
// is left of it however the program ends) and are merged from there.
class EntrySorter {
public:
    EntrySorter(const KeyEncoder& order, int entry_size, const std::filesystem::path& spill, std::uint32_t expected)
        : m_order(order), m_entry_size(static_cast<std::size_t>(entry_size)), m_spill_path(spill),
          m_capacity(std::max<std::size_t>(1, kSortMemory / (m_entry_size + sizeof(Item)))), m_whole_in_head(order.max_length() <= 16) {
        const std::size_t n = std::min<std::size_t>(m_capacity, expected);
        m_items.reserve(n);
        m_entries.reserve(n * m_entry_size);
    }
    ~EntrySorter() {
        if (m_fd >= 0) ::close(m_fd);
    }
    EntrySorter(const EntrySorter&) = delete;
    EntrySorter& operator=(const EntrySorter&) = delete;

    void add(const unsigned char* entry) {
        if (m_items.size() == m_capacity) spill();
        m_items.push_back({m_order.head(entry), m_order.head(entry, 8), static_cast<std::uint32_t>(m_items.size())});
        m_entries.insert(m_entries.end(), entry, entry + m_entry_size);
    }

    template <class Out>
    void drain(Out&& out) {
        if (m_runs.empty()) {
            sort_run();
            for (const Item& item : m_items) out(entry(item.slot));
            return;
        }
        if (!m_items.empty()) spill();
        std::vector<Item>().swap(m_items);
        std::vector<unsigned char>().swap(m_entries);
        merge(out);
    }

private:
    // The first 16 bytes of the sort key decide most comparisons.
    struct Item {
        std::uint64_t head, head2;
        std::uint32_t slot;
    };
    const unsigned char* entry(std::uint32_t slot) const { return m_entries.data() + slot * m_entry_size; }

    void sort_run() {
        std::sort(m_items.begin(), m_items.end(), [this](const Item& a, const Item& b) {
            if (a.head != b.head) return a.head < b.head;
            if (a.head2 != b.head2) return a.head2 < b.head2;
            const int c = m_whole_in_head ? 0 : m_order.compare_records(entry(a.slot), entry(b.slot));
            return c != 0 ? c < 0 : a.slot < b.slot;
        });
    }

    void spill() {
        sort_run();
        if (m_fd < 0) {
            m_fd = ::open(m_spill_path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
            if (m_fd < 0) fail_io(m_spill_path, "cannot create the file");
            ::unlink(m_spill_path.c_str());
        }
        const off_t start = m_spilled;
        std::vector<unsigned char> out;
        out.reserve(kIoChunk);
        auto write_out = [&] {
            pwrite_all(m_fd, m_spill_path, out.data(), out.size(), m_spilled);
            m_spilled += static_cast<off_t>(out.size());
            out.clear();
        };
        for (const Item& item : m_items) {
            if (out.size() + m_entry_size > kIoChunk) write_out();
            const unsigned char* e = entry(item.slot);
            out.insert(out.end(), e, e + m_entry_size);
        }
        write_out();
        m_runs.push_back({start, static_cast<std::uint32_t>(m_items.size())});
        m_items.clear();
        m_entries.clear();
    }

    template <class Out>
    void merge(Out&& out) {
        struct Reader {
            off_t next;
            std::uint32_t left;       // entries not yet read from the file
            std::vector<unsigned char> buffer;
            std::size_t at = 0, have = 0;  // entries in the buffer
        };
        const std::size_t per_reader =
            std::max<std::size_t>(1, std::max<std::size_t>(kIoChunk, kSortMemory / 2 / m_runs.size()) / m_entry_size);
        std::vector<Reader> readers;
        for (const auto& run : m_runs) readers.push_back({run.start, run.count, std::vector<unsigned char>(per_reader * m_entry_size)});
        auto fill = [&](Reader& r) {
            const std::size_t n = std::min<std::size_t>(per_reader, r.left);
            pread_all(m_fd, m_spill_path, r.buffer.data(), n * m_entry_size, r.next);
            r.next += static_cast<off_t>(n * m_entry_size);
            r.left -= static_cast<std::uint32_t>(n);
            r.at = 0;
            r.have = n;
        };
        auto current = [&](std::size_t i) { return readers[i].buffer.data() + readers[i].at * m_entry_size; };
        // The run whose entry comes first on top; on equal keys the earlier run.
        auto later = [&](std::size_t a, std::size_t b) {
            const int c = m_order.compare_records(current(a), current(b));
            return c != 0 ? c > 0 : a > b;
        };
        std::priority_queue<std::size_t, std::vector<std::size_t>, decltype(later)> heap(later);
        for (std::size_t i = 0; i < readers.size(); ++i) {
            fill(readers[i]);
            if (readers[i].have > 0) heap.push(i);
        }
        while (!heap.empty()) {
            const std::size_t i = heap.top();
            heap.pop();
            out(current(i));
            Reader& r = readers[i];
            if (++r.at == r.have) {
                if (r.left == 0) continue;
                fill(r);
            }
            heap.push(i);
        }
    }

    static constexpr std::size_t kIoChunk = 1u << 20;
    struct Run {
        off_t start;
        std::uint32_t count;
    };
    const KeyEncoder& m_order;
    std::size_t m_entry_size;
    std::filesystem::path m_spill_path;
    std::size_t m_capacity;
    bool m_whole_in_head;  // keys of at most 16 bytes: the heads are the whole keys
    std::vector<Item> m_items;
    std::vector<unsigned char> m_entries;
    std::vector<Run> m_runs;
    int m_fd = -1;
    off_t m_spilled = 0;
};

bool is_index_file_of(const std::filesystem::path& candidate, const std::string& stem) {
    if (text::ansi_compare_text(candidate.stem().string(), stem) != 0) return false;
    std::string ext = text::ansi_upper_case(candidate.extension().string());
    return ext == ".PX" || (ext.size() == 4 && (ext[1] == 'X' || ext[1] == 'Y'));
}

std::filesystem::path temp_of(const std::filesystem::path& target) {
    auto temp = target;
    temp += ".tmp";
    return temp;
}

}  // namespace

// The table file while its records come in key order, and that order.
struct TableWriter::Stream {
    Stream(std::filesystem::path path, std::size_t header_size, int block_kb, int record_size, std::uint32_t password_checksum,
           KeyEncoder key)
        : file(std::move(path), header_size, block_kb, record_size, password_checksum), key_order(std::move(key)) {}
    BlockFile file;
    KeyEncoder key_order;
};


TableWriter::TableWriter(std::filesystem::path path, TableSchema schema) : m_path(std::move(path)), m_schema(std::move(schema)) {
    const AnsiString where = file_name(m_path) + ": ";
    if (m_schema.fields.empty() || m_schema.fields.size() > 255) throw EngineError(kErrInvalidArgument, where + "a table needs 1 to 255 fields");
    if (m_schema.key_fields < 0 || m_schema.key_fields > static_cast<int>(m_schema.fields.size()))
        throw EngineError(kErrInvalidArgument, where + "more key fields than fields");
    static constexpr int kBlockSizes[] = {1, 2, 3, 4, 8, 16, 32};
    if (std::find(std::begin(kBlockSizes), std::end(kBlockSizes), m_schema.block_kb) == std::end(kBlockSizes))
        throw EngineError(kErrInvalidArgument, where + "invalid block size");
    if (m_schema.code_page == CodePage::kUnknown) throw EngineError(kErrInvalidArgument, where + "a table needs a code page");
    CodePage::get(m_schema.code_page);
    std::set<AnsiString> names;
    for (const auto& f : m_schema.fields) {
        if (f.name.empty() || f.name.size() > 25 || !names.insert(text::ansi_upper_case(f.name)).second)
            throw EngineError(kErrInvalidArgument, where + "field name '" + f.name + "' is empty, too long or repeated");
        if (!is_known_field_type(static_cast<std::uint8_t>(f.type)))
            throw EngineError(kErrInvalidArgument, where + "field " + f.name + " has an unknown type");
        FieldDesc d;
        d.name = f.name;
        d.type = f.type;
        d.width = width_of(f.type, f.size);
        // The descriptor holds the declared size for text, bytes, BCD and blobs, the width for the rest.
        d.size = f.type == FieldType::Alpha || f.type == FieldType::Bytes || f.type == FieldType::Bcd || is_blob_type(f.type)
                     ? f.size
                     : width_of(f.type, 0);
        if (d.width == 0) throw EngineError(kErrInvalidArgument, where + "field " + f.name + " has an invalid size");
        d.offset = m_record_size;
        m_record_size += d.width;
        m_fields.push_back(d);
    }
    if (m_schema.block_kb * 1024 - layout::kBlockHeader < m_record_size)
        throw EngineError(kErrInvalidArgument, where + "records are larger than a block");
    std::set<AnsiString> index_names;
    int composite = 0;
    for (const auto& ix : m_schema.indexes) {
        if (ix.name.empty() || ix.fields.empty() || !index_names.insert(text::ansi_upper_case(ix.name)).second)
            throw EngineError(kErrInvalidArgument, where + "index '" + ix.name + "' has no name, no fields or a repeated name");
        for (const auto& name : ix.fields) {
            bool found = false;
            for (const auto& f : m_fields)
                if (text::ansi_compare_text(f.name, name) == 0 && f.name.size() == name.size()) {
                    if (is_blob_type(f.type)) throw EngineError(kErrInvalidArgument, where + "a blob field cannot be indexed");
                    found = true;
                }
            if (!found) throw EngineError(kErrInvalidArgument, where + "index '" + ix.name + "' names an unknown field " + name);
        }
        const bool simple = ix.fields.size() == 1 && !ix.case_insensitive && !ix.descending && !ix.unique &&
                            text::ansi_compare_text(ix.name, ix.fields[0]) == 0;
        if (!simple && ++composite > 16) throw EngineError(kErrInvalidArgument, where + "more than 16 composite indexes");
    }
}

TableWriter::~TableWriter() = default;

void TableWriter::append(std::span<const Value> values) {
    if (values.size() != m_fields.size())
        throw EngineError(kErrInvalidArgument, file_name(m_path) + ": a record needs " + std::to_string(m_fields.size()) + " values");
    const CodePage& cp = CodePage::get(m_schema.code_page);
    std::vector<unsigned char>& rec = m_scratch;
    rec.assign(static_cast<std::size_t>(m_record_size), 0);
    std::int64_t auto_inc = m_auto_inc;
    for (std::size_t i = 0; i < m_fields.size(); ++i) {
        const FieldDesc& f = m_fields[i];
        if (f.type == FieldType::AutoInc && values[i].is_null()) {
            encode_field(f, Value::of_int(++auto_inc), cp, rec.data() + f.offset);
        } else {
            encode_field(f, values[i], cp, rec.data() + f.offset);
            if (f.type == FieldType::AutoInc) auto_inc = std::max<std::int64_t>(auto_inc, values[i].integer);
        }
    }
    add_record(rec.data());
    m_auto_inc = auto_inc;
}

void TableWriter::add_record(const unsigned char* record) {
    const auto rs = static_cast<std::size_t>(m_record_size);
    if (!m_in_memory && m_schema.key_fields > 0 && m_count > 0 && m_stream->key_order.compare_records(m_last.data(), record) >= 0)
        gather_in_memory();
    if (m_in_memory) {
        m_records.insert(m_records.end(), record, record + rs);
    } else {
        if (!m_stream) {
            FileHeader probe;
            probe.fields = &m_fields;
            probe.sort_order = m_schema.sort_order;
            m_stream = std::make_unique<Stream>(temp_of(m_path), data_header_size(probe), m_schema.block_kb, m_record_size,
                                                ParadoxCipher::checksum(m_schema.password),
                                                KeyEncoder(std::vector<FieldDesc>(m_fields.begin(), m_fields.begin() + m_schema.key_fields),
                                                           collation_for(m_schema.sort_order), CodePage::get(m_schema.code_page), false, false));
        }
        m_stream->file.add(record);
        if (m_schema.key_fields > 0) m_last.assign(record, record + rs);
    }
    ++m_count;
    if (m_checkpoint && (m_count & 4095) == 0) m_checkpoint();
}

// A record came out of key order: the records so far come back from the file
// to be sorted with the rest at the end.
void TableWriter::gather_in_memory() {
    m_in_memory = true;
    m_stream->file.close_blocks();
    m_records.reserve(static_cast<std::size_t>(m_count) * static_cast<std::size_t>(m_record_size));
    RecordScan scan = m_stream->file.scan();
    while (const unsigned char* r = scan.next()) m_records.insert(m_records.end(), r, r + m_record_size);
    m_stream.reset();
    m_last.clear();
}

void TableWriter::finish() {
    const CodePage& cp = CodePage::get(m_schema.code_page);
    const Collation collation = collation_for(m_schema.sort_order);
    const auto rs = static_cast<std::size_t>(m_record_size);
    const bool keyed = m_schema.key_fields > 0;
    const std::uint32_t checksum = ParadoxCipher::checksum(m_schema.password);
    auto key_of = [&](const std::vector<AnsiString>& names) {
        std::vector<FieldDesc> key;
        for (const auto& name : names)
            for (const auto& f : m_fields)
                if (f.name.size() == name.size() && text::ansi_compare_text(f.name, name) == 0) key.push_back(f);
        return key;
    };
    std::uint32_t ticks = 0;
    auto tick = [&] {
        if (m_checkpoint && (++ticks & 4095) == 0) m_checkpoint();
    };

    FileHeader table;
    table.file_type = keyed ? 0 : 2;
    table.fields = &m_fields;
    table.key_fields = m_schema.key_fields;
    table.block_kb = m_schema.block_kb;
    table.code_page = m_schema.code_page;
    table.sort_order = m_schema.sort_order;
    table.table_name = text::utf8_to_cp1251(m_path.filename().string());
    table.auto_inc = static_cast<std::uint32_t>(m_auto_inc);
    table.password_checksum = checksum;

    std::vector<FieldDesc> primary(m_fields.begin(), m_fields.begin() + m_schema.key_fields);
    if (m_in_memory) {
        // A keyed table keeps its records in primary key order, each key once.
        KeyEncoder enc(primary, collation, cp, false, false);
        auto record_of = [this, rs](std::uint32_t n) { return m_records.data() + n * rs; };
        auto order = enc.sort(m_count, record_of);
        if (enc.first_duplicate(order, record_of) >= 0)
            throw EngineError(kErrKeyViolation, file_name(m_path) + ": key violation: a primary key occurs twice");
        m_stream = std::make_unique<Stream>(temp_of(m_path), data_header_size(table), m_schema.block_kb, m_record_size, checksum,
                                            std::move(enc));
        for (std::uint32_t i = 0; i < m_count; ++i) {
            m_stream->file.add(m_records.data() + order[i] * rs);
            tick();
        }
        std::vector<unsigned char>().swap(m_records);
    } else if (!m_stream) {
        m_stream = std::make_unique<Stream>(temp_of(m_path), data_header_size(table), m_schema.block_kb, m_record_size, checksum,
                                            KeyEncoder(primary, collation, cp, false, false));
    }
    BlockFile& data = m_stream->file;
    data.close_blocks();
    {
        ContentStamp stamp(m_count);
        RecordScan scan = data.scan();
        while (const unsigned char* r = scan.next()) stamp.add(r, rs);
        table.stamp = stamp.value();
    }

    // Every file goes to a temporary name first; only when all are written do
    // they replace the old ones, so a failure leaves the old table intact.
    struct Pending { std::filesystem::path target, temp; };
    std::vector<Pending> files;
    auto remove_temps = [&files] {
        for (const auto& f : files) std::remove(f.temp.c_str());
    };
    const std::uint32_t per_block = records_per_block(m_schema.block_kb, m_record_size);
    auto field_number = [&](const FieldDesc& f) {
        for (std::size_t i = 0; i < m_fields.size(); ++i)
            if (m_fields[i].offset == f.offset) return static_cast<int>(i) + 1;
        return 0;
    };
    auto stage_tree = [&](const std::filesystem::path& target, const std::vector<unsigned char>& bytes) {
        files.push_back({target, temp_of(target)});
        write_file(files.back().temp, bytes);
    };
    try {
        files.push_back({m_path, data.path()});
        data.write_header(data_file_header(table, m_count, data.blocks(), m_record_size));
        if (keyed) {
            TreeHeader px;
            px.fields = primary;
            px.block_kb = m_schema.block_kb;
            px.table_name = table.table_name;
            auto target = m_path;
            target.replace_extension(".PX");
            stage_tree(target, build_tree(px, data.firsts().data(), rs, m_count, per_block));
        }

        int composite = 0;
        for (const auto& ix : m_schema.indexes) {
            std::vector<FieldDesc> key = key_of(ix.fields);
            // An entry: the indexed fields, then the primary key and the
            // record's block, or for a table without key its ordinal, block
            // and place in the block.
            std::vector<FieldDesc> xfields;
            int xsize = 0;
            auto add = [&](FieldDesc f) {
                f.offset = xsize;
                xsize += f.width;
                xfields.push_back(f);
            };
            for (const auto& f : key) add(f);
            if (keyed) {
                for (int i = 0; i < m_schema.key_fields; ++i) add(m_fields[static_cast<std::size_t>(i)]);
                add({"Blk Num", FieldType::Short, 2, 0, 2});
            } else {
                add({"Tup No", FieldType::Long, 4, 0, 4});
                add({"Blk Num", FieldType::Short, 2, 0, 2});
                add({"Tup Offset", FieldType::Short, 2, 0, 2});
            }
            const std::size_t m = key.size();
            const bool simple = ix.fields.size() == 1 && !ix.case_insensitive && !ix.descending && !ix.unique &&
                                text::ansi_compare_text(ix.name, ix.fields[0]) == 0;
            char ext[16];
            if (simple) std::snprintf(ext, sizeof ext, ".X%02X", field_number(key[0]));
            else std::snprintf(ext, sizeof ext, ".XG%X", composite++);
            auto target = m_path;
            target.replace_extension(ext);
            FileHeader xh = table;
            xh.file_type = simple ? 5 : 8;
            xh.fields = &xfields;
            xh.key_fields = static_cast<int>(m) + (keyed ? m_schema.key_fields : 2);
            xh.table_name = text::utf8_to_cp1251(target.filename().string());
            xh.index_name = simple ? AnsiString() : ix.name;
            xh.first_indexed_field = field_number(key[0]);
            xh.auto_inc = 0;
            for (std::size_t i = 0; i < xfields.size(); ++i) {
                // The indexed fields by their table field numbers (bit 15 marks a
                // descending one), the rest by their place in the entry.
                const int own = static_cast<int>(i) + 1;
                xh.field_numbers.push_back(static_cast<std::uint16_t>(i < m ? field_number(key[i]) | (ix.descending ? 0x8000 : 0) : own));
            }
            xh.attributes = static_cast<std::uint8_t>((ix.case_insensitive ? layout::kAttrCaseInsensitive : 0) |
                                                      (ix.descending ? layout::kAttrDescending : 0) | (ix.unique ? layout::kAttrUnique : 0));

            const KeyEncoder order(std::vector<FieldDesc>(xfields.begin(), xfields.begin() + static_cast<std::ptrdiff_t>(m)), collation, cp,
                                   ix.case_insensitive, ix.descending);
            auto spill = target;
            spill += ".sort";
            EntrySorter sorter(order, xsize, spill, m_count);
            {
                std::vector<unsigned char> entry(static_cast<std::size_t>(xsize));
                unsigned char* out = entry.data();
                RecordScan scan = data.scan();
                std::uint32_t r = 0;
                for (const unsigned char* in = scan.next(); in; in = scan.next(), ++r) {
                    for (std::size_t k = 0; k < m; ++k)
                        std::memcpy(out + xfields[k].offset, in + key[k].offset, static_cast<std::size_t>(key[k].width));
                    const int block = static_cast<int>(r / per_block) + 1;
                    if (keyed) {
                        const FieldDesc& last = m_fields[static_cast<std::size_t>(m_schema.key_fields - 1)];
                        std::memcpy(out + xfields[m].offset, in, static_cast<std::size_t>(last.offset + last.width));
                        put_short_key(out + xfields.back().offset, block);
                    } else {
                        encode_field(xfields[m], Value::of_int(r), cp, out + xfields[m].offset);
                        put_short_key(out + xfields[m + 1].offset, block);
                        put_short_key(out + xfields[m + 2].offset, static_cast<int>((r % per_block) * static_cast<std::uint32_t>(m_record_size)));
                    }
                    sorter.add(out);
                    tick();
                }
            }
            BlockFile xfile(temp_of(target), data_header_size(xh), m_schema.block_kb, xsize, checksum);
            const unsigned char* previous = nullptr;
            std::vector<unsigned char> kept;
            sorter.drain([&](const unsigned char* e) {
                if (ix.unique) {
                    if (previous && order.compare_records(previous, e) == 0)
                        throw EngineError(kErrKeyViolation, file_name(m_path) + ": key violation in unique index " + ix.name);
                    kept.assign(e, e + xsize);
                    previous = kept.data();
                }
                xfile.add(e);
                tick();
            });
            xfile.close_blocks();
            files.push_back({target, xfile.path()});
            xfile.write_header(data_file_header(xh, m_count, xfile.blocks(), xsize));

            TreeHeader y;
            y.file_type = simple ? 4 : 7;
            y.fields.assign(xfields.begin(), xfields.begin() + xh.key_fields);
            y.block_kb = m_schema.block_kb;
            y.table_name = xh.table_name;
            target.replace_extension(simple ? (std::string(".Y") + (ext + 2)) : (std::string(".YG") + (ext + 3)));
            stage_tree(target, build_tree(y, xfile.firsts().data(), static_cast<std::size_t>(xsize), m_count,
                                          records_per_block(m_schema.block_kb, xsize)));
        }
    } catch (...) {
        remove_temps();
        m_stream.reset();
        throw;
    }
    m_stream.reset();
    // The old index files no longer match the new table.
    std::error_code ec;
    const auto dir = m_path.has_parent_path() ? m_path.parent_path() : std::filesystem::path(".");
    const std::string stem = m_path.stem().string();
    for (const auto& entry : std::filesystem::directory_iterator(dir, ec))
        if (is_index_file_of(entry.path(), stem) && entry.path().extension() != ".tmp") std::filesystem::remove(entry.path(), ec);
    for (const auto& f : files) {
        std::filesystem::rename(f.temp, f.target, ec);
        if (ec) throw EngineError(kErrIo, file_name(f.target) + ": cannot write the file: " + ec.message());
    }
}

void write_table(const std::filesystem::path& path, const TableSchema& schema, const std::vector<std::vector<Value>>& records) {
    TableWriter w(path, schema);
    for (const auto& r : records) w.append(std::span<const Value>(r.data(), r.size()));
    w.finish();
}

}  // namespace engine
