// An index order: a permutation of a table's physical record numbers.
//
// Three forms: the identity (physical order, and the primary key order of a
// keyed table, whose blocks Paradox keeps sorted), a vector built in memory,
// or a secondary index file read in place from the mapping. Position ->
// record is O(1) in the first two and in the third once the position was
// used; record -> position uses an inverse built on first use in one O(n) pass.
#pragma once

#include "engine/SecondaryIndexFile.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace engine {

class IndexOrder {
public:
    static IndexOrder identity(std::uint32_t count);
    static IndexOrder in_memory(std::vector<std::uint32_t> records);
    // The order an index file holds; an entry without its record raises kErrCorrupt when read.
    static IndexOrder mapped(std::unique_ptr<SecondaryIndexFile> file);

    std::uint32_t size() const { return m_size; }
    bool from_file() const { return m_file != nullptr; }

    std::uint32_t record_at(std::uint32_t position) const {
        if (m_file) return m_file->record_at(position);
        return m_records.empty() ? position : m_records[position];
    }
    std::uint32_t position_of(std::uint32_t record) const;
    // The index file's entry at a position (only when from_file()).
    const unsigned char* file_record(std::uint32_t position) const { return m_file->entry(position); }
    // An index file's order: the file and its table as ParadoxFile::check_intact().
    void check_intact() const {
        if (m_file) m_file->check_intact();
    }

#ifndef NDEBUG
    // Every position of an index file's order resolved so far names the record its entry describes.
    void check_invariants() const {
        if (m_file) m_file->check_invariants();
    }
#endif

private:
    std::uint32_t m_size = 0;
    std::vector<std::uint32_t> m_records;  // empty: identity (unless mapped)
    std::unique_ptr<SecondaryIndexFile> m_file;
    mutable std::vector<std::uint32_t> m_positions;  // inverse, built on first use
};

}  // namespace engine
