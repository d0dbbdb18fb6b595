#include "platform/db/TTable.h"

#include "platform/classes/ScopeExit.h"
#include "platform/db/EDatabaseError.h"
#include "platform/db/IndexSelection.h"
#include "platform/db/Session.h"
#include "platform/db/TDatabase.h"
#include "platform/classes/ScopeExit.h"

#include <algorithm>

TTable::TTable(TComponent* AOwner) : TDataSet(AOwner) {}

TTable::~TTable() {
    // The base class can no longer reach CloseCursor once this part is gone.
    try {
        Close();
    } catch (...) {
        // A destructor: a close handler's failure cannot go anywhere from here.
    }
}

void TTable::CheckInactive() const {
    if (Active()) db::database_error("Cannot perform this operation on an open dataset", this);
}

void TTable::SetDatabaseName(const AnsiString& value) {
    if (value == m_databaseName) return;
    CheckInactive();
    m_databaseName = value;
}

void TTable::SetTableName(const AnsiString& value) {
    if (value == m_tableName) return;
    CheckInactive();
    m_tableName = value;
}

void TTable::SetReadOnly(bool value) {
    if (value == m_readOnly) return;
    CheckInactive();
    m_readOnly = value;
}

const std::vector<db::IndexDef>& TTable::IndexDefs() {
    if (!m_indexDefs) {
        const db::TableCursor* cursor = m_opening ? m_opening : Active() ? &Cursor() : nullptr;
        if (!cursor) CheckActive();
        m_indexDefs = cursor->index_defs();
    }
    return *m_indexDefs;
}

int TTable::DefaultOrder() const {
    // Without a chosen index a table is in the order of its primary key, if it has one.
    for (std::size_t i = 0; i < m_indexDefs->size(); ++i)
        if ((*m_indexDefs)[i].primary) return static_cast<int>(i);
    return -1;
}

int TTable::ResolveFieldNames(const AnsiString& names) {
    const auto& defs = IndexDefs();
    if (names.empty()) return DefaultOrder();
    const int index = db::select_index(defs, names);
    if (index < 0) db::database_error(db::format_message(db::kNoIndexForFields, names), this);
    return index;
}

int TTable::ResolveIndexName(const AnsiString& name) {
    const auto& defs = IndexDefs();
    if (name.empty()) return DefaultOrder();
    const int index = db::find_index_by_name(defs, name);
    if (index < 0) db::database_error(db::format_message("Index '%s' not found", name), this);
    return index;
}

void TTable::SetIndexFieldNames(const AnsiString& value) {
    if (value == m_indexFieldNames) return;
    if (Loading() || !Active()) {
        m_indexFieldNames = value;
        if (!value.empty()) m_indexName.clear();
        return;
    }
    const int index = ResolveFieldNames(value);
    ChangeOrder(index);
    m_order = index;
    m_indexFieldNames = value;
    m_indexName.clear();
}

void TTable::SetIndexName(const AnsiString& value) {
    if (value == m_indexName && m_indexFieldNames.empty()) return;
    if (Loading() || !Active()) {
        m_indexName = value;
        m_indexFieldNames.clear();
        return;
    }
    const int index = ResolveIndexName(value);
    ChangeOrder(index);
    m_order = index;
    m_indexName = value;
    m_indexFieldNames.clear();
}

std::unique_ptr<db::TableCursor> TTable::OpenWithPasswords(db::Connection& connection, bool read_only) {
    db::Session& session = db::Session::Default();
    for (;;) {
        try {
            return connection.open_table(m_tableName, read_only, session.Passwords());
        } catch (const EDBEngineError& e) {
            AnsiString password;
            if (e.ErrorCode() != db::kErrPasswordNeeded || !session.OnPassword ||
                !session.OnPassword(m_tableName, password))
                throw;
            session.AddPassword(password);
        }
    }
}

std::unique_ptr<db::TableCursor> TTable::OpenCursor() {
    if (m_tableName.empty()) db::database_error("Missing TableName property", this);
    // What fails on the way leaves the table attached to nothing.
    ScopeExit undo([this] {
        m_opening = nullptr;
        CloseCursor();
    });
    {
        db::Connection* connection = nullptr;
        if (TDatabase* database = db::Session::Default().FindDatabase(m_databaseName)) {
            connection = &database->Connection();
            m_database = database;
            database->AttachDataSet(this);
        } else {
            m_ownConnection = db::Session::Default().Connect({m_databaseName, {}, {}});
            connection = m_ownConnection.get();
        }
        std::unique_ptr<db::TableCursor> cursor;
        m_openedReadOnly = m_readOnly;
        try {
            cursor = OpenWithPasswords(*connection, m_readOnly);
        } catch (const EDBEngineError& e) {
            if (e.ErrorCode() != db::kErrNoWriteAccess || m_readOnly) throw;
            m_openedReadOnly = true;
            cursor = OpenWithPasswords(*connection, true);
        }
        m_indexDefs.reset();
        m_opening = cursor.get();
        const int order = m_indexFieldNames.empty() ? ResolveIndexName(m_indexName) : ResolveFieldNames(m_indexFieldNames);
        m_opening = nullptr;
        cursor->set_order(order, 0);
        m_order = order;
        undo.release();
        return cursor;
    }
}

void TTable::CloseCursor() {
    if (m_database) m_database->DetachDataSet(this);
    m_database = nullptr;
    m_ownConnection.reset();
    m_indexDefs.reset();
    m_order = -1;
}

namespace {

// A table that shows no records, with the fields and indexes it had.
class NoRecords final : public db::TableCursor {
public:
    NoRecords(std::vector<db::FieldDef> fields, std::vector<db::IndexDef> indexes)
        : m_fields(std::move(fields)), m_indexes(std::move(indexes)) {}
    const std::vector<db::FieldDef>& field_defs() const override { return m_fields; }
    std::vector<db::IndexDef> index_defs() const override { return m_indexes; }
    std::int64_t set_order(int, std::int64_t) override { return 0; }
    std::int64_t record_count() const override { return 0; }
    db::RecordId record_at(std::int64_t) const override { db::database_error("Record not found", nullptr); }
    std::int64_t seq_of(db::RecordId) const override { return 0; }
    bool read(std::int64_t, int, db::Value&) const override { db::database_error("Record not found", nullptr); }
    void prefetch(std::int64_t) const override {}
    std::int64_t seek_nearest(const db::Value&) const override { return 1; }
    std::int64_t seek_key(const db::Value&) const override { return 0; }
    std::unique_ptr<db::TableCursor> clone() const override { return std::make_unique<NoRecords>(m_fields, m_indexes); }

private:
    std::vector<db::FieldDef> m_fields;
    std::vector<db::IndexDef> m_indexes;
};

bool same_fields(const std::vector<db::FieldDef>& a, const std::vector<db::FieldDef>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const db::FieldDef& x, const db::FieldDef& y) {
        return x.name == y.name && x.type == y.type && x.size == y.size;
    });
}

}  // namespace

void TTable::Reopen(const AnsiString& key_field) {
    CheckActive();
    db::Connection* connection = m_database ? &m_database->Connection() : m_ownConnection.get();
    if (!connection) db::database_error("Cannot perform this operation on a closed dataset", this);
    std::unique_ptr<db::TableCursor> cursor = OpenWithPasswords(*connection, m_openedReadOnly);
    if (!same_fields(cursor->field_defs(), Cursor().field_defs()))
        db::database_error(db::format_message("Table %s: its fields changed", m_tableName), this);
    // The index list is the new table's from now on; a failure leaves the old one.
    std::optional<std::vector<db::IndexDef>> old_defs = std::move(m_indexDefs);
    ScopeExit restore([&] {
        m_opening = nullptr;
        m_indexDefs = std::move(old_defs);
    });
    m_indexDefs.reset();
    m_opening = cursor.get();
    const int order = m_indexFieldNames.empty() ? ResolveIndexName(m_indexName) : ResolveFieldNames(m_indexFieldNames);
    cursor->set_order(order, 0);
    m_opening = nullptr;
    restore.release();
    const db::IndexDef* index = order >= 0 ? &IndexDefs()[static_cast<std::size_t>(order)] : nullptr;
    m_order = order;
    ReplaceCursor(std::move(cursor), key_field, index && !index->fields.empty() ? index->fields.front() : AnsiString());
}

void TTable::ShowNoRecords() {
    CheckActive();
    ReplaceCursor(std::make_unique<NoRecords>(Cursor().field_defs(), IndexDefs()), {}, {});
}

db::Value TTable::SearchKey(const std::vector<db::Value>& KeyValues) {
    CheckActive();
    if (m_order < 0) db::database_error("Table has no active index", this);
    if (KeyValues.size() > 1) db::database_error("Only one key value is supported", this);
    const db::IndexDef& index = IndexDefs()[static_cast<std::size_t>(m_order)];
    const int field = index.fields.empty() ? -1 : FieldDefIndex(index.fields.front());
    if (field < 0) db::database_error("Table has no active index", this);
    return KeyFor(field, KeyValues.empty() ? db::Value{} : KeyValues.front());
}

void TTable::FindNearest(const std::vector<db::Value>& KeyValues) {
    const db::Value key = SearchKey(KeyValues);
    CheckBrowseMode();
    PositionCentred(Cursor().seek_nearest(key));
}

bool TTable::FindKey(const std::vector<db::Value>& KeyValues) {
    const db::Value key = SearchKey(KeyValues);
    CheckBrowseMode();
    const std::int64_t seq = Cursor().seek_key(key);
    if (seq == 0) return false;
    PositionCentred(seq);
    return true;
}
