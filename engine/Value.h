// Field types of Paradox tables and the values the engine hands out.
//
// Text values are CP1251 whatever the table's code page; dates count days
// from 0001-01-01 (which is day 1), times milliseconds since midnight and
// timestamps milliseconds since 0001-01-01 00:00 counted the same way.
#pragma once

#include "text/AnsiString.h"

#include <cstdint>
#include <string_view>

namespace engine {

// The type byte of a field descriptor in a Paradox header.
enum class FieldType : std::uint8_t {
    Alpha = 0x01,
    Date = 0x02,
    Short = 0x03,
    Long = 0x04,
    Currency = 0x05,
    Number = 0x06,
    Logical = 0x09,
    Memo = 0x0C,
    Blob = 0x0D,
    FormattedMemo = 0x0E,
    Ole = 0x0F,
    Graphic = 0x10,
    Time = 0x14,
    Timestamp = 0x15,
    AutoInc = 0x16,
    Bcd = 0x17,
    Bytes = 0x18,
};

// Known type byte? Unknown bytes make a table unreadable.
bool is_known_field_type(std::uint8_t type);
// Memo, blob, formatted memo, OLE, graphic: contents live in the .mb file.
bool is_blob_type(FieldType type);
// One-letter name as Paradox shows it ("A", "N", "+", ...).
std::string_view field_type_name(FieldType type);

struct FieldDesc {
    AnsiString name;       // CP1251
    FieldType type{};
    int size = 0;          // declared size: characters, bytes, BCD decimals
    int offset = 0;        // within the record
    int width = 0;         // bytes in the record
};

enum class ValueKind : std::uint8_t { Null, Integer, Float, Text, Logical, Date, Time, Timestamp, Bytes, Blob };

struct Value {
    ValueKind kind = ValueKind::Null;
    std::int64_t integer = 0;  // Integer, Logical (0/1), Date (days), Time (ms)
    double number = 0;         // Float (number, currency, BCD), Timestamp (ms)
    AnsiString text;           // Text (CP1251), Bytes (raw)

    static Value null() { return {}; }
    static Value of_int(std::int64_t v) { Value r; r.kind = ValueKind::Integer; r.integer = v; return r; }
    static Value of_float(double v) { Value r; r.kind = ValueKind::Float; r.number = v; return r; }
    static Value of_text(std::string_view s) { Value r; r.kind = ValueKind::Text; r.text = AnsiString(s); return r; }
    static Value of_bool(bool v) { Value r; r.kind = ValueKind::Logical; r.integer = v ? 1 : 0; return r; }
    static Value of_date(std::int64_t days) { Value r; r.kind = ValueKind::Date; r.integer = days; return r; }
    static Value of_time(std::int64_t ms) { Value r; r.kind = ValueKind::Time; r.integer = ms; return r; }
    static Value of_timestamp(double ms) { Value r; r.kind = ValueKind::Timestamp; r.number = ms; return r; }
    static Value of_bytes(std::string_view b) { Value r; r.kind = ValueKind::Bytes; r.text = AnsiString(b); return r; }

    bool is_null() const { return kind == ValueKind::Null; }
    bool operator==(const Value&) const = default;
};

struct CivilDate { int year = 1, month = 1, day = 1; };
// Paradox day numbers (0001-01-01 is 1) to and from the proleptic Gregorian calendar.
CivilDate date_from_days(std::int64_t days);
std::int64_t days_from_date(int year, int month, int day);

}  // namespace engine
