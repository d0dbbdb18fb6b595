#include "engine/IndexOrder.h"

#include "engine/EngineError.h"
#include "text/Cp1251.h"

namespace engine {

IndexOrder IndexOrder::identity(std::uint32_t count) {
    IndexOrder o;
    o.m_size = count;
    return o;
}

IndexOrder IndexOrder::in_memory(std::vector<std::uint32_t> records) {
    IndexOrder o;
    o.m_size = static_cast<std::uint32_t>(records.size());
    o.m_records = std::move(records);
    return o;
}

IndexOrder IndexOrder::mapped(std::unique_ptr<ParadoxFile> file, int column_offset, std::uint32_t table_records) {
    IndexOrder o;
    o.m_size = table_records;
    o.m_file = std::move(file);
    o.m_column = column_offset;
    return o;
}

std::uint32_t IndexOrder::mapped_record(std::uint32_t position) const {
    const unsigned char* p = m_file->record(position) + m_column;
    const std::uint32_t raw = (static_cast<std::uint32_t>(p[0]) << 24) | (static_cast<std::uint32_t>(p[1]) << 16) |
                              (static_cast<std::uint32_t>(p[2]) << 8) | p[3];
    const std::uint32_t number = raw ^ 0x80000000U;
    if (raw == 0 || number == 0 || number > m_size)
        throw EngineError(kErrCorrupt, text::utf8_to_cp1251(m_file->path().string()) +
                                           ": index entry points outside the table");
    return number - 1;
}

std::uint32_t IndexOrder::position_of(std::uint32_t record) const {
    if (!m_file && m_records.empty()) return record;
    if (m_positions.empty() && m_size > 0) {
        std::vector<std::uint32_t> positions(m_size, UINT32_MAX);
        for (std::uint32_t i = 0; i < m_size; ++i) {
            const std::uint32_t r = record_at(i);
            if (positions[r] != UINT32_MAX) {
                throw EngineError(kErrCorrupt, (m_file ? text::utf8_to_cp1251(m_file->path().string()) : AnsiString("index")) +
                                                   ": index lists a record twice");
            }
            positions[r] = i;
        }
        m_positions = std::move(positions);
    }
    return m_positions[record];
}

}  // namespace engine
