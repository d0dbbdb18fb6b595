#include "engine/TableWriter.h"

#include "engine/CodePage.h"
#include "engine/EngineError.h"
#include "engine/FieldCodec.h"
#include "engine/KeyEncoder.h"
#include "engine/ParadoxCipher.h"
#include "engine/ParadoxFile.h"
#include "text/Cp1251.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <set>

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

// The whole file image: header, then full blocks chained in file order.
std::vector<unsigned char> build_file(const FileHeader& fh, const unsigned char* records, std::uint32_t count, int record_size) {
    const auto& fields = *fh.fields;
    const CodePage& cp = CodePage::get(fh.code_page);
    const std::size_t nf = fields.size();
    const bool index_data = fh.file_type != 0 && fh.file_type != 2;
    std::size_t needed = layout::kDataHeaderEnd + nf * 2 + 4 + nf * 4 + kTableNameLength;
    for (const auto& f : fields) needed += f.name.size() + 1;
    needed += nf * 2 + fh.sort_order.size() + 1 + fh.index_name.size() + 1;
    const std::size_t header_size = (needed + 2047) / 2048 * 2048;
    const std::size_t block_size = static_cast<std::size_t>(fh.block_kb) * 1024;
    const std::uint32_t per_block = records_per_block(fh.block_kb, record_size);
    const std::uint32_t blocks = (count + per_block - 1) / per_block;
    if (blocks > 65535) throw EngineError(kErrInvalidArgument, "Too many records for the block size");

    std::vector<unsigned char> out(header_size + blocks * block_size, 0);
    put16(out, 0x00, static_cast<std::uint32_t>(record_size));
    put16(out, 0x02, static_cast<std::uint32_t>(header_size));
    out[0x04] = static_cast<unsigned char>(fh.file_type);
    out[0x05] = static_cast<unsigned char>(fh.block_kb);
    put32(out, 0x06, count);
    put16(out, 0x0A, blocks);
    put16(out, 0x0C, blocks);
    put16(out, 0x0E, blocks ? 1 : 0);
    put16(out, 0x10, blocks);
    out[0x15] = static_cast<unsigned char>(fh.first_indexed_field);
    put16(out, 0x21, static_cast<std::uint32_t>(nf));
    put16(out, 0x23, static_cast<std::uint32_t>(fh.key_fields));
    put32(out, 0x25, 0xFF00FF00U);  // encryption is told by the later field
    out[0x2C] = index_data ? 0xFF : 0;
    out[0x2D] = kChangeCount;
    out[0x2E] = kChangeCount;
    out[0x2F] = index_data ? kChangeCount : 0;
    out[0x39] = kVersion7;
    put16(out, 0x3A, blocks);
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

    for (std::uint32_t b = 0; b < blocks; ++b) {
        const std::size_t offset = header_size + b * block_size;
        const std::uint32_t first = b * per_block;
        const std::uint32_t n = std::min(per_block, count - first);
        put16(out, offset, b + 1 < blocks ? b + 2 : 0);
        put16(out, offset + 2, b);
        put16(out, offset + 4, static_cast<std::uint32_t>((n - 1) * static_cast<std::uint32_t>(record_size)));
        std::memcpy(out.data() + offset + layout::kBlockHeader, records + static_cast<std::size_t>(first) * record_size,
                    static_cast<std::size_t>(n) * record_size);
        if (fh.password_checksum != 0)
            ParadoxCipher(fh.password_checksum).encrypt_block(out.data() + offset, block_size, static_cast<int>(b) + 1);
    }
    return out;
}

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

std::vector<unsigned char> build_tree(const TreeHeader& th, const unsigned char* data_records, std::uint32_t count,
                                      int data_record_size, std::uint32_t data_per_block) {
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
        level.push_back({data_records + static_cast<std::size_t>(first) * data_record_size, b, std::min(data_per_block, count - first)});

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
    put16(out, 0x00, static_cast<std::uint32_t>(entry_size));
    put16(out, 0x02, header_size);
    out[0x04] = static_cast<unsigned char>(th.file_type);
    out[0x05] = static_cast<unsigned char>(th.block_kb);
    put32(out, 0x06, entries);
    put16(out, 0x0A, nblocks);
    put16(out, 0x0C, nblocks);
    put16(out, 0x0E, nblocks ? 1 : 0);
    put16(out, 0x10, nblocks);
    put16(out, 0x1E, nblocks ? nblocks : 1);
    out[0x20] = static_cast<unsigned char>(levels);
    put16(out, 0x21, static_cast<std::uint32_t>(th.fields.size()));
    out[0x2C] = th.stamp;
    out[0x2D] = kChangeCount;
    out[0x2E] = kChangeCount;
    out[0x39] = kVersion7;
    put16(out, 0x3A, nblocks);
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
        put16(out, offset, b + 1 < nblocks ? b + 2 : 0);
        put16(out, offset + 2, b);
        put16(out, offset + 4, static_cast<std::uint32_t>((entries_of.size() - 1) * static_cast<std::size_t>(entry_size)));
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

// A stamp of the table's contents; index files carry it to show which table they belong to.
std::uint32_t content_stamp(const std::vector<unsigned char>& records, std::uint32_t count) {
    std::uint64_t h = 0x9E3779B97F4A7C15ULL ^ count;
    std::size_t i = 0;
    for (; i + 8 <= records.size(); i += 8) {
        std::uint64_t w;
        std::memcpy(&w, records.data() + i, 8);
        h = (h ^ w) * 0xFF51AFD7ED558CCDULL;
        h ^= h >> 32;
    }
    for (; i < records.size(); ++i) h = (h ^ records[i]) * 0x100000001B3ULL;
    const auto stamp = static_cast<std::uint32_t>(h ^ (h >> 32));
    return stamp ? stamp : 1;
}

bool is_index_file_of(const std::filesystem::path& candidate, const std::string& stem) {
    if (text::ansi_compare_text(candidate.stem().string(), stem) != 0) return false;
    std::string ext = text::ansi_upper_case(candidate.extension().string());
    return ext == ".PX" || (ext.size() == 4 && (ext[1] == 'X' || ext[1] == 'Y'));
}

}  // namespace

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

void TableWriter::append(std::span<const Value> values) {
    if (values.size() != m_fields.size())
        throw EngineError(kErrInvalidArgument, file_name(m_path) + ": a record needs " + std::to_string(m_fields.size()) + " values");
    const CodePage& cp = CodePage::get(m_schema.code_page);
    const std::size_t at = m_records.size();
    m_records.resize(at + static_cast<std::size_t>(m_record_size));
    unsigned char* rec = m_records.data() + at;
    try {
        for (std::size_t i = 0; i < m_fields.size(); ++i) {
            const FieldDesc& f = m_fields[i];
            if (f.type == FieldType::AutoInc && values[i].is_null()) {
                encode_field(f, Value::of_int(++m_auto_inc), cp, rec + f.offset);
            } else {
                encode_field(f, values[i], cp, rec + f.offset);
                if (f.type == FieldType::AutoInc) m_auto_inc = std::max<std::int64_t>(m_auto_inc, values[i].integer);
            }
        }
    } catch (...) {
        m_records.resize(at);
        throw;
    }
    ++m_count;
}

void TableWriter::finish() {
    const CodePage& cp = CodePage::get(m_schema.code_page);
    const Collation collation = collation_for(m_schema.sort_order);
    const auto rs = static_cast<std::size_t>(m_record_size);
    auto record_of = [&](const std::vector<unsigned char>& buf) {
        return [&buf, rs](std::uint32_t n) { return buf.data() + n * rs; };
    };
    auto key_of = [&](const std::vector<AnsiString>& names) {
        std::vector<FieldDesc> key;
        for (const auto& name : names)
            for (const auto& f : m_fields)
                if (f.name.size() == name.size() && text::ansi_compare_text(f.name, name) == 0) key.push_back(f);
        return key;
    };

    if (m_schema.key_fields > 0) {
        // A keyed table keeps its records in primary key order, each key once.
        std::vector<FieldDesc> key(m_fields.begin(), m_fields.begin() + m_schema.key_fields);
        KeyEncoder enc(key, collation, cp, false, false);
        auto order = enc.sort(m_count, record_of(m_records));
        if (enc.first_duplicate(order, record_of(m_records)) >= 0)
            throw EngineError(kErrKeyViolation, file_name(m_path) + ": key violation: a primary key occurs twice");
        std::vector<unsigned char> sorted(m_records.size());
        for (std::uint32_t i = 0; i < m_count; ++i)
            std::memcpy(sorted.data() + i * rs, m_records.data() + order[i] * rs, rs);
        m_records.swap(sorted);
    }

    FileHeader table;
    table.file_type = m_schema.key_fields > 0 ? 0 : 2;
    table.fields = &m_fields;
    table.key_fields = m_schema.key_fields;
    table.block_kb = m_schema.block_kb;
    table.code_page = m_schema.code_page;
    table.sort_order = m_schema.sort_order;
    table.table_name = text::utf8_to_cp1251(m_path.filename().string());
    table.auto_inc = static_cast<std::uint32_t>(m_auto_inc);
    table.stamp = content_stamp(m_records, m_count);
    table.password_checksum = ParadoxCipher::checksum(m_schema.password);

    // Every file goes to a temporary name first; only when all are written do
    // they replace the old ones, so a failure leaves the old table intact.
    struct Pending { std::filesystem::path target, temp; };
    std::vector<Pending> files;
    auto remove_temps = [&files] {
        for (const auto& f : files) std::remove(f.temp.c_str());
    };
    auto stage = [&](const std::filesystem::path& target, const std::vector<unsigned char>& bytes) {
        auto temp = target;
        temp += ".tmp";
        files.push_back({target, temp});
        write_file(temp, bytes);
    };
    const std::uint32_t per_block = records_per_block(m_schema.block_kb, m_record_size);
    const bool keyed = m_schema.key_fields > 0;
    auto field_number = [&](const FieldDesc& f) {
        for (std::size_t i = 0; i < m_fields.size(); ++i)
            if (m_fields[i].offset == f.offset) return static_cast<int>(i) + 1;
        return 0;
    };
    try {
        stage(m_path, build_file(table, m_records.data(), m_count, m_record_size));
        if (keyed) {
            TreeHeader px;
            px.fields.assign(m_fields.begin(), m_fields.begin() + m_schema.key_fields);
            px.block_kb = m_schema.block_kb;
            px.table_name = table.table_name;
            auto target = m_path;
            target.replace_extension(".PX");
            stage(target, build_tree(px, m_records.data(), m_count, m_record_size, per_block));
        }

        int composite = 0;
        for (const auto& ix : m_schema.indexes) {
            std::vector<FieldDesc> key = key_of(ix.fields);
            KeyEncoder enc(key, collation, cp, ix.case_insensitive, ix.descending);
            auto order = enc.sort(m_count, record_of(m_records));
            if (ix.unique && enc.first_duplicate(order, record_of(m_records)) >= 0)
                throw EngineError(kErrKeyViolation, file_name(m_path) + ": key violation in unique index " + ix.name);
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
            std::vector<unsigned char> xrecords(static_cast<std::size_t>(m_count) * static_cast<std::size_t>(xsize));
            for (std::uint32_t i = 0; i < m_count; ++i) {
                unsigned char* out = xrecords.data() + static_cast<std::size_t>(i) * static_cast<std::size_t>(xsize);
                const std::uint32_t r = order[i];
                const unsigned char* in = m_records.data() + r * rs;
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
            }
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
            stage(target, build_file(xh, xrecords.data(), m_count, xsize));

            TreeHeader y;
            y.file_type = simple ? 4 : 7;
            y.fields.assign(xfields.begin(), xfields.begin() + xh.key_fields);
            y.block_kb = m_schema.block_kb;
            y.table_name = xh.table_name;
            target.replace_extension(simple ? (std::string(".Y") + (ext + 2)) : (std::string(".YG") + (ext + 3)));
            stage(target, build_tree(y, xrecords.data(), m_count, xsize, records_per_block(m_schema.block_kb, xsize)));
        }
    } catch (...) {
        remove_temps();
        throw;
    }
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
