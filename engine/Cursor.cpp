#include "engine/Cursor.h"

#include "engine/EngineError.h"
#include "engine/FieldCodec.h"

namespace engine {

Cursor::Cursor(std::shared_ptr<Table> table) : m_table(std::move(table)) {
    m_index = m_table->keyed() ? 0 : -1;
    m_order = &m_table->order(m_index);
    find_key_columns();
}

void Cursor::switch_index(std::string_view name, bool keep_current) {
    int index = m_table->find_index(name);
    if (index < 0) {
        if (!name.empty()) throw EngineError(kErrInvalidArgument, "Index " + AnsiString(name) + " does not exist");
        index = -1;  // no primary index: physical order
    }
    switch_index_number(index, keep_current);
}

void Cursor::switch_index_number(int index, bool keep_current) {
    if (index < -1 || index >= static_cast<int>(m_table->indexes().size()))
        throw EngineError(kErrInvalidArgument, "Index number " + std::to_string(index) + " does not exist");
    if (keep_current && m_state != State::On) throw EngineError(kErrNoCurrentRecord, "No current record");
    const std::uint32_t record = keep_current ? order().record_at(m_pos) : 0;
    const IndexOrder& next_order = m_table->order(index);
    m_index = index;
    m_order = &next_order;
    find_key_columns();
    if (keep_current) {
        m_pos = locate(record);
    } else {
        m_state = State::Bof;
        m_pos = 0;
    }
    check_intact();
}

std::uint32_t Cursor::locate(std::uint32_t record) const {
    // Orders are sorted by key, then record number: a binary search on both
    // finds the record without the O(n) inverse a first position_of() builds,
    // which is what keeps the first switch to a big index quick.
    if (m_index < 0 || m_table->indexes()[static_cast<std::size_t>(m_index)].primary) return order().position_of(record);
    const KeyEncoder& enc = m_table->key_encoder(m_index);
    std::string wanted, probe;
    enc.encode_record(m_table->raw_record(record), wanted);
    std::uint32_t lo = 0, hi = order().size();
    while (lo < hi) {
        const std::uint32_t mid = lo + (hi - lo) / 2;
        const std::uint32_t r = order().record_at(mid);
        enc.encode_record(m_table->raw_record(r), probe);
        const int c = probe.compare(wanted);
        if (c < 0 || (c == 0 && r < record))
            lo = mid + 1;
        else
            hi = mid;
    }
    if (lo < order().size() && order().record_at(lo) == record) return lo;
    return order().position_of(record);  // an order from elsewhere, sorted otherwise
}

int Cursor::active_key_index() const {
    if (m_index < 0) throw EngineError(kErrInvalidArgument, "No index is active for a key search");
    return m_index;
}

const unsigned char* Cursor::first_key_at(std::uint32_t position) const {
    // An index file holds the key beside the record number: one memory access per probe.
    if (order().from_file()) return order().file_record(position);
    return m_table->raw_record(order().record_at(position)) + m_table->key_encoder(m_index).first_offset();
}

std::uint32_t Cursor::lower_bound(std::string_view target) const {
    const KeyEncoder& enc = m_table->key_encoder(active_key_index());
    std::uint32_t lo = 0, hi = order().size();
    while (lo < hi) {
        const std::uint32_t mid = lo + (hi - lo) / 2;
        if (enc.compare_first(first_key_at(mid), target) < 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

void Cursor::set_to_key(const Value& key) {
    const std::string target = m_table->key_encoder(active_key_index()).encode_target(key);
    const std::uint32_t pos = lower_bound(target);
    check_intact();
    if (pos >= order().size()) {
        m_state = State::Eof;
    } else {
        m_state = State::Gap;
        m_pos = pos;
    }
}

bool Cursor::get_record_for_key(const Value& key) {
    const KeyEncoder& enc = m_table->key_encoder(active_key_index());
    const std::string target = enc.encode_target(key);
    // A key equal to the target sorts before the keys that merely begin with
    // it, or after them in a descending index.
    for (std::uint32_t pos = lower_bound(target); pos < order().size(); ++pos) {
        const unsigned char* key = first_key_at(pos);
        const int order_of = enc.compare_first(key, target);
        const bool equal = order_of == 0 && enc.equals_first(key, target);
        check_intact();
        if (order_of != 0) return false;
        if (equal) {
            m_state = State::On;
            m_pos = pos;
            return true;
        }
        if (!enc.descending()) return false;
    }
    check_intact();
    return false;
}

RecordPos Cursor::current() const {
    switch (m_state) {
    case State::On: {
        const RecordPos r{order().record_at(m_pos), m_pos + 1};
        check_intact();
        return r;
    }
    case State::Bof: throw EngineError(kErrBof, "Beginning of table");
    case State::Eof: throw EngineError(kErrEof, "End of table");
    case State::Gap: break;
    }
    throw EngineError(kErrNoCurrentRecord, "No current record");
}

RecordPos Cursor::next() {
    std::uint64_t pos = 0;
    switch (m_state) {
    case State::Bof: pos = 0; break;
    case State::On: pos = static_cast<std::uint64_t>(m_pos) + 1; break;
    case State::Gap: pos = m_pos; break;
    case State::Eof: pos = order().size(); break;
    }
    if (pos >= order().size()) {
        m_state = State::Eof;
        throw EngineError(kErrEof, "End of table");
    }
    m_state = State::On;
    m_pos = static_cast<std::uint32_t>(pos);
    const RecordPos r{order().record_at(m_pos), m_pos + 1};
    check_intact();
    return r;
}

RecordPos Cursor::prior() {
    std::int64_t pos = 0;
    switch (m_state) {
    case State::Bof: pos = -1; break;
    case State::On:
    case State::Gap: pos = static_cast<std::int64_t>(m_pos) - 1; break;
    case State::Eof: pos = static_cast<std::int64_t>(order().size()) - 1; break;
    }
    if (pos < 0) {
        m_state = State::Bof;
        throw EngineError(kErrBof, "Beginning of table");
    }
    m_state = State::On;
    m_pos = static_cast<std::uint32_t>(pos);
    const RecordPos r{order().record_at(m_pos), m_pos + 1};
    check_intact();
    return r;
}

void Cursor::move_to(std::int64_t n) {
    if (n < 1) {
        m_state = State::Bof;
        throw EngineError(kErrBof, "Beginning of table");
    }
    if (n > static_cast<std::int64_t>(order().size())) {
        m_state = State::Eof;
        throw EngineError(kErrEof, "End of table");
    }
    m_state = State::On;
    m_pos = static_cast<std::uint32_t>(n - 1);
}

RecordPos Cursor::set_sequence_number(std::int64_t n) {
    move_to(n);
    const RecordPos r{order().record_at(m_pos), m_pos + 1};
    check_intact();
    return r;
}

Value Cursor::value_at(std::int64_t n, int field) {
    move_to(n);
    return value(field);
}

void Cursor::text_at(std::int64_t n, int field, std::string& out) {
    move_to(n);
    text(field, out);
}

void Cursor::find_key_columns() {
    m_key_columns.assign(m_table->fields().size(), -1);
    if (m_index < 0 || !order().from_file()) return;
    int offset = 0;
    for (int k : m_table->indexes()[static_cast<std::size_t>(m_index)].fields) {
        m_key_columns[static_cast<std::size_t>(k)] = offset;
        offset += m_table->fields()[static_cast<std::size_t>(k)].width;
    }
}

const unsigned char* Cursor::key_column(int field) const {
    const int offset = m_key_columns[static_cast<std::size_t>(field)];
    return offset < 0 ? nullptr : order().file_record(m_pos) + offset;
}

Value Cursor::value(int field) const {
    if (m_state != State::On) current();  // throws the error of the cursor's place
    const unsigned char* raw = key_column(field);
    Value v = raw ? decode_field(m_table->fields()[static_cast<std::size_t>(field)], raw, m_table->code_page_table())
                  : m_table->value(order().record_at(m_pos), field);
    m_order->check_intact();
    return v;
}

void Cursor::text(int field, std::string& out) const {
    if (m_state != State::On) current();
    const unsigned char* raw = key_column(field);
    if (!raw) {
        m_table->text(order().record_at(m_pos), field, out);
    } else {
        const FieldDesc& f = m_table->fields()[static_cast<std::size_t>(field)];
        if (f.type != FieldType::Alpha) throw EngineError(kErrInvalidArgument, "Field " + f.name + " is not text");
        decode_alpha(f, raw, m_table->code_page_table(), out);
    }
    m_order->check_intact();
}

}  // namespace engine
