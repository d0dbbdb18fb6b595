// Finds records by one field along an index order without decoding them.
//
// The type-ahead search of a grid looks for the next record whose field
// begins with what the user typed and may have to look at every record of the
// table to find none. A record-by-record walk through a cursor decodes a value
// per record; this scan instead reads the field's bytes where they lie and
// compares them in place:
//   - when the order comes from an index file that holds the field, the
//     file's entries are read in sequence (the table is not touched at all);
//   - in physical order the table's records are read in sequence;
//   - otherwise each position's record is looked up in the order and the
//     records ahead are asked for early, since they lie all over the table.
//
// Positions are 0-based places in the order. A scan runs from `from` to `to`,
// both included, forwards when to >= from and backwards otherwise; it stops
// at the first match. Nothing here moves a cursor.
//
//   engine::FieldScan scan(table, table.find_index("LastName"), table.field_index("LastName"));
//   std::int64_t p = scan.find_prefix("ИВ", 0, table.record_count() - 1);  // -1: none
#pragma once

#include "engine/Table.h"

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace engine {

class FieldScan {
public:
    // index: an index of the table, or -1 for physical order. field < fields().size().
    FieldScan(const Table& table, int index, int field);

    // Whether find_prefix() can read this field: text and integer fields.
    bool text_searchable() const;
    // Whether find_integer() can read this field: integer fields.
    bool integer_searchable() const;

    // The first position whose field shows text beginning with `prefix`
    // (CP1251), letters compared by their CP1251 upper case. Integers show
    // their decimal digits; a blank field shows nothing. An empty prefix
    // matches nothing. -1 when no position in the range matches.
    std::int64_t find_prefix(std::string_view prefix, std::uint32_t from, std::uint32_t to) const;
    // The first position whose integer field holds one of `sorted_values`
    // (ascending). A blank field holds none. -1 when none does.
    std::int64_t find_integer(const std::vector<std::int64_t>& sorted_values, std::uint32_t from, std::uint32_t to) const;

private:
    template <class Match>
    std::int64_t scan(std::uint32_t from, std::uint32_t to, Match&& match) const;
    template <class Match>
    std::int64_t walk(std::uint32_t from, std::uint32_t to, Match& match) const;
    bool integer_field() const;
    bool blank_or_integer(const unsigned char* raw, std::int64_t& out) const;

    const Table& m_table;
    const IndexOrder& m_order;
    const FieldDesc& m_field;
    // Offset of the field in the index file's entries, -1 when the file does not hold it.
    int m_key_offset = -1;
    bool m_physical = false;  // position == physical record number
    // Byte of the table's code page -> CP1251 upper case.
    std::array<unsigned char, 256> m_fold{};
};

}  // namespace engine
