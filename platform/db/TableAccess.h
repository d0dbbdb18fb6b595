// What the dataset layer needs of a table store: open tables by name, list
// their fields and indexes, and read records by their place in an order.
//
// A cursor works on record numbers: a record is named by a stable id
// (its physical place in the table) and by its 1-based sequence number in
// the cursor's active order. Record numbers, positioning and stepping are
// therefore all the same operation, record_at(seq), which the engine answers
// in constant time; the dataset keeps the current record itself.
#pragma once

#include "text/AnsiString.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <variant>
#include <vector>

namespace db {

using RecordId = std::int64_t;

// A field value or key value: null, integer, floating point or CP1251 text.
using Value = std::variant<std::monostate, std::int32_t, double, AnsiString>;

inline bool is_null(const Value& v) { return std::holds_alternative<std::monostate>(v); }

enum class FieldType { String, SmallInt, Integer, AutoInc, Float, Other };

struct FieldDef {
    AnsiString name;
    FieldType type = FieldType::Other;
    int size = 0;  // characters for String, 0 otherwise
};

struct IndexDef {
    AnsiString name;
    std::vector<AnsiString> fields;
    bool primary = false;
    bool unique = false;
    bool descending = false;
    bool case_insensitive = false;
    bool expression = false;
    bool maintained = true;
};

class TableCursor {
public:
    virtual ~TableCursor() = default;

    virtual const std::vector<FieldDef>& field_defs() const = 0;
    // In the engine's list order.
    virtual std::vector<IndexDef> index_defs() const = 0;
    // Makes index_defs()[index] the active order; -1 is the physical order.
    // Returns the new sequence number of the record that had sequence number
    // `current` in the old order, or 0 when `current` is 0 (no current record).
    virtual std::int64_t set_order(int index, std::int64_t current) = 0;

    virtual std::int64_t record_count() const = 0;
    // The record with sequence number seq (1 ≤ seq ≤ record_count()) in the active order.
    virtual RecordId record_at(std::int64_t seq) const = 0;
    // Sequence number of a record in the active order, 0 when there is no such record.
    virtual std::int64_t seq_of(RecordId id) const = 0;
    // A field of the record with sequence number seq in the active order,
    // into `out` (whose text buffer is reused). False when the read did not
    // touch the table's records (the order's index holds the field's value).
    virtual bool read(std::int64_t seq, int field, Value& out) const = 0;
    // A hint that record `seq` will be read soon; stepping through an order
    // touches records all over the table, and asking early hides the wait.
    virtual void prefetch(std::int64_t seq) const = 0;

    // Greater-or-equal search on the first field of the active index: the
    // sequence number of the first record whose key is at or after `key`
    // (text keys compare as prefixes), record_count() + 1 when there is none.
    virtual std::int64_t seek_nearest(const Value& key) const = 0;
    // Exact search on the first field of the active index: the sequence
    // number of the first record with that key, or 0.
    virtual std::int64_t seek_key(const Value& key) const = 0;

    // An independent cursor on the same table, in physical order.
    virtual std::unique_ptr<TableCursor> clone() const = 0;

    // Scans for a type-ahead search, run over the records with sequence
    // numbers from `from` to `to`, both included (backwards when to < from),
    // without moving anything. The sequence number of the first record whose
    // field shows text beginning with `prefix` (CP1251, letter case ignored;
    // integers show their digits, a null field nothing), 0 when none does,
    // -1 when the store cannot scan this field (the caller then walks).
    virtual std::int64_t find_prefix(int /*field*/, std::string_view /*prefix*/, std::int64_t /*from*/,
                                     std::int64_t /*to*/) const {
        return -1;
    }
    // Likewise the first record whose integer field holds one of `sorted_values` (ascending).
    virtual std::int64_t find_integer(int /*field*/, const std::vector<std::int64_t>& /*sorted_values*/,
                                      std::int64_t /*from*/, std::int64_t /*to*/) const {
        return -1;
    }
};

// A connected database: a place where table names resolve to tables.
class Connection {
public:
    virtual ~Connection() = default;
    // Throws EDBEngineError with the engine's code (kErrNoWriteAccess when
    // write access is refused, kErrPasswordNeeded for a protected table).
    virtual std::unique_ptr<TableCursor> open_table(const AnsiString& table_name, bool read_only,
                                                    const std::vector<AnsiString>& passwords) = 0;
};

struct ConnectParams {
    AnsiString database_name;
    AnsiString driver_name;
    std::vector<AnsiString> params;  // "NAME=VALUE" lines
};

using Connector = std::function<std::unique_ptr<Connection>(const ConnectParams&)>;

}  // namespace db
