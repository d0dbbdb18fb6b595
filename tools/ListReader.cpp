#include "tools/ListReader.h"

#include "text/Cp1251.h"
#include "tools/DirectorySchema.h"
#include "tools/ShownText.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace tools {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::size_t kChunk = 256 * 1024;

// Checks that s is UTF-8 up to an unfinished sequence at its end, whose start it returns (s.size() when none).
bool utf8_so_far(std::string_view s, std::size_t& unfinished) {
    std::size_t i = 0;
    const std::size_t n = s.size();
    auto tail = [&](std::size_t k) { return (static_cast<unsigned char>(s[i + k]) & 0xC0) == 0x80; };
    auto available_tails = [&](std::size_t len) {
        for (std::size_t k = 1; k < len && i + k < n; ++k)
            if (!tail(k)) return false;
        return true;
    };
    unfinished = n;
    while (i < n) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t len;
        if (c < 0x80) len = 1;
        else if (c >= 0xC2 && c < 0xE0) len = 2;  // two bytes: all of Cyrillic
        else if (c >= 0xE0 && c < 0xF0) len = 3;
        else if (c >= 0xF0 && c <= 0xF4) len = 4;
        else return false;
        if (!available_tails(len)) return false;
        if (len >= 3 && i + 1 < n) {
            const auto c1 = static_cast<unsigned char>(s[i + 1]);
            if (len == 3 && ((c == 0xE0 && c1 < 0xA0) || (c == 0xED && c1 >= 0xA0))) return false;  // overlong, surrogate
            if (len == 4 && ((c == 0xF0 && c1 < 0x90) || (c == 0xF4 && c1 >= 0x90))) return false;  // overlong, past U+10FFFF
        }
        if (i + len > n) {
            unfinished = i;
            return true;
        }
        i += len;
    }
    return true;
}

std::string code_point_text(char32_t cp) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "U+%04X", static_cast<unsigned>(cp));
    return buf;
}

}  // namespace

std::size_t MemorySource::read(char* buffer, std::size_t size) {
    const std::size_t n = std::min({size, m_chunk, m_data.size() - m_at});
    if (n == 0) return 0;
    std::memcpy(buffer, m_data.data() + m_at, n);
    m_at += n;
    return n;
}

ListReader::ListReader(ByteSource& source, ListEncoding encoding, std::string where)
    : m_source(source), m_where(std::move(where)), m_buffer(kChunk), m_cp1251_byte(128, -1) {
    for (int b = 0; b < 256; ++b) {
        const char32_t cp = text::cp1251_to_unicode(static_cast<unsigned char>(b));
        if (cp == 0xFFFD) continue;
        if (cp >= m_cp1251_byte.size()) m_cp1251_byte.resize(cp + 1, -1);
        m_cp1251_byte[cp] = static_cast<std::int16_t>(b);
    }
    m_utf8 = encoding == ListEncoding::Utf8;
    // The byte order mark may come in pieces from a pipe.
    while (m_end < kBom.size() && !m_eof) {
        const std::size_t n = m_source.read(m_buffer.data() + m_end, kBom.size() - m_end);
        if (n == 0) m_eof = true;
        m_end += n;
    }
    if (std::string_view(m_buffer.data(), m_end) == kBom) {
        m_pos = kBom.size();
        m_utf8 = encoding != ListEncoding::Cp1251;
    } else if (encoding == ListEncoding::Detect) {
        m_utf8 = detect_utf8();
    }

    if (!read_record(m_record) || m_record.unterminated) throw std::runtime_error(m_where + "line 1: no header row");
    if (m_record.count > kRowFieldsKept)
        throw std::runtime_error(m_where + "line 1: " + std::to_string(m_record.count) + " columns; a list has " + std::to_string(kListColumns));
    std::array<int, kListColumns> position;
    position.fill(-1);
    m_columns = m_record.count;
    for (std::size_t i = 0; i < m_columns; ++i) {
        AnsiString ansi;
        const std::string& raw = m_record.fields[i];
        const bool bad = m_record.sizes[i] > kFieldKept || !decode(raw, ansi).empty();
        const int c = bad ? -1 : list_column_of(text::cp1251_to_utf8(ansi));
        if (c < 0 || position[static_cast<std::size_t>(c)] >= 0) {
            std::string known;
            for (auto name : kListColumnNames) known += (known.empty() ? "" : ", ") + std::string(name);
            throw std::runtime_error(m_where + "line 1: " + (c < 0 ? "unknown" : "repeated") + " column \"" +
                                     shown_text(raw, !m_utf8) + "\"; the columns are " + known);
        }
        position[static_cast<std::size_t>(c)] = static_cast<int>(i);
    }
    const int field_of[kListColumns] = {kPhone, kLastName, kFirstName, kMiddleName, kCity, kStreet, kHouse, kFlat};
    for (int c = 0; c < kListColumns; ++c) {
        const auto u = static_cast<std::size_t>(c);
        if (position[u] < 0) throw std::runtime_error(m_where + "line 1: no column " + std::string(kListColumnNames[u]));
        m_position[u] = static_cast<std::size_t>(position[u]);
        m_size[u] = c == kListCity || c == kListStreet ? kPlaceNameSize : subscriber_field_size(static_cast<SubscriberField>(field_of[c]));
    }
}

// Reads the whole list once to see whether it is UTF-8, then goes back to its start.
bool ListReader::detect_utf8() {
    std::string pending(m_buffer.data(), m_end);
    bool utf8 = true;
    for (;;) {
        std::size_t unfinished = 0;
        if (!utf8_so_far(pending, unfinished)) {
            utf8 = false;
            break;
        }
        pending.erase(0, unfinished);
        const std::size_t n = m_eof ? 0 : m_source.read(m_buffer.data(), m_buffer.size());
        if (n == 0) {
            utf8 = pending.empty();
            break;
        }
        pending.append(m_buffer.data(), n);
    }
    if (!m_source.rewind()) throw std::runtime_error(m_where + "the encoding of a list that is not a file is not told; give --encoding");
    m_pos = m_end = 0;
    m_eof = false;
    return utf8;
}

bool ListReader::refill() {
    if (m_eof) return false;
    m_consumed += m_end;
    m_pos = 0;
    m_end = m_source.read(m_buffer.data(), m_buffer.size());
    if (m_end == 0) m_eof = true;
    return m_end > 0;
}

void ListReader::start_field(Record& r) {
    if (r.count < kRowFieldsKept) {
        if (r.fields.size() <= r.count) {
            r.fields.emplace_back();
            r.sizes.push_back(0);
        }
        r.fields[r.count].clear();
        r.sizes[r.count] = 0;
    }
    ++r.count;
}

void ListReader::append(Record& r, const char* p, std::size_t n) {
    const std::size_t i = r.count - 1;
    if (i >= kRowFieldsKept || n == 0) return;
    r.sizes[i] += n;
    std::string& f = r.fields[i];
    if (f.size() < kFieldKept) f.append(p, std::min(n, kFieldKept - f.size()));
}

// One CSV record as in RFC 4180: text after a closing quote belongs to the
// field as it stands, and a quote that is never closed takes the rest of the input.
bool ListReader::read_record(Record& r) {
    if (m_pos == m_end && !refill()) return false;
    r.line = m_line;
    r.count = 0;
    r.unterminated = false;
    start_field(r);
    enum class State { Start, Unquoted, Quoted, AfterQuote } state = State::Start;
    for (;;) {
        if (m_pos == m_end && !refill()) {
            r.unterminated = state == State::Quoted;
            return true;
        }
        const char* p = m_buffer.data() + m_pos;
        const char* end = m_buffer.data() + m_end;
        switch (state) {
        case State::Start:
            if (*p == '"') {
                ++m_pos;
                state = State::Quoted;
            } else {
                state = State::Unquoted;
            }
            break;
        case State::Quoted: {
            const char* q = p;
            while (q < end && *q != '"' && *q != '\n') ++q;
            append(r, p, static_cast<std::size_t>(q - p));
            m_pos += static_cast<std::size_t>(q - p);
            if (q == end) break;
            ++m_pos;
            if (*q == '\n') {
                ++m_line;
                append(r, "\n", 1);
            } else {
                state = State::AfterQuote;
            }
            break;
        }
        case State::AfterQuote:
            if (*p == '"') {
                append(r, "\"", 1);
                ++m_pos;
                state = State::Quoted;
            } else {
                state = State::Unquoted;
            }
            break;
        case State::Unquoted: {
            const char* q = p;
            while (q < end && *q != ',' && *q != '\n') ++q;
            append(r, p, static_cast<std::size_t>(q - p));
            m_pos += static_cast<std::size_t>(q - p);
            if (q == end) break;
            ++m_pos;
            if (*q == ',') {
                start_field(r);
                state = State::Start;
                break;
            }
            ++m_line;
            const std::size_t i = r.count - 1;
            if (i < kRowFieldsKept && r.sizes[i] <= kFieldKept && !r.fields[i].empty() && r.fields[i].back() == '\r') {
                r.fields[i].pop_back();
                --r.sizes[i];
            }
            return true;
        }
        }
    }
}

// A field's text in CP1251 into out; empty on success, the reason otherwise.
std::string ListReader::decode(std::string_view raw, AnsiString& out) const {
    out.clear();
    for (std::size_t i = 0; i < raw.size();) {
        auto c = static_cast<unsigned char>(raw[i]);
        if (c < 0x80) {
            if (c < 0x20 || c == 0x7F) return "a control character (" + shown_text(raw.substr(i, 1), false) + ")";
            out.push_back(static_cast<char>(c));
            ++i;
            continue;
        }
        if (!m_utf8) {
            if (c == 0x98) return "byte 0x98, which code page 1251 leaves unassigned";
            out.push_back(static_cast<char>(c));
            ++i;
            continue;
        }
        const std::size_t at = i;
        char32_t cp;
        if (c >= 0xC2 && c < 0xE0 && i + 1 < raw.size() && (static_cast<unsigned char>(raw[i + 1]) & 0xC0) == 0x80) {
            cp = static_cast<char32_t>((c & 0x1F) << 6 | (static_cast<unsigned char>(raw[i + 1]) & 0x3F));
            i += 2;
        } else {
            cp = text::decode_utf8(raw, i);
        }
        const std::string_view bytes = raw.substr(at, i - at);
        if (cp == 0xFFFD && bytes != "\xEF\xBF\xBD") return "bytes that are not UTF-8 (" + shown_text(bytes, false) + ")";
        const int b = cp < m_cp1251_byte.size() ? m_cp1251_byte[cp] : -1;
        if (b < 0) return "the character " + shown_text(bytes, false) + " (" + code_point_text(cp) + ") is not in code page 1251";
        out.push_back(static_cast<char>(b));
    }
    return {};
}

bool ListReader::next(ListRow& row) {
    for (;;) {
        if (!read_record(m_record)) return false;
        Record& r = m_record;
        if (r.count == 1 && r.sizes[0] == 0 && !r.unterminated) continue;  // an empty line
        row.line = r.line;
        row.reason.clear();
        if (r.unterminated) {
            row.reason = "a quote that is never closed";
        } else if (r.count != m_columns) {
            row.reason = std::to_string(r.count) + " fields where the header has " + std::to_string(m_columns);
        } else {
            for (int c = 0; c < kListColumns && row.reason.empty(); ++c) {
                const auto u = static_cast<std::size_t>(c);
                const std::size_t at = m_position[u];
                const std::string name(kListColumnNames[u]);
                auto& out = row.fields[u];
                const std::string& raw = r.fields[at];
                if (r.sizes[at] > kFieldKept)
                    row.reason = name + " \"" + shown_text(raw, !m_utf8) + "\" is " + std::to_string(r.sizes[at]) +
                                 " bytes long, more than " + std::to_string(m_size[u]) + " characters";
                else if (std::string bad = decode(raw, out); !bad.empty())
                    row.reason = name + ": " + bad;
                else if (static_cast<int>(out.size()) > m_size[u])
                    row.reason = name + " \"" + shown_text(out, true) + "\" is " + std::to_string(out.size()) + " characters long, more than " +
                                 std::to_string(m_size[u]);
            }
        }
        row.good = row.reason.empty();
        return true;
    }
}

}  // namespace tools
