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

IndexOrder IndexOrder::mapped(std::unique_ptr<SecondaryIndexFile> file) {
    IndexOrder o;
    o.m_size = file->size();
    o.m_file = std::move(file);
    return o;
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
