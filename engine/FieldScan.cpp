#include "engine/FieldScan.h"

#include "text/Cp1251.h"

#include <algorithm>
#include <charconv>

namespace engine {
namespace {

// How far ahead a scan in a foreign order asks for records: enough misses in
// flight to hide most of the memory's latency.
constexpr std::uint32_t kPrefetchDistance = 16;

std::uint32_t big_endian(const unsigned char* p, int n) {
    std::uint32_t v = 0;
    for (int i = 0; i < n; ++i) v = (v << 8) | p[i];
    return v;
}

}  // namespace

FieldScan::FieldScan(const Table& table, int index, int field)
    : m_table(table), m_order(table.order(index)), m_field(table.fields()[static_cast<std::size_t>(field)]) {
    m_physical = index < 0 || table.indexes()[static_cast<std::size_t>(index)].primary;
    if (index >= 0 && m_order.from_file()) {
        // The index file's entries hold the key fields in key order, then the record number.
        int offset = 0;
        for (int k : table.indexes()[static_cast<std::size_t>(index)].fields) {
            if (k == field) {
                m_key_offset = offset;
                break;
            }
            offset += table.fields()[static_cast<std::size_t>(k)].width;
        }
    }
    const CodePage& cp = table.code_page_table();
    for (int b = 0; b < 256; ++b)
        m_fold[static_cast<std::size_t>(b)] = text::ansi_upper(cp.to_ansi(static_cast<unsigned char>(b)));
}

bool FieldScan::integer_field() const {
    return m_field.type == FieldType::Short || m_field.type == FieldType::Long || m_field.type == FieldType::AutoInc;
}

bool FieldScan::text_searchable() const { return m_field.type == FieldType::Alpha || integer_field(); }

bool FieldScan::integer_searchable() const { return integer_field(); }

bool FieldScan::blank_or_integer(const unsigned char* raw, std::int64_t& out) const {
    // Integers are stored big-endian with the sign bit flipped; all-zero bytes are blank.
    if (m_field.type == FieldType::Short) {
        const std::uint32_t u = big_endian(raw, 2);
        if (u == 0) return false;
        out = static_cast<std::int16_t>(u ^ 0x8000U);
        return true;
    }
    const std::uint32_t u = big_endian(raw, 4);
    if (u == 0) return false;
    out = static_cast<std::int32_t>(u ^ 0x80000000U);
    return true;
}

template <class Match>
std::int64_t FieldScan::scan(std::uint32_t from, std::uint32_t to, Match&& match) const {
    // Whatever the walk found counts only when the files held still under it.
    const std::int64_t found = walk(from, to, match);
    m_table.check_intact();
    m_order.check_intact();
    return found;
}

template <class Match>
std::int64_t FieldScan::walk(std::uint32_t from, std::uint32_t to, Match& match) const {
    const std::uint32_t size = m_order.size();
    if (size == 0) return -1;
    from = std::min(from, size - 1);
    to = std::min(to, size - 1);
    const std::int64_t step = to >= from ? 1 : -1;
    const std::int64_t end = static_cast<std::int64_t>(to) + step;
    const int field_offset = m_field.offset;
    if (m_key_offset >= 0) {
        for (std::int64_t p = from; p != end; p += step)
            if (match(m_order.file_record(static_cast<std::uint32_t>(p)) + m_key_offset)) return p;
        return -1;
    }
    if (m_physical) {
        for (std::int64_t p = from; p != end; p += step)
            if (match(m_table.raw_record(static_cast<std::uint32_t>(p)) + field_offset)) return p;
        return -1;
    }
    for (std::int64_t p = from; p != end; p += step) {
        const std::int64_t ahead = p + step * kPrefetchDistance;
        if (ahead >= 0 && ahead < size)
            __builtin_prefetch(m_table.raw_record(m_order.record_at(static_cast<std::uint32_t>(ahead))) + field_offset);
        if (match(m_table.raw_record(m_order.record_at(static_cast<std::uint32_t>(p))) + field_offset)) return p;
    }
    return -1;
}

std::int64_t FieldScan::find_prefix(std::string_view prefix, std::uint32_t from, std::uint32_t to) const {
    if (prefix.empty() || !text_searchable()) return -1;
    unsigned char wanted[256];
    const std::size_t n = prefix.size();
    if (n > sizeof wanted) return -1;
    for (std::size_t i = 0; i < n; ++i) wanted[i] = text::ansi_upper(static_cast<unsigned char>(prefix[i]));
    if (m_field.type == FieldType::Alpha) {
        // Text no longer than the field: a shorter value ends in a zero byte,
        // which folds to zero and so never equals a typed character.
        if (n > static_cast<std::size_t>(m_field.width) || std::find(wanted, wanted + n, 0) != wanted + n) return -1;
        const unsigned char first = wanted[0];
        const auto& fold = m_fold;
        return scan(from, to, [&](const unsigned char* raw) {
            if (fold[raw[0]] != first) return false;
            for (std::size_t i = 1; i < n; ++i)
                if (fold[raw[i]] != wanted[i]) return false;
            return true;
        });
    }
    return scan(from, to, [&](const unsigned char* raw) {
        std::int64_t v = 0;
        if (!blank_or_integer(raw, v)) return false;
        char digits[24];
        const auto r = std::to_chars(digits, digits + sizeof digits, v);
        const std::size_t len = static_cast<std::size_t>(r.ptr - digits);
        return len >= n && std::equal(wanted, wanted + n, reinterpret_cast<const unsigned char*>(digits));
    });
}

std::int64_t FieldScan::find_integer(const std::vector<std::int64_t>& sorted_values, std::uint32_t from,
                                     std::uint32_t to) const {
    if (sorted_values.empty() || !integer_field()) return -1;
    return scan(from, to, [&](const unsigned char* raw) {
        std::int64_t v = 0;
        return blank_or_integer(raw, v) && std::binary_search(sorted_values.begin(), sorted_values.end(), v);
    });
}

}  // namespace engine
