// A cursor walks one index order of a table. Several cursors on one table are
// independent: a lookup cursor never moves another.
//
// A cursor is before the first record, on a record, in the gap before a
// record (after a key search), or after the last record:
//   next()  from before-first or a gap moves onto the next record; past the end -> 8706
//   prior() likewise backwards; before the beginning -> 8705
//   current() on a record returns it; before-first 8705, after-last 8706, in a gap 8709
//
//   engine::Cursor c(table);
//   c.switch_index("LastName", false);
//   c.set_to_key(engine::Value::of_text("Ив"_a));  // before the first key >= "Ив" (prefix rule)
//   engine::RecordPos r = c.next();              // that record and its 1-based sequence number
#pragma once

#include "engine/Table.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace engine {

struct RecordPos {
    std::uint32_t record = 0;    // physical record number, 0-based
    std::uint32_t sequence = 0;  // position in the active order, 1-based
};

class Cursor {
public:
    // Starts on the primary index of a keyed table (physical order otherwise), before the first record.
    explicit Cursor(std::shared_ptr<Table> table);

    Table& table() const { return *m_table; }
    const std::shared_ptr<Table>& table_ptr() const { return m_table; }
    // The active index number, -1 for physical order.
    int index() const { return m_index; }

    // Makes another index the order ("" is the primary index, or physical order
    // without one). keep_current: the same record stays current, else the
    // cursor goes before the first record. Throws kErrInvalidArgument for an
    // unknown name and kErrNoCurrentRecord when keep_current finds no current record.
    void switch_index(std::string_view name, bool keep_current);
    void switch_index_number(int index, bool keep_current);

    void to_begin() { m_state = State::Bof; }
    void to_end() { m_state = State::Eof; }

    // Greater-or-equal on the first key field: the cursor goes into the gap
    // before the first record whose key is >= key, or after the last record.
    // Text shorter than the field compares as a prefix; empty text precedes every key.
    void set_to_key(const Value& key);
    // The first record whose first key field equals key becomes current (text
    // as a whole, not as a prefix); false, and the cursor unchanged, when there is none.
    bool get_record_for_key(const Value& key);

    RecordPos current() const;
    RecordPos next();
    RecordPos prior();

    std::uint32_t record_count() const { return m_table->record_count(); }
    // 1-based position of the current record (kErrNoCurrentRecord etc. as current()).
    std::uint32_t sequence_number() const { return current().sequence; }
    // Makes the record at 1-based position n current: n < 1 -> before first and
    // 8705, n > count -> after last and 8706.
    RecordPos set_sequence_number(std::int64_t n);
    // set_sequence_number(n) followed by value(field) / text(field), with the
    // same errors, for a scan that reads by position: the position is resolved
    // to a record once, and not at all when the active index file holds the field.
    Value value_at(std::int64_t n, int field);
    void text_at(std::int64_t n, int field, std::string& out);

    bool on_record() const { return m_state == State::On; }
    // The table and the active index file as ParadoxFile::check_intact():
    // every operation here calls it before it hands out what it read.
    void check_intact() const {
        m_table->check_intact();
        m_order->check_intact();
    }
    // Field value of the current record. A field of the active index is read
    // from the index file when the order comes from one: a walk in index
    // order then reads memory in sequence instead of jumping about the table.
    Value value(int field) const;
    // Alpha field text of the current record into out (no allocation once out has room).
    void text(int field, std::string& out) const;

private:
    enum class State { Bof, On, Gap, Eof };
    // set_sequence_number() without looking up the record.
    void move_to(std::int64_t n);
    std::uint32_t lower_bound(std::string_view target) const;
    std::uint32_t locate(std::uint32_t record) const;
    const unsigned char* first_key_at(std::uint32_t position) const;
    const IndexOrder& order() const { return *m_order; }
    int active_key_index() const;
    // The field's bytes in the index file's current entry, or null.
    const unsigned char* key_column(int field) const;
    void find_key_columns();

    std::shared_ptr<Table> m_table;
    int m_index = -1;
    const IndexOrder* m_order = nullptr;
    State m_state = State::Bof;
    std::uint32_t m_pos = 0;
    std::vector<int> m_key_columns;  // per field: offset in the index file's entries, or -1
};

}  // namespace engine
