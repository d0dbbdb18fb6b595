#include "engine/SecondaryIndexFile.h"

#include "engine/EngineError.h"
#include "platform/classes/Invariant.h"
#include "text/Cp1251.h"

#include <cstdlib>
#include <cstring>

namespace engine {
namespace {

// Small integers in an entry use the record encoding: big-endian, top bit flipped; all zero is blank.
int short_at(const unsigned char* p) {
    if (p[0] == 0 && p[1] == 0) return -1;
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(((p[0] ^ 0x80) << 8) | p[1]));
}
std::int64_t long_at(const unsigned char* p) {
    if (p[0] == 0 && p[1] == 0 && p[2] == 0 && p[3] == 0) return -1;
    const std::uint32_t raw = (static_cast<std::uint32_t>(p[0] ^ 0x80) << 24) | (static_cast<std::uint32_t>(p[1]) << 16) |
                              (static_cast<std::uint32_t>(p[2]) << 8) | p[3];
    return static_cast<std::int32_t>(raw);
}

std::uint64_t big_endian(const unsigned char* p, std::size_t width) {
    std::uint64_t v = 0;
    for (std::size_t i = 0; i < width; ++i) v = (v << 8) | p[i];
    return v;
}

bool same_shape(const FieldDesc& a, const FieldDesc& b) { return a.type == b.type && a.width == b.width; }

}  // namespace

std::optional<IndexFileLayout> SecondaryIndexFile::describe(const ParadoxHeader& x, const ParadoxHeader& table) {
    if (x.file_type != 3 && x.file_type != 5 && x.file_type != 6 && x.file_type != 8) return std::nullopt;
    IndexFileLayout l;
    l.keyed = table.file_type == 0 && table.key_fields > 0;
    const int nf = static_cast<int>(x.fields.size());
    const int k = l.keyed ? table.key_fields : 0;
    const int m = l.keyed ? nf - k - 1 : nf - 3;
    if (m < 1 || x.key_fields != m + (l.keyed ? k : 2)) return std::nullopt;
    const auto& xf = x.fields;
    // Which table fields the index holds: the field-number array names them
    // (bit 15 marks a descending field); files without one name the first.
    for (int i = 0; i < m; ++i) {
        int n = -1;
        if (!x.field_numbers.empty()) {
            n = (x.field_numbers[static_cast<std::size_t>(i)] & 0x7FFF) - 1;
            if (x.field_numbers[static_cast<std::size_t>(i)] & 0x8000) l.descending = true;
        } else if (i == 0 && m == 1) {
            n = x.first_indexed_field - 1;
        }
        if (n < 0 || n >= static_cast<int>(table.fields.size()) || !same_shape(xf[static_cast<std::size_t>(i)], table.fields[static_cast<std::size_t>(n)]) ||
            is_blob_type(table.fields[static_cast<std::size_t>(n)].type))
            return std::nullopt;
        l.fields.push_back(n);
    }
    if (l.keyed) {
        for (int i = 0; i < k; ++i)
            if (!same_shape(xf[static_cast<std::size_t>(m + i)], table.fields[static_cast<std::size_t>(i)])) return std::nullopt;
        if (xf.back().type != FieldType::Short) return std::nullopt;
        l.key_offset = xf[static_cast<std::size_t>(m)].offset;
        l.key_width = xf.back().offset - l.key_offset;
        l.block_offset = xf.back().offset;
    } else {
        const FieldDesc& tup = xf[static_cast<std::size_t>(m)];
        const FieldDesc& blk = xf[static_cast<std::size_t>(m + 1)];
        const FieldDesc& pos = xf[static_cast<std::size_t>(m + 2)];
        if (tup.type != FieldType::Long || blk.type != FieldType::Short || pos.type != FieldType::Short) return std::nullopt;
        l.tuple_offset = tup.offset;
        l.block_offset = blk.offset;
        l.tuple_pos_offset = pos.offset;
    }
    l.maintained = x.file_type == 5 || x.file_type == 8;
    l.descending = l.descending || (x.index_attributes & layout::kAttrDescending) != 0;
    l.unique = (x.index_attributes & layout::kAttrUnique) != 0;
    l.case_insensitive = (x.index_attributes & layout::kAttrCaseInsensitive) != 0;
    return l;
}

SecondaryIndexFile::SecondaryIndexFile(std::unique_ptr<ParadoxFile> file, const ParadoxFile& table, IndexFileLayout layout)
    : m_file(std::move(file)), m_table(&table), m_layout(std::move(layout)),
      m_chunks((static_cast<std::size_t>(m_file->record_count()) >> kChunkBits) + 1) {}

void SecondaryIndexFile::remember(std::uint32_t position, std::uint32_t record) const {
    auto& chunk = m_chunks[position >> kChunkBits];
    if (!chunk) chunk = std::make_unique<std::uint32_t[]>(kChunkMask + 1);
    chunk[position & kChunkMask] = record + 1;
}

bool SecondaryIndexFile::matches(const unsigned char* entry, std::uint32_t record) const {
    const unsigned char* r = m_table->record(record);
    const auto& tf = m_table->header().fields;
    const auto& xf = m_file->header().fields;
    for (std::size_t i = 0; i < m_layout.fields.size(); ++i) {
        const FieldDesc& f = tf[static_cast<std::size_t>(m_layout.fields[i])];
        if (std::memcmp(r + f.offset, entry + xf[i].offset, static_cast<std::size_t>(f.width)) != 0) return false;
    }
    return true;
}

std::optional<std::uint32_t> SecondaryIndexFile::find_key(const unsigned char* key, std::uint32_t first, std::uint32_t count) const {
    // A keyed table holds its records in key order, which byte order follows
    // for every key but text under a language collation: search, then look at each.
    const auto width = static_cast<std::size_t>(m_layout.key_width);
    std::uint32_t lo = first, hi = first + count;
    if (width <= 8) {
        // Short keys (an integer, most often) compare as one number.
        const std::uint64_t wanted = big_endian(key, width);
        while (lo < hi) {
            const std::uint32_t mid = lo + (hi - lo) / 2;
            const std::uint64_t probe = big_endian(m_table->record(mid), width);
            if (probe == wanted) return mid;
            if (probe < wanted) lo = mid + 1; else hi = mid;
        }
        lo = hi = first;
    }
    while (lo < hi) {
        const std::uint32_t mid = lo + (hi - lo) / 2;
        const int c = std::memcmp(m_table->record(mid), key, width);
        if (c == 0) return mid;
        if (c < 0) lo = mid + 1; else hi = mid;
    }
    if (count > 4096) return std::nullopt;
    for (std::uint32_t r = first; r < first + count; ++r)
        if (std::memcmp(m_table->record(r), key, width) == 0) return r;
    return std::nullopt;
}

std::optional<std::uint32_t> SecondaryIndexFile::find(const unsigned char* entry) const {
    const IndexFileLayout& l = m_layout;
    const int block = short_at(entry + l.block_offset);
    std::uint32_t first = 0, count = 0;
    const bool hinted = m_table->block_records(block, first, count);
    if (l.keyed) {
        const unsigned char* key = entry + l.key_offset;
        std::optional<std::uint32_t> r;
        if (hinted) r = find_key(key, first, count);
        // The record moved to another block since the entry was written.
        if (!r) r = find_key(key, 0, m_table->record_count());
        if (r && matches(entry, *r)) return r;
        return std::nullopt;
    }
    // Without a key: the hint names the block and the place in it (in bytes
    // or in records), or the record's ordinal; the one whose fields agree wins.
    const int place = short_at(entry + l.tuple_pos_offset);
    const std::int64_t tuple = long_at(entry + l.tuple_offset);
    const int size = m_table->header().record_size;
    std::int64_t candidates[4] = {-1, -1, tuple, tuple - 1};
    if (hinted && place >= 0) {
        if (place % size == 0 && static_cast<std::uint32_t>(place / size) < count) candidates[0] = first + place / size;
        if (static_cast<std::uint32_t>(place) < count) candidates[1] = first + place;
    }
    for (std::int64_t c : candidates)
        if (c >= 0 && c < static_cast<std::int64_t>(m_table->record_count()) && matches(entry, static_cast<std::uint32_t>(c)))
            return static_cast<std::uint32_t>(c);
    return std::nullopt;
}

std::uint32_t SecondaryIndexFile::resolve(std::uint32_t position) const {
    // A walk through the order would resolve every entry one by one, each in
    // a block of its own: past a few thousand, one pass does them all.
    constexpr std::uint32_t kSingly = 4096;
    if (!m_resolved_all && ++m_resolved_singly > kSingly && size() > 4 * kSingly) {
        resolve_all();
        if (const std::uint32_t* chunk = m_chunks[position >> kChunkBits].get())
            if (const std::uint32_t known = chunk[position & kChunkMask]) return known - 1;
    }
    const auto r = find(entry(position));
    if (!r)
        throw EngineError(kErrCorrupt, text::utf8_to_cp1251(path().string()) + ": index is out of date with its table");
    remember(position, *r);
    return *r;
}

void SecondaryIndexFile::resolve_all() const {
    m_resolved_all = true;
    const std::uint32_t n = size();
    // Few entries: their blocks are in the cache anyway.
    if (!m_layout.keyed || n <= 65536) {
        for (std::uint32_t p = 0; p < n; ++p)
            if (const auto r = find(entry(p))) remember(p, *r);
        return;
    }
    m_file->populate();
    m_table->populate();
    // Entries grouped by the block they name, so each table block is searched
    // while it is in the cache, and the blocks in file order.
    std::vector<std::uint32_t> start(65537 + 1, 0);
    std::vector<std::uint16_t> block_of(n);
    for (std::uint32_t p = 0; p < n; ++p) {
        const int b = short_at(entry(p) + m_layout.block_offset);
        block_of[p] = static_cast<std::uint16_t>(b < 0 ? 0 : b);
        ++start[block_of[p] + 1u];
    }
    for (std::size_t b = 1; b < start.size(); ++b) start[b] += start[b - 1];
    std::vector<std::uint32_t> grouped(n);
    {
        std::vector<std::uint32_t> fill(start.begin(), start.end() - 1);
        for (std::uint32_t p = 0; p < n; ++p) grouped[fill[block_of[p]]++] = p;
    }
    for (std::uint32_t b = 0; b < 65536; ++b) {
        if (start[b] == start[b + 1]) continue;
        std::uint32_t first = 0, count = 0;
        const bool hinted = m_table->block_records(static_cast<int>(b), first, count);
        for (std::uint32_t i = start[b]; i < start[b + 1]; ++i) {
            // The entries of a block lie anywhere in the index file: ask for
            // the next ones early, so their cache misses overlap.
            constexpr std::uint32_t kAhead = 32;
            if (i + kAhead < n) {
                const unsigned char* ahead = entry(grouped[i + kAhead]);
                __builtin_prefetch(ahead);
                __builtin_prefetch(ahead + m_layout.block_offset);
            }
            const std::uint32_t p = grouped[i];
            const unsigned char* e = entry(p);
            std::optional<std::uint32_t> r;
            if (hinted) r = find_key(e + m_layout.key_offset, first, count);
            if (r && matches(e, *r)) remember(p, *r);
            else if ((r = find(e))) remember(p, *r);
        }
    }
}

bool SecondaryIndexFile::verify_all() const {
    const std::uint32_t n = size();
    if (n != m_table->record_count()) return false;
    try {
        resolve_all();
    } catch (const EngineError&) {
        return false;  // damaged blocks in either file
    }
    std::vector<bool> seen(n, false);
    for (std::uint32_t p = 0; p < n; ++p) {
        const std::uint32_t* chunk = m_chunks[p >> kChunkBits].get();
        const std::uint32_t known = chunk ? chunk[p & kChunkMask] : 0;
        if (known == 0 || seen[known - 1]) return false;
        seen[known - 1] = true;
    }
    return true;
}

#ifndef NDEBUG
void SecondaryIndexFile::check_invariants() const {
    for (std::uint32_t p = 0; p < size(); ++p) {
        const std::uint32_t* chunk = m_chunks[p >> kChunkBits].get();
        const std::uint32_t known = chunk ? chunk[p & kChunkMask] : 0;
        if (known == 0) continue;
        INVARIANT(known - 1 < m_table->record_count() && matches(entry(p), known - 1),
                  "SecondaryIndexFile: every known entry names a record that matches it");
    }
}
#endif

}  // namespace engine
