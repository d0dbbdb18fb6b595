// Reads a list of subscribers (see SubscriberList.h) as a stream, a chunk at
// a time, and checks each row: what abonix-db import reads before it writes.
//
// The list is CSV (RFC 4180: quoted fields may hold commas, doubled quotes and
// line breaks; lines end in LF or CRLF) with a header row naming its eight
// columns in any order, UTF-8 (with or without a byte order mark) or CP1251;
// a list that is valid UTF-8 throughout is read as UTF-8, any other as CP1251.
//
// A row is bad when its field count differs from the header's, when a field
// is longer than its column (the phone six characters), or when it holds a
// character CP1251 lacks or a control character. Bad rows come with the line
// they start on and a reason whose outside text is shown safely (ShownText.h).
// Memory stays small whatever the input: a field keeps only its first
// kFieldKept bytes and a row its first kRowFieldsKept fields, which no good
// row comes near.
#pragma once

#include "text/AnsiString.h"
#include "tools/SubscriberList.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tools {

enum class ListEncoding { Detect, Utf8, Cp1251 };

// Where a list's bytes come from.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Up to size bytes into buffer; 0 at the end.
    virtual std::size_t read(char* buffer, std::size_t size) = 0;
    // Back to the first byte; false when the source cannot go back (a pipe).
    virtual bool rewind() = 0;
};

// A list in memory, handed out at most chunk bytes at a time.
class MemorySource : public ByteSource {
public:
    explicit MemorySource(std::string_view data, std::size_t chunk = SIZE_MAX) : m_data(data), m_chunk(chunk ? chunk : 1) {}
    std::size_t read(char* buffer, std::size_t size) override;
    bool rewind() override {
        m_at = 0;
        return true;
    }

private:
    std::string_view m_data;
    std::size_t m_chunk;
    std::size_t m_at = 0;
};

struct ListRow {
    std::size_t line = 0;  // 1-based, where the row starts
    bool good = false;
    std::array<AnsiString, kListColumns> fields;  // good rows: CP1251, in list column order
    std::string reason;                           // bad rows: UTF-8
};

class ListReader {
public:
    static constexpr std::size_t kFieldKept = 256;
    static constexpr std::size_t kRowFieldsKept = 64;

    // Reads the header row. Throws std::runtime_error (its message starts
    // with where and the line) for a list without its header.
    ListReader(ByteSource& source, ListEncoding encoding, std::string where);

    // The next row, good or bad; false at the end. Empty lines are skipped.
    bool next(ListRow& row);
    // Bytes of the list read so far.
    std::uint64_t position() const { return m_consumed + m_pos; }
    bool utf8() const { return m_utf8; }

private:
    struct Record {
        std::vector<std::string> fields;  // the first kRowFieldsKept, each its first kFieldKept bytes
        std::vector<std::size_t> sizes;   // their whole sizes
        std::size_t count = 0;            // all fields
        std::size_t line = 0;
        bool unterminated = false;
    };
    bool refill();
    bool read_record(Record& r);
    void start_field(Record& r);
    void append(Record& r, const char* p, std::size_t n);
    std::string decode(std::string_view raw, AnsiString& out) const;
    bool detect_utf8();

    ByteSource& m_source;
    std::string m_where;
    std::vector<char> m_buffer;
    std::size_t m_pos = 0, m_end = 0;
    std::uint64_t m_consumed = 0;
    bool m_eof = false;
    std::size_t m_line = 1;
    bool m_utf8 = false;
    Record m_record;
    std::size_t m_columns = 0;
    std::array<std::size_t, kListColumns> m_position{};  // where each list column is in a row
    std::array<int, kListColumns> m_size{};
    std::vector<std::int16_t> m_cp1251_byte;  // code point -> CP1251 byte, -1 when it has none
};

}  // namespace tools
