// A table of a database, opened shared through the database named by
// DatabaseName, ordered by an index chosen by name (IndexName) or by its
// fields (IndexFieldNames), with the two searches on the active index.
#pragma once

#include "platform/db/TDataSet.h"

#include <optional>
#include <vector>

class TDatabase;

class TTable : public TDataSet {
public:
    explicit TTable(TComponent* AOwner = nullptr);
    ~TTable() override;

    const AnsiString& DatabaseName() const { return m_databaseName; }
    void SetDatabaseName(const AnsiString& value);
    const AnsiString& SessionName() const { return m_sessionName; }
    void SetSessionName(const AnsiString& value) { m_sessionName = value; }
    const AnsiString& TableName() const { return m_tableName; }
    void SetTableName(const AnsiString& value);
    // Opens the table read-only from the start.
    bool ReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool value);
    // True when the table was opened read-only, asked for or because write access was refused.
    bool OpenedReadOnly() const { return m_openedReadOnly; }

    // The name of the active index while the order was set by name, else empty.
    const AnsiString& IndexName() const { return m_indexName; }
    void SetIndexName(const AnsiString& value);
    // Exactly the text last assigned, or empty while the order was set by IndexName.
    const AnsiString& IndexFieldNames() const { return m_indexFieldNames; }
    void SetIndexFieldNames(const AnsiString& value);
    // The table's indexes, read from the engine once per opening.
    const std::vector<db::IndexDef>& IndexDefs();

    // Makes current the first record whose first key field of the active
    // index is at or after KeyValues[0], or the last record when none is.
    void FindNearest(const std::vector<db::Value>& KeyValues);
    // Makes current the first record whose first key field equals
    // KeyValues[0]; false, with nothing moved, when there is none.
    bool FindKey(const std::vector<db::Value>& KeyValues);

    // Opens the table again as it is on disk now, through the same database
    // and passwords, in the order chosen by IndexName or IndexFieldNames, and
    // reads from it while staying open (TDataSet::ReplaceCursor finds the
    // current record again by key_field, else by the active index's first
    // field). Throws like Open, changing nothing, when it cannot be opened or
    // its fields are not the ones the dataset has.
    void Reopen(const AnsiString& key_field);
    // Shows no records while staying open, fields and indexes as they were:
    // for a table whose file can no longer be read, until Reopen.
    void ShowNoRecords();

protected:
    std::unique_ptr<db::TableCursor> OpenCursor() override;
    void CloseCursor() override;

private:
    void CheckInactive() const;
    int DefaultOrder() const;
    int ResolveFieldNames(const AnsiString& names);
    int ResolveIndexName(const AnsiString& name);
    db::Value SearchKey(const std::vector<db::Value>& KeyValues);
    std::unique_ptr<db::TableCursor> OpenWithPasswords(db::Connection& connection, bool read_only);

    AnsiString m_databaseName;
    AnsiString m_sessionName;
    AnsiString m_tableName;
    AnsiString m_indexName;
    AnsiString m_indexFieldNames;
    bool m_readOnly = false;
    bool m_openedReadOnly = false;
    TDatabase* m_database = nullptr;
    std::unique_ptr<db::Connection> m_ownConnection;
    db::TableCursor* m_opening = nullptr;  // the cursor being opened, before the dataset holds it
    std::optional<std::vector<db::IndexDef>> m_indexDefs;
    int m_order = -1;
};
