// The record window: the consecutive records of the active order that a
// dataset keeps in memory around its current record, as many as its links ask
// for. Rows are kept in a ring so that moving the window by one record costs
// one fetch and no copying. Field values are decoded only when first read and
// forgotten when the row is fetched again.
#pragma once

#include "platform/db/TableAccess.h"

#include <cstdint>
#include <vector>

namespace db {

struct Placement {
    std::int64_t top = 1;  // sequence number of row 0
    int rows = 0;
    int active = 0;
};

// A window of up to `capacity` consecutive records out of `count`, holding
// record `current` on row `row` as far as the records before it allow, and
// filled from further back when too few records follow it.
Placement place_window(std::int64_t count, int capacity, std::int64_t current, int row);

class RecordWindow {
public:
    // A field's value in a row; it belongs to the row's current record only
    // while `fetch` equals the row's, so fetching a record touches no slot.
    struct Slot {
        std::uint64_t fetch = 0;
        Value value;
    };
    // A row is known by its place: record top() + index of the active order.
    struct Row {
        std::uint64_t fetch = 0;
        std::vector<Slot> values;  // one slot per field
        bool has(const Slot& s) const { return s.fetch == fetch; }
    };

    void attach(const TableCursor* cursor, int value_slots);
    void clear();

    int rows() const { return m_rows; }
    int active() const { return m_active; }
    void set_active(int row) { m_active = row; }
    std::int64_t top() const { return m_top; }
    std::int64_t current_seq() const { return m_top + m_active; }
    // Reading a field that the order does not cover asks for records ahead
    // at the next step; a scan of covered fields never touches the records.
    void note_record_read() { m_recordsRead = true; }

    Row& row(int index) { return m_slots[slot(index)]; }
    const Row& row(int index) const { return m_slots[slot(index)]; }

    // Refetches every row.
    void fill(const Placement& placement);
    // Moves the window `distance` records towards the end (negative: towards
    // the beginning), keeping the rows that stay and fetching the new ones.
    void scroll(std::int64_t distance) {
        // Inline for a scan of covered fields: one step, nothing to ask for ahead.
        if (distance == 1 && distance < m_rows && !m_recordsRead) return step_forward();
        scroll_by(distance);
    }
    // Grows the window at its end, then at its start, or shrinks it at its
    // end, then at its start, to min(capacity, count) rows, never dropping
    // the active row.
    void resize(int capacity, std::int64_t count);

private:
    // index < m_slots.size(), so one subtraction wraps it (no division on every field read).
    std::size_t slot(int index) const {
        const std::size_t s = m_head + static_cast<std::size_t>(index);
        return s >= m_slots.size() ? s - m_slots.size() : s;
    }
    void scroll_by(std::int64_t distance);
    // Inline: a scan steps and loads one row per record.
    void step_forward() {
        load(m_slots[slot(m_rows)]);
        if (++m_head == m_slots.size()) m_head = 0;
        ++m_top;
    }
    void load(Row& r) {
        if (r.values.size() != static_cast<std::size_t>(m_valueSlots)) [[unlikely]]
            make_slots(r);
        ++r.fetch;
    }
    // Out of line: a row gets its slots once, and keeping this out of the step keeps the step short.
    void make_slots(Row& r);
    void reserve(int rows);

    const TableCursor* m_cursor = nullptr;
    int m_valueSlots = 0;
    std::vector<Row> m_slots;
    std::size_t m_head = 0;
    std::int64_t m_top = 1;
    int m_rows = 0;
    int m_active = 0;
    bool m_recordsRead = false;
};

}  // namespace db
