// Sort keys of an index: byte strings whose memcmp order is the index order.
//
// Alpha fields become collation weights (all non-zero) ending in a zero byte,
// so a composite key never lets one field's tail spill into the next; other
// fields keep their raw record bytes, which already sort as their values.
// A descending index inverts every byte.
#pragma once

#include "engine/CodePage.h"
#include "engine/Value.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace engine {

enum class Collation : std::uint8_t {
    Binary,           // "ascii": the table's code page bytes
    CaseInsensitive,  // international orders: letters without regard to case
    Russian,          // Cyrillic orders: Russian alphabet, no case, "ё" with "е"
};

// The collation of a table's sort order name as Paradox stores it in the header.
Collation collation_for(std::string_view sort_order);

class KeyEncoder {
public:
    KeyEncoder(std::vector<FieldDesc> key_fields, Collation collation, const CodePage& cp, bool case_insensitive,
               bool descending);

    // Longest key this encoder makes.
    std::size_t max_length() const { return m_max_length; }
    // Sort key of a record (raw record bytes) into out, replacing its contents.
    void encode_record(const unsigned char* record, std::string& out) const;
    // Two records (raw bytes, the key fields at their offsets) in key order,
    // as memcmp of their sort keys would put them, without making the keys.
    int compare_records(const unsigned char* a, const unsigned char* b) const;
    // Bytes from..from+7 of a record's sort key, big-endian, zero-padded.
    std::uint64_t head(const unsigned char* record, std::size_t from = 0) const;
    // Search target for the first key field: a CP1251 text or a value.
    std::string encode_target(const Value& key) const;
    // The first key field's raw bytes (a record's, or an index file entry's)
    // against a target, with the prefix rule for text: <0 before, 0 when the
    // field begins with (or equals) the target, >0 after.
    int compare_first(const unsigned char* field, std::string_view target) const;
    // True when the first key field equals the target whole (no prefix rule).
    bool equals_first(const unsigned char* field, std::string_view target) const;
    bool descending() const { return m_descending; }
    // Where the first key field starts in a table record.
    int first_offset() const { return m_fields.front().offset; }

    // Physical record numbers in index order (ties in record order).
    std::vector<std::uint32_t> sort(std::uint32_t count,
                                    const std::function<const unsigned char*(std::uint32_t)>& record) const;
    // Records with equal keys in a sorted order, or -1 when all keys differ.
    std::int64_t first_duplicate(const std::vector<std::uint32_t>& order,
                                 const std::function<const unsigned char*(std::uint32_t)>& record) const;

private:
    void encode_field(const FieldDesc& f, const unsigned char* raw, std::string& out) const;

    std::vector<FieldDesc> m_fields;
    bool m_descending;
    std::array<unsigned char, 256> m_weight{};
    std::size_t m_max_length = 0;
    const CodePage* m_cp;
};

}  // namespace engine
