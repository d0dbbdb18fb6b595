#include "platform/db/TDataSet.h"

#include "platform/classes/Invariant.h"
#include "platform/db/EDatabaseError.h"
#include "platform/db/IndexSelection.h"
#include "platform/db/TAutoIncField.h"
#include "platform/db/TDataLink.h"
#include "platform/db/TDataSource.h"
#include "platform/db/TFloatField.h"
#include "platform/db/TSmallintField.h"
#include "platform/db/TStringField.h"
#include "text/Cp1251.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace {

const db::Value kNull;

bool parse_int(std::string_view s, std::int64_t& out) {
    const char* end = s.data() + s.size();
    auto r = std::from_chars(s.data(), end, out);
    return r.ec == std::errc() && r.ptr == end && !s.empty();
}

TField* make_default_field(TDataSet* owner, const db::FieldDef& def) {
    switch (def.type) {
    case db::FieldType::String: {
        auto* f = TComponent::Own<TStringField>(owner);
        f->SetSize(def.size);
        return f;
    }
    case db::FieldType::SmallInt: return TComponent::Own<TSmallintField>(owner);
    case db::FieldType::Integer: return TComponent::Own<TIntegerField>(owner);
    case db::FieldType::AutoInc: return TComponent::Own<TAutoIncField>(owner);
    case db::FieldType::Float: return TComponent::Own<TFloatField>(owner);
    case db::FieldType::Other: break;
    }
    return TComponent::Own<TField>(owner);
}

bool compatible(TFieldType field, db::FieldType table) {
    switch (table) {
    case db::FieldType::String: return field == ftString;
    case db::FieldType::SmallInt:
    case db::FieldType::Integer:
    case db::FieldType::AutoInc: return field == ftSmallint || field == ftInteger || field == ftAutoInc;
    case db::FieldType::Float: return field == ftFloat || field == ftCurrency;
    case db::FieldType::Other: return field == ftUnknown;
    }
    return false;
}

}  // namespace

TDataSet::TDataSet(TComponent* AOwner) : TComponent(AOwner) {}

TDataSet::~TDataSet() {
    if (Active()) CloseInternal();
    for (TDataSource* source : std::vector<TDataSource*>(m_dataSources)) {
        source->m_dataSet = nullptr;
        source->update_links();
    }
    for (TField* field : m_fields) field->m_dataSet = nullptr;
}

void TDataSet::SetActive(bool value) {
    if (Loading()) {
        m_streamedActive = value;
        return;
    }
    if (value == Active()) return;
    if (value)
        OpenInternal();
    else
        CloseInternal();
}

void TDataSet::Loaded() {
    TComponent::Loaded();
    if (m_streamedActive) SetActive(true);
}

void TDataSet::OpenInternal() {
    m_cursor = OpenCursor();
    // Fields that cannot be bound leave the dataset closed, as it was.
    ScopeExit undo([this] {
        for (TField* f : m_defaultFields) f->m_dataSet = nullptr;
        for (TField* f : m_defaultFields) TComponent::Free(f);
        m_fields.erase(std::remove_if(m_fields.begin(), m_fields.end(),
                                      [&](TField* f) {
                                          return std::find(m_defaultFields.begin(), m_defaultFields.end(), f) !=
                                                 m_defaultFields.end();
                                      }),
                       m_fields.end());
        m_defaultFields.clear();
        m_cursor.reset();
        CloseCursor();
    });
    BindFields();
    undo.release();
    m_state = dsBrowse;
    Rebuild(1, 0);
    m_bof = true;
    m_eof = m_window.rows() == 0;
    DataEvent(deUpdateState);
}

void TDataSet::CloseInternal() {
    m_state = dsInactive;
    m_window.clear();
    m_lookups.clear();
    DataEvent(deUpdateState);
    const std::vector<TField*> defaults = std::move(m_defaultFields);
    m_defaultFields.clear();
    for (TField* f : defaults) {
        m_fields.erase(std::remove(m_fields.begin(), m_fields.end(), f), m_fields.end());
        f->m_dataSet = nullptr;
        TComponent::Free(f);
    }
    for (TField* f : m_fields) f->m_source = -1;
    m_cursor.reset();
    CloseCursor();
    m_bof = m_eof = true;
}

void TDataSet::BindFields() {
    const auto& defs = m_cursor->field_defs();
    if (m_fields.empty()) {
        for (const db::FieldDef& def : defs) {
            TField* f = make_default_field(this, def);
            f->SetFieldName(def.name);
            f->m_dataSet = this;
            m_fields.push_back(f);
            m_defaultFields.push_back(f);
        }
    }
    for (std::size_t i = 0; i < m_fields.size(); ++i) {
        TField* f = m_fields[i];
        f->m_slot = static_cast<int>(i);
        f->m_source = -1;
        if (f->FieldKind() == fkData) {
            const int def = FieldDefIndex(f->FieldName());
            if (def < 0) db::database_error(db::format_message("Field '%s' not found", f->FieldName()), this);
            if (!compatible(f->DataType(), defs[static_cast<std::size_t>(def)].type))
                db::database_error(db::format_message("Type mismatch for field '%s'", f->FieldName()), this);
            f->m_source = def;
        } else if (f->FieldKind() == fkLookup) {
            // The key must be read from the table: a lookup keyed by a lookup would never end.
            const TField* key = FindField(f->KeyFields());
            if (!key || key->FieldKind() != fkData)
                db::database_error(db::format_message("Field '%s' not found", f->KeyFields()), this);
        }
    }
    m_window.attach(m_cursor.get(), FieldCount());
}

int TDataSet::FieldDefIndex(std::string_view name) const {
    const auto& defs = m_cursor->field_defs();
    for (std::size_t i = 0; i < defs.size(); ++i)
        if (text::ansi_compare_text(defs[i].name, name) == 0) return static_cast<int>(i);
    return -1;
}

TField* TDataSet::FindField(std::string_view name) const {
    for (TField* f : m_fields)
        if (text::ansi_compare_text(f->FieldName(), name) == 0) return f;
    return nullptr;
}

TField* TDataSet::FieldByName(std::string_view name) const {
    TField* f = FindField(name);
    if (!f) db::database_error(db::format_message("Field '%s' not found", name), this);
    return f;
}

void TDataSet::AddField(TField* field) { m_fields.push_back(field); }

void TDataSet::RemoveField(TField* field) {
    // The window's value slots follow the field list, so it cannot change under an open dataset.
    if (Active()) CloseInternal();
    m_fields.erase(std::remove(m_fields.begin(), m_fields.end(), field), m_fields.end());
}

void TDataSet::AddDataSource(TDataSource* source) { m_dataSources.push_back(source); }

void TDataSet::RemoveDataSource(TDataSource* source) {
    m_dataSources.erase(std::remove(m_dataSources.begin(), m_dataSources.end(), source), m_dataSources.end());
}

void TDataSet::ClosedError() const { db::database_error(db::kClosedDataset, this); }

void TDataSet::SendDataEvent(TDataEvent event, std::intptr_t info) {
    for (TDataSource* source : std::vector<TDataSource*>(m_dataSources)) source->data_event(event, info);
}

void TDataSet::DisableControls() { ++m_disableCount; }

void TDataSet::EnableControls() {
    if (m_disableCount == 0 || --m_disableCount > 0) return;
    const bool state = m_pendingState, layout = m_pendingLayout, data = m_pendingData;
    m_pendingState = m_pendingLayout = m_pendingData = false;
    if (state) DataEvent(deUpdateState);
    if (!Active()) return;
    if (layout)
        DataEvent(deLayoutChange);
    else if (data || state)
        DataEvent(deDataSetChange);
}

int TDataSet::BufferCount() const {
    int count = 1;
    for (TDataSource* source : m_dataSources)
        for (TDataLink* link : source->m_links) count = std::max(count, link->BufferCount());
    return count;
}

void TDataSet::UpdateBufferCount() {
    if (Active()) m_window.resize(BufferCount(), m_cursor->record_count());
}

int TDataSet::RecordCount() const {
    CheckActive();
    return static_cast<int>(m_cursor->record_count());
}

bool TDataSet::IsEmpty() const { return !Active() || m_window.rows() == 0; }

void TDataSet::Rebuild(std::int64_t current, int row) {
    m_window.fill(db::place_window(m_cursor->record_count(), BufferCount(), current, row));
}

void TDataSet::First() {
    CheckActive();
    DataEvent(deCheckBrowseMode);
    Rebuild(1, 0);
    m_bof = true;
    m_eof = m_window.rows() == 0;
    DataEvent(deDataSetChange);
    CHECK_INVARIANTS(*this);
}

void TDataSet::Last() {
    CheckActive();
    DataEvent(deCheckBrowseMode);
    Rebuild(m_cursor->record_count(), BufferCount() - 1);
    m_eof = true;
    m_bof = m_window.rows() == 0;
    DataEvent(deDataSetChange);
    CHECK_INVARIANTS(*this);
}

int TDataSet::MoveBy(int distance) {
    CheckActive();
    DataEvent(deCheckBrowseMode);
    if (distance == 0) return 0;
    const std::int64_t count = m_cursor->record_count();
    if (count == 0) {
        (distance > 0 ? m_eof : m_bof) = true;
        return 0;
    }
    const std::int64_t current = m_window.current_seq();
    const std::int64_t target = std::clamp<std::int64_t>(current + distance, 1, count);
    const int moved = static_cast<int>(target - current);
    if (distance > 0) {
        m_bof = false;
        m_eof = moved < distance;
    } else {
        m_eof = false;
        m_bof = moved > distance;
    }
    if (moved == 0) return 0;
    std::int64_t row = m_window.active() + static_cast<std::int64_t>(moved);
    std::int64_t shift = 0;
    if (row < 0) {
        shift = row;
        row = 0;
    } else if (row >= m_window.rows()) {
        shift = row - (m_window.rows() - 1);
        row = m_window.rows() - 1;
    }
    m_window.scroll(shift);
    m_window.set_active(static_cast<int>(row));
    DataEvent(deDataSetScroll, static_cast<std::intptr_t>(shift));
    CHECK_INVARIANTS(*this);
    return moved;
}

int TDataSet::RecNo() const {
    CheckActive();
    return m_window.rows() == 0 ? -1 : static_cast<int>(m_window.current_seq());
}

void TDataSet::SetRecNo(int value) {
    CheckActive();
    DataEvent(deCheckBrowseMode);
    PositionCentred(std::max(value, 1));
}

void TDataSet::PositionCentred(std::int64_t seq) {
    const std::int64_t count = m_cursor->record_count();
    const int rows = static_cast<int>(std::min<std::int64_t>(BufferCount(), count));
    Rebuild(std::min(seq, count), (rows - 1) / 2);
    m_bof = m_eof = m_window.rows() == 0;
    DataEvent(deDataSetChange);
    CHECK_INVARIANTS(*this);
}

void TDataSet::ChangeOrder(int index) {
    DataEvent(deCheckBrowseMode);
    const int row = m_window.active();
    ShowFrom(m_cursor->set_order(index, m_window.rows() > 0 ? m_window.current_seq() : 0), row);
}

void TDataSet::ShowFrom(std::int64_t seq, int row) {
    if (seq > 0)
        Rebuild(seq, row);
    else
        Rebuild(1, 0);
    m_bof = m_eof = m_window.rows() == 0;
    DataEvent(deDataSetChange);
    CHECK_INVARIANTS(*this);
}

void TDataSet::ReplaceCursor(std::unique_ptr<db::TableCursor> fresh, const AnsiString& key_field,
                             const AnsiString& nearest_field) {
    CheckActive();
    DataEvent(deCheckBrowseMode);
    const bool had_current = m_window.rows() > 0;
    const std::int64_t old_seq = had_current ? m_window.current_seq() : 0;
    const int row = had_current ? m_window.active() : 0;
    // What the current record holds, while the old cursor can still tell.
    auto current_value = [&](const AnsiString& name) -> db::Value {
        TField* f = name.empty() ? nullptr : FindField(name);
        if (!had_current || !f || f->FieldKind() != fkData) return {};
        try {
            return FieldValue(*f);
        } catch (const Exception&) {
            return {};
        }
    };
    const db::Value key = current_value(key_field), nearest = current_value(nearest_field);
    std::int64_t seq = 0;
    const auto def_of = [&](const AnsiString& name) {
        const auto& defs = fresh->field_defs();
        for (std::size_t i = 0; i < defs.size(); ++i)
            if (text::ansi_compare_text(defs[i].name, name) == 0) return static_cast<int>(i);
        return -1;
    };
    if (!db::is_null(key) && def_of(key_field) >= 0) {
        auto by_key = fresh->clone();
        const int index = db::select_index(by_key->index_defs(), key_field);
        if (index >= 0) {
            by_key->set_order(index, 0);
            const std::int64_t at = by_key->seek_key(KeyFor(def_of(key_field), key));
            if (at > 0) seq = fresh->seq_of(by_key->record_at(at));
        }
    }
    const std::int64_t count = fresh->record_count();
    if (seq == 0 && !db::is_null(nearest) && def_of(nearest_field) >= 0 && count > 0)
        seq = std::min(fresh->seek_nearest(KeyFor(def_of(nearest_field), nearest)), count);
    if (seq == 0) seq = std::min(std::max<std::int64_t>(old_seq, 1), count);
    m_lookups.clear();
    m_cursor = std::move(fresh);
    ShowFrom(seq, row);
}

void TDataSet::Refresh() {
    CheckActive();
    DataEvent(deCheckBrowseMode);
    const bool had_current = m_window.rows() > 0;
    const std::int64_t seq = had_current ? m_window.current_seq() : 0;
    const int row = m_window.active();
    if (seq > 0)
        Rebuild(seq, row);
    else
        Rebuild(1, 0);
    DataEvent(deDataSetChange);
}

void TDataSet::CheckBrowseMode() {
    CheckActive();
    DataEvent(deCheckBrowseMode);
}

void TDataSet::UpdateRecord() {
    CheckActive();
    DataEvent(deUpdateRecord);
}

AnsiString TDataSet::Bookmark() const {
    CheckActive();
    if (m_window.rows() == 0) return {};
    return std::to_string(m_cursor->record_at(m_window.current_seq()));
}

bool TDataSet::BookmarkValid(const AnsiString& bookmark) const {
    std::int64_t id = 0;
    return Active() && parse_int(bookmark, id) && m_cursor->seq_of(id) > 0;
}

int TDataSet::CompareBookmarks(const AnsiString& a, const AnsiString& b) const {
    std::int64_t x = -1, y = -1;
    if (!a.empty() && !parse_int(a, x)) x = std::numeric_limits<std::int64_t>::max();
    if (!b.empty() && !parse_int(b, y)) y = std::numeric_limits<std::int64_t>::max();
    return x < y ? -1 : x > y ? 1 : 0;
}

void TDataSet::GotoBookmark(const AnsiString& bookmark) {
    CheckActive();
    DataEvent(deCheckBrowseMode);
    std::int64_t id = 0;
    const std::int64_t seq = parse_int(bookmark, id) ? m_cursor->seq_of(id) : 0;
    if (seq == 0) db::database_error("Record not found", this);
    PositionCentred(seq);
}

const db::Value& TDataSet::FieldValue(const TField& field) {
    if (!Active() || m_window.rows() == 0 || field.m_slot < 0) return kNull;
    const int active = m_window.active();
    db::RecordWindow::Row& row = m_window.row(active);
    db::RecordWindow::Slot& slot = row.values[static_cast<std::size_t>(field.m_slot)];
    if (row.has(slot)) return slot.value;
    if (field.FieldKind() == fkData && field.m_source >= 0) {
        // The slot's text buffer is reused; it counts as filled only once the read succeeded.
        if (m_cursor->read(m_window.top() + active, field.m_source, slot.value)) m_window.note_record_read();
        if (auto* s = std::get_if<AnsiString>(&slot.value); s && field.Size() > 0 && static_cast<int>(s->size()) > field.Size())
            s->resize(static_cast<std::size_t>(field.Size()));
    } else {
        // A lookup reads the key field of this row first, into another slot of it.
        slot.value = field.FieldKind() == fkLookup ? ComputeLookup(field) : db::Value{};
    }
    slot.fetch = row.fetch;
    return slot.value;
}

db::Value TDataSet::ComputeLookup(const TField& field) {
    TDataSet* lookup = field.LookupDataSet();
    if (!lookup || !lookup->Active()) return {};
    const TField* key_field = FindField(field.KeyFields());
    if (!key_field) return {};
    const db::Value key = FieldValue(*key_field);
    if (db::is_null(key)) return {};
    db::Value result = lookup->LookupValue(field.LookupKeyFields(), key, field.LookupResultField());
    if (auto* s = std::get_if<AnsiString>(&result); s && field.Size() > 0 && static_cast<int>(s->size()) > field.Size())
        s->resize(static_cast<std::size_t>(field.Size()));
    return result;
}

db::Value TDataSet::LookupValue(const AnsiString& key_field, const db::Value& key, const AnsiString& result_field) {
    if (!Active()) return {};
    auto it = std::find_if(m_lookups.begin(), m_lookups.end(),
                           [&](const LookupCursor& l) { return text::ansi_compare_text(l.key_field, key_field) == 0; });
    if (it == m_lookups.end()) {
        LookupCursor made{key_field, m_cursor->clone(), false};
        const int index = db::select_index(made.cursor->index_defs(), key_field);
        made.cursor->set_order(index, 0);
        made.indexed = index >= 0;
        m_lookups.push_back(std::move(made));
        it = std::prev(m_lookups.end());
    }
    const int key_def = FieldDefIndex(key_field);
    if (key_def < 0) db::database_error(db::format_message("Field '%s' not found", key_field), this);
    const int result_def = FieldDefIndex(result_field);
    if (result_def < 0) db::database_error(db::format_message("Field '%s' not found", result_field), this);
    const db::Value wanted = KeyFor(key_def, key);
    const db::TableCursor& c = *it->cursor;
    if (it->indexed) {
        const std::int64_t seq = c.seek_key(wanted);
        db::Value result;
        if (seq > 0) c.read(seq, result_def, result);
        return result;
    }
    const std::int64_t count = c.record_count();
    db::Value key_value, result;
    for (std::int64_t seq = 1; seq <= count; ++seq) {
        c.read(seq, key_def, key_value);
        if (key_value == wanted) {
            c.read(seq, result_def, result);
            return result;
        }
    }
    return {};
}

db::Value TDataSet::KeyFor(int field_def, const db::Value& key) const {
    const db::FieldDef& def = m_cursor->field_defs()[static_cast<std::size_t>(field_def)];
    switch (def.type) {
    case db::FieldType::String: {
        AnsiString text;
        if (auto* s = std::get_if<AnsiString>(&key))
            text = *s;
        else if (auto* i = std::get_if<std::int32_t>(&key))
            text = std::to_string(*i);
        const TField* field = FindField(def.name);
        const int size = field && field->Size() > 0 ? field->Size() : def.size;
        if (size > 0 && static_cast<int>(text.size()) > size) text.resize(static_cast<std::size_t>(size));
        return text;
    }
    case db::FieldType::SmallInt:
    case db::FieldType::Integer:
    case db::FieldType::AutoInc: {
        if (std::holds_alternative<std::int32_t>(key)) return key;
        std::int64_t v = 0;
        if (auto* s = std::get_if<AnsiString>(&key);
            s && parse_int(*s, v) && v >= std::numeric_limits<std::int32_t>::min() &&
            v <= std::numeric_limits<std::int32_t>::max())
            return static_cast<std::int32_t>(v);
        if (auto* d = std::get_if<double>(&key); d && *d >= std::numeric_limits<std::int32_t>::min() &&
                                                 *d <= std::numeric_limits<std::int32_t>::max() &&
                                                 *d == static_cast<std::int32_t>(*d))
            return static_cast<std::int32_t>(*d);
        const AnsiString shown = std::holds_alternative<AnsiString>(key) ? std::get<AnsiString>(key) : AnsiString();
        db::database_error(db::format_message("'%s' is not a valid integer value", shown), this);
    }
    case db::FieldType::Float:
        if (auto* i = std::get_if<std::int32_t>(&key)) return static_cast<double>(*i);
        return key;
    case db::FieldType::Other: break;
    }
    return key;
}

bool TDataSet::LocatePrefix(TField* field, const AnsiString& text, int direction) {
    if (!field || text.empty() || !Active() || IsEmpty() || m_state == dsEdit || m_state == dsInsert ||
        m_state == dsSetKey)
        return false;
    if (direction == 0 && text::ansi_starts_with_text(field->AsString(), text)) return true;

    const ControlsLock controls(*this);

    const std::int64_t count = m_cursor->record_count();
    const std::int64_t start = m_window.current_seq();
    const bool backward = direction == 1;
    // The part before the wrap: the start itself for direction 0, else the records after
    // (before) it up to the end (beginning); then from the other end up to the start.
    const std::int64_t first_from = direction == 0 ? start : backward ? start - 1 : start + 1;
    const std::int64_t first_to = backward ? 1 : count;
    const std::int64_t wrap_from = backward ? count : 1;
    const std::int64_t wrap_to = backward ? start + 1 : start - 1;
    const bool first_part = backward ? first_from >= first_to : first_from <= first_to;
    const bool wrap_part = backward ? wrap_from >= wrap_to : wrap_from <= wrap_to;

    std::int64_t found = first_part ? ScanPrefix(*field, text, first_from, first_to) : 0;
    if (found < 0) return WalkPrefix(*field, text, direction);
    if (found > 0) {
        MoveBy(static_cast<int>(found - start));
        return true;
    }
    found = wrap_part ? ScanPrefix(*field, text, wrap_from, wrap_to) : 0;
    if (found < 0) return WalkPrefix(*field, text, direction);
    if (found > 0) {
        // A walk past the end goes on from the first record (past the beginning, the last).
        if (backward) {
            Last();
            MoveBy(static_cast<int>(found - count));
        } else {
            First();
            MoveBy(static_cast<int>(found - 1));
        }
        return true;
    }
    DataEvent(deCheckBrowseMode);
    PositionCentred(start);
    return false;
}

std::int64_t TDataSet::ScanPrefix(TField& field, const AnsiString& text, std::int64_t from, std::int64_t to) {
    // A value cut to the field's size is shorter than a longer text.
    if (field.Size() > 0 && static_cast<int>(text.size()) > field.Size() && field.DataType() == ftString) return 0;
    if (field.FieldKind() == fkData) return field.m_source < 0 ? -1 : m_cursor->find_prefix(field.m_source, text, from, to);
    if (field.FieldKind() != fkLookup) return -1;

    // A lookup shows the result of the first lookup record with the row's key: find the keys
    // whose result begins with the text, then the first row holding one of them.
    const TField* key = FindField(field.KeyFields());
    TDataSet* lookup = field.LookupDataSet();
    if (!key || key->m_source < 0 || !lookup || !lookup->Active()) return -1;
    const auto is_integer = [](db::FieldType t) {
        return t == db::FieldType::SmallInt || t == db::FieldType::Integer || t == db::FieldType::AutoInc;
    };
    const int lookup_key = lookup->FieldDefIndex(field.LookupKeyFields());
    const int lookup_result = lookup->FieldDefIndex(field.LookupResultField());
    if (lookup_key < 0 || lookup_result < 0 ||
        !is_integer(m_cursor->field_defs()[static_cast<std::size_t>(key->m_source)].type) ||
        !is_integer(lookup->m_cursor->field_defs()[static_cast<std::size_t>(lookup_key)].type))
        return -1;
    const auto shows = [&](db::Value value) {
        AnsiString* s = std::get_if<AnsiString>(&value);
        if (!s) return false;
        if (field.Size() > 0 && static_cast<int>(s->size()) > field.Size()) s->resize(static_cast<std::size_t>(field.Size()));
        return text::ansi_starts_with_text(*s, text);
    };
    std::vector<std::int64_t> keys;
    const db::TableCursor& lc = *lookup->m_cursor;
    db::Value result, key_value;
    for (std::int64_t seq = 1; seq <= lc.record_count(); ++seq) {
        lc.read(seq, lookup_result, result);
        if (!shows(result)) continue;
        lc.read(seq, lookup_key, key_value);
        const std::int32_t* k = std::get_if<std::int32_t>(&key_value);
        // Another record with the same key may be the one a lookup finds.
        if (k && shows(lookup->LookupValue(field.LookupKeyFields(), *k, field.LookupResultField()))) keys.push_back(*k);
    }
    if (keys.empty()) return 0;
    std::sort(keys.begin(), keys.end());
    return m_cursor->find_integer(key->m_source, keys, from, to);
}

bool TDataSet::WalkPrefix(TField& field, const AnsiString& text, int direction) {
    // Controls are disabled by the caller: each step only marks the window changed.
    const std::int64_t start = m_window.current_seq();
    const int step = direction == 1 ? -1 : 1;
    bool wrapped = false;
    const auto advance = [&] {
        if (MoveBy(step) != 0) return;
        if (step > 0)
            First();
        else
            Last();
        wrapped = true;
    };
    if (direction != 0) advance();
    for (;;) {
        if (wrapped && m_window.current_seq() == start) break;
        if (text::ansi_starts_with_text(field.AsString(), text)) return true;
        advance();
    }
    DataEvent(deCheckBrowseMode);
    PositionCentred(start);
    return false;
}

void TDataSet::check_invariants() const {
#ifndef NDEBUG
    if (!Active()) return;
    const int rows = m_window.rows();
    INVARIANT(rows <= BufferCount(), "dataset: the window holds more rows than the largest link buffer");
    INVARIANT(rows == 0 || (m_window.active() >= 0 && m_window.active() < rows),
              "dataset: the current record is outside the window");
    INVARIANT(rows == 0 || m_window.top() >= 1, "dataset: the window starts before the first record");
    INVARIANT(rows > 0 || m_cursor->record_count() == 0, "dataset: no current record in a table that has records");
#endif
}
