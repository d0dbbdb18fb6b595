// An ordered set of records with a current record, fields looked up by name,
// and the record window its data links see.
//
// Invariants while open: the window holds min(largest link buffer count,
// record count) consecutive records of the active order and the current
// record is one of them (none only when the table is empty). Every move
// first tells the links to check browse mode; then each change of the window
// reaches them as exactly one notification: "scrolled by D" when rows were
// kept and D new ones fetched (0: only the current row changed), "data set
// changed" when the window was rebuilt. While controls are disabled
// notifications are held back, and one "data set changed" (or the state
// change) goes out when they are enabled again.
#pragma once

#include "platform/classes/ScopeExit.h"
#include "platform/classes/TComponent.h"
#include "platform/db/DBTypes.h"
#include "platform/db/RecordWindow.h"
#include "platform/db/TableAccess.h"

#include <cstdint>
#include <memory>
#include <vector>

class TDataSource;
class TField;

class TDataSet : public TComponent {
public:
    explicit TDataSet(TComponent* AOwner = nullptr);
    ~TDataSet() override;

    bool Active() const { return m_state != dsInactive; }
    void SetActive(bool value);
    void Open() { SetActive(true); }
    void Close() { SetActive(false); }
    TDataSetState State() const { return m_state; }

    int FieldCount() const { return static_cast<int>(m_fields.size()); }
    TField* Fields(int index) const { return m_fields.at(static_cast<std::size_t>(index)); }
    TField* FindField(std::string_view name) const;
    // Raises "Field '<name>' not found" when there is none.
    TField* FieldByName(std::string_view name) const;

    void First();
    void Last();
    void Next() { MoveBy(1); }
    void Prior() { MoveBy(-1); }
    // Moves the current record, stopping at either end; returns how far it moved.
    int MoveBy(int distance);
    bool Bof() const { return m_bof; }
    bool Eof() const { return m_eof; }
    bool IsEmpty() const;

    bool IsSequenced() const { return true; }
    // The current record's number in the active order, -1 without one.
    int RecNo() const;
    // Positions on record `value` (clamped to the table), centred in the window.
    void SetRecNo(int value);
    int RecordCount() const;

    // The current record's bookmark, empty without one.
    AnsiString Bookmark() const;
    void SetBookmark(const AnsiString& value) { GotoBookmark(value); }
    bool BookmarkValid(const AnsiString& bookmark) const;
    // 0 when both name the same record (or both are empty), else -1 or 1.
    int CompareBookmarks(const AnsiString& a, const AnsiString& b) const;
    // Makes the bookmarked record current, centred in the window.
    void GotoBookmark(const AnsiString& bookmark);

    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const { return m_disableCount > 0; }

    void check_invariants() const;

    // Re-reads the window from the table, the current record on its row.
    void Refresh();
    // Tells the links to finish what they do (they never edit here).
    void CheckBrowseMode();
    // Asks the links to write their controls' data (none do here).
    void UpdateRecord();

    // The value of `result_field` in the record whose `key_field` equals
    // `key`, null when there is none or the dataset is closed. The current
    // record does not move: the search runs on a second cursor, kept for the
    // following lookups, through an index on the key field when there is one.
    db::Value LookupValue(const AnsiString& key_field, const db::Value& key, const AnsiString& result_field);

    // The type-ahead search of a grid. Makes current the first record whose
    // `field` shows text beginning with `text`, letter case ignored, in the
    // active order: direction 0 looks from the current record on, 2 from the
    // record after it, 1 backwards from the record before it; past either
    // end it goes on from the other end and stops at the start. The current
    // record found with direction 0 does not move and nothing is sent;
    // otherwise the controls are disabled during the search and told once
    // that the data set changed: a found record stands where a walk of the
    // records would have left it, and when none is found the current record
    // is centred again in the window. The table store scans the field where
    // it can (text and integer fields, lookups by integer keys) and the
    // records are walked otherwise. False when not found, or when the
    // dataset is closed, empty or editing, or the text is empty.
    bool LocatePrefix(TField* field, const AnsiString& text, int direction);

    // Opens the dataset when it was stored active.
    void Loaded() override;

protected:
    // Opens the table store's cursor with its order set.
    virtual std::unique_ptr<db::TableCursor> OpenCursor() = 0;
    virtual void CloseCursor() {}

    void CheckActive() const {
        if (!Active()) ClosedError();
    }
    db::TableCursor& Cursor() const { return *m_cursor; }
    // Switches the active order keeping the current record current and on
    // its row as far as the records before it allow.
    void ChangeOrder(int index);
    // Reads from another cursor from now on (the table opened again, in the
    // same order, with the same fields), the dataset staying open: the record
    // whose `key_field` holds the current record's value becomes current,
    // else the first at or after its value of `nearest_field` in the active
    // order, on the same row as far as the records allow; the links are told
    // the data set changed. A current record the old cursor can no longer
    // read is looked for by its place.
    void ReplaceCursor(std::unique_ptr<db::TableCursor> fresh, const AnsiString& key_field,
                       const AnsiString& nearest_field);
    // Makes record `seq` of the active order current on the window's middle
    // row; past the end means the last record.
    void PositionCentred(std::int64_t seq);
    // The value a key for `field_def` must have: text cut to the field's size, or an integer.
    db::Value KeyFor(int field_def, const db::Value& key) const;
    // The table field of that name, -1 when there is none.
    int FieldDefIndex(std::string_view name) const;

private:
    friend class TField;
    friend class TDataLink;
    friend class TDataSource;

    struct LookupCursor {
        AnsiString key_field;
        std::unique_ptr<db::TableCursor> cursor;
        bool indexed = false;
    };

    void OpenInternal();
    void CloseInternal();
    void BindFields();
    // Inline: a scan with controls disabled sends two events per record, which only mark what is pending.
    void DataEvent(TDataEvent event, std::intptr_t info = 0) {
        if (m_disableCount == 0) return SendDataEvent(event, info);
        switch (event) {
        case deUpdateState: m_pendingState = true; break;
        case deLayoutChange: m_pendingLayout = true; break;
        case deFieldChange:
        case deRecordChange:
        case deDataSetChange:
        case deDataSetScroll: m_pendingData = true; break;
        default: break;
        }
    }
    void SendDataEvent(TDataEvent event, std::intptr_t info);
    [[noreturn]] void ClosedError() const;
    void Rebuild(std::int64_t current, int row);
    // The window rebuilt on record seq at this row (the first record when seq is 0), and the links told.
    void ShowFrom(std::int64_t seq, int row);
    void UpdateBufferCount();
    int BufferCount() const;
    int WindowRows() const { return m_window.rows(); }
    int WindowActive() const { return m_window.active(); }
    void SetWindowActive(int row) { m_window.set_active(row); }
    const db::Value& FieldValue(const TField& field);
    db::Value ComputeLookup(const TField& field);
    // LocatePrefix's scan of the records from..to: a sequence number, 0 for
    // none, -1 when the table store cannot scan for the field.
    std::int64_t ScanPrefix(TField& field, const AnsiString& text, std::int64_t from, std::int64_t to);
    // LocatePrefix by walking the records through the field, for what the store cannot scan.
    bool WalkPrefix(TField& field, const AnsiString& text, int direction);

    void AddField(TField* field);
    void RemoveField(TField* field);
    void AddDataSource(TDataSource* source);
    void RemoveDataSource(TDataSource* source);

    TDataSetState m_state = dsInactive;
    bool m_streamedActive = false;
    std::unique_ptr<db::TableCursor> m_cursor;
    std::vector<TField*> m_fields;
    std::vector<TField*> m_defaultFields;  // made at open, freed at close
    std::vector<TDataSource*> m_dataSources;
    db::RecordWindow m_window;
    bool m_bof = true;
    bool m_eof = true;
    int m_disableCount = 0;
    bool m_pendingState = false;
    bool m_pendingLayout = false;
    bool m_pendingData = false;
    std::vector<LookupCursor> m_lookups;
};

// Keeps a dataset's controls from hearing of its moves for a scope.
using ControlsLock = UpdateLock<TDataSet, &TDataSet::DisableControls, &TDataSet::EnableControls>;
