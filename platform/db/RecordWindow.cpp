#include "platform/db/RecordWindow.h"

#include <algorithm>
#include <utility>

namespace db {

namespace {

// How far ahead of a window stepping through the table records are asked
// for: enough to keep several memory reads in flight.
constexpr std::int64_t kPrefetchAhead = 16;

}  // namespace

Placement place_window(std::int64_t count, int capacity, std::int64_t current, int row) {
    Placement p;
    p.rows = static_cast<int>(std::min<std::int64_t>(std::max(capacity, 1), std::max<std::int64_t>(count, 0)));
    if (p.rows == 0) return p;
    current = std::clamp<std::int64_t>(current, 1, count);
    row = std::clamp(row, 0, p.rows - 1);
    p.top = std::clamp<std::int64_t>(current - row, 1, count - p.rows + 1);
    p.active = static_cast<int>(current - p.top);
    return p;
}

void RecordWindow::attach(const TableCursor* cursor, int value_slots) {
    m_cursor = cursor;
    m_valueSlots = value_slots;
    clear();
}

void RecordWindow::clear() {
    m_slots.clear();
    m_head = 0;
    m_top = 1;
    m_rows = 0;
    m_active = 0;
}

void RecordWindow::make_slots(Row& r) { r.values.assign(static_cast<std::size_t>(m_valueSlots), {}); }

void RecordWindow::reserve(int rows) {
    if (static_cast<int>(m_slots.size()) >= rows) return;
    std::vector<Row> ordered;
    ordered.reserve(static_cast<std::size_t>(rows));
    for (int i = 0; i < m_rows; ++i) ordered.push_back(std::move(row(i)));
    ordered.resize(static_cast<std::size_t>(rows));
    m_slots = std::move(ordered);
    m_head = 0;
}

void RecordWindow::fill(const Placement& placement) {
    reserve(placement.rows);
    m_head = 0;
    m_top = placement.top;
    m_rows = placement.rows;
    m_active = placement.active;
    for (int i = 0; i < m_rows; ++i) load(row(i));
}

void RecordWindow::scroll_by(std::int64_t distance) {
    if (distance == 0 || m_rows == 0) return;
    if (distance >= m_rows || -distance >= m_rows) {
        fill({m_top + distance, m_rows, m_active});
        return;
    }
    const std::size_t n = m_slots.size();
    const bool ahead = std::exchange(m_recordsRead, false);
    for (; distance > 0; --distance) {
        if (ahead) m_cursor->prefetch(m_top + m_rows + kPrefetchAhead);
        step_forward();
    }
    for (; distance < 0; ++distance) {
        if (ahead) m_cursor->prefetch(m_top - 1 - kPrefetchAhead);
        m_head = (m_head == 0 ? n : m_head) - 1;
        --m_top;
        load(row(0));
    }
}

void RecordWindow::resize(int capacity, std::int64_t count) {
    const int wanted = static_cast<int>(std::min<std::int64_t>(std::max(capacity, 1), count));
    if (wanted > m_rows) {
        reserve(wanted);
        const std::int64_t after = count - (m_top + m_rows - 1);
        const int at_end = static_cast<int>(std::min<std::int64_t>(wanted - m_rows, after));
        for (int i = 0; i < at_end; ++i) {
            load(m_slots[slot(m_rows)]);
            ++m_rows;
        }
        const std::size_t n = m_slots.size();
        while (m_rows < wanted) {
            m_head = (m_head + n - 1) % n;
            --m_top;
            load(row(0));
            ++m_rows;
            ++m_active;
        }
    } else if (wanted < m_rows) {
        const int drop_end = std::min(m_rows - wanted, m_rows - 1 - m_active);
        m_rows -= drop_end;
        const int drop_top = m_rows - wanted;
        m_head = (m_head + static_cast<std::size_t>(drop_top)) % m_slots.size();
        m_top += drop_top;
        m_active -= drop_top;
        m_rows = wanted;
    }
}

}  // namespace db
