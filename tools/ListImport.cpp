#include "tools/ListImport.h"

#include "engine/CodePage.h"
#include "engine/KeyEncoder.h"
#include "engine/TableWriter.h"
#include "text/Cp1251.h"
#include "tools/DirectorySchema.h"
#include "tools/ProgressBar.h"
#include "tools/SubscriberList.h"

#include <algorithm>
#include <cerrno>
#include <array>
#include <cstdio>
#include <fstream>
#include <limits>
#include <stdexcept>
#include <string_view>
#include <unordered_map>

#include <signal.h>
#include <unistd.h>

namespace tools {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::string_view kStagingPrefix = ".abonix-import-";

bool valid_utf8(std::string_view s) {
    std::size_t i = 0;
    const std::size_t n = s.size();
    auto tail = [&](std::size_t k) { return (static_cast<unsigned char>(s[i + k]) & 0xC0) == 0x80; };
    while (i < n) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            ++i;
        } else if (c >= 0xC2 && c < 0xE0) {  // two bytes: all of Cyrillic
            if (i + 2 > n || !tail(1)) return false;
            i += 2;
        } else if (c >= 0xE0 && c < 0xF0) {
            if (i + 3 > n || !tail(1) || !tail(2)) return false;
            const auto c1 = static_cast<unsigned char>(s[i + 1]);
            if ((c == 0xE0 && c1 < 0xA0) || (c == 0xED && c1 >= 0xA0)) return false;  // overlong, surrogate
            i += 3;
        } else if (c >= 0xF0 && c <= 0xF4) {
            if (i + 4 > n || !tail(1) || !tail(2) || !tail(3)) return false;
            const auto c1 = static_cast<unsigned char>(s[i + 1]);
            if ((c == 0xF0 && c1 < 0x90) || (c == 0xF4 && c1 >= 0x90)) return false;  // overlong, past U+10FFFF
            i += 4;
        } else {
            return false;
        }
    }
    return true;
}

// CP1251 bytes of the code points below the highest one CP1251 holds.
class Cp1251Table {
public:
    Cp1251Table() {
        for (int b = 0; b < 256; ++b) {
            const char32_t cp = text::cp1251_to_unicode(static_cast<unsigned char>(b));
            if (cp == 0xFFFD) continue;
            if (cp >= m_byte.size()) m_byte.resize(cp + 1, -1);
            m_byte[cp] = static_cast<std::int16_t>(b);
        }
    }
    int byte_of(char32_t cp) const { return cp < m_byte.size() ? m_byte[cp] : -1; }

private:
    std::vector<std::int16_t> m_byte = std::vector<std::int16_t>(128, -1);
};

std::string code_point_text(char32_t cp) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "U+%04X", static_cast<unsigned>(cp));
    return buf;
}

// Reads CSV records (RFC 4180: quoted fields may hold commas, doubled quotes
// and line breaks; lines end in LF or CRLF) and counts lines as it goes.
class CsvReader {
public:
    explicit CsvReader(std::string_view data) : m_data(data) {}

    // The next record's raw fields; false at the end of the input. A record
    // whose quote is never closed sets unterminated and takes the rest of the input.
    bool next(std::vector<std::string>& fields, std::size_t& line, bool& unterminated) {
        if (m_pos >= m_data.size()) return false;
        line = m_line;
        unterminated = false;
        std::size_t count = 0;
        auto field = [&]() -> std::string& {
            if (fields.size() <= count) fields.emplace_back();
            std::string& f = fields[count++];
            f.clear();
            return f;
        };
        for (;;) {
            std::string& f = field();
            if (m_pos < m_data.size() && m_data[m_pos] == '"') {
                ++m_pos;
                for (;;) {
                    const std::size_t quote = m_data.find('"', m_pos);
                    if (quote == std::string_view::npos) {
                        count_lines(m_pos, m_data.size());
                        f.append(m_data.substr(m_pos));
                        m_pos = m_data.size();
                        unterminated = true;
                        fields.resize(count);
                        return true;
                    }
                    count_lines(m_pos, quote);
                    f.append(m_data.substr(m_pos, quote - m_pos));
                    m_pos = quote + 1;
                    if (m_pos < m_data.size() && m_data[m_pos] == '"') {
                        f.push_back('"');
                        ++m_pos;
                    } else {
                        break;
                    }
                }
                // Text after the closing quote belongs to the field as it stands.
            }
            std::size_t stop = m_pos;
            while (stop < m_data.size() && m_data[stop] != ',' && m_data[stop] != '\n') ++stop;
            f.append(m_data.substr(m_pos, stop - m_pos));
            m_pos = stop;
            if (stop < m_data.size() && m_data[stop] == ',') {
                ++m_pos;
                continue;
            }
            if (!f.empty() && f.back() == '\r' && stop < m_data.size()) f.pop_back();
            if (stop < m_data.size()) {
                ++m_pos;
                ++m_line;
            }
            fields.resize(count);
            return true;
        }
    }
    std::size_t position() const { return m_pos; }

private:
    void count_lines(std::size_t from, std::size_t to) {
        m_line += static_cast<std::size_t>(std::count(m_data.begin() + static_cast<std::ptrdiff_t>(from),
                                                      m_data.begin() + static_cast<std::ptrdiff_t>(to), '\n'));
    }

    std::string_view m_data;
    std::size_t m_pos = 0;
    std::size_t m_line = 1;
};

// A field's text in CP1251, or why it cannot be one.
class FieldDecoder {
public:
    explicit FieldDecoder(bool utf8) : m_utf8(utf8) {}

    // Empty on success; the reason otherwise.
    std::string decode(std::string_view raw, AnsiString& out) const {
        out.clear();
        for (std::size_t i = 0; i < raw.size();) {
            auto c = static_cast<unsigned char>(raw[i]);
            if (c < 0x80) {
                if (c < 0x20 || c == 0x7F) return "a control character";
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
            const int b = m_table.byte_of(cp);
            if (cp == 0xFFFD && raw.substr(at, i - at) != "\xEF\xBF\xBD") return "bytes that are not UTF-8";
            if (b < 0) return "the character " + std::string(raw.substr(at, i - at)) + " (" + code_point_text(cp) + ") is not in code page 1251";
            out.push_back(static_cast<char>(b));
        }
        return {};
    }

private:
    bool m_utf8;
    Cp1251Table m_table;
};

std::string read_file(const fs::path& path) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) throw std::runtime_error(path.string() + ": no such file");
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) throw std::runtime_error(path.string() + ": cannot open the file");
    const std::streamoff size = in.tellg();
    if (size < 0) throw std::runtime_error(path.string() + ": cannot read the file");
    std::string data(static_cast<std::size_t>(size), '\0');
    in.seekg(0);
    if (!in.read(data.data(), static_cast<std::streamsize>(data.size())))
        throw std::runtime_error(path.string() + ": cannot read the file");
    return data;
}

// Good rows, their fields in CP1251 one after another in one buffer.
class Rows {
public:
    void add(const std::array<AnsiString, kListColumns>& fields) {
        for (const auto& f : fields) {
            m_text += f;
            if (m_text.size() > std::numeric_limits<std::uint32_t>::max()) throw std::runtime_error("the list is too large");
            m_ends.push_back(static_cast<std::uint32_t>(m_text.size()));
        }
    }
    std::size_t size() const { return m_ends.size() / kListColumns; }
    std::string_view field(std::size_t row, int column) const {
        const std::size_t i = row * kListColumns + static_cast<std::size_t>(column);
        const std::uint32_t begin = i ? m_ends[i - 1] : 0;
        return std::string_view(m_text).substr(begin, m_ends[i] - begin);
    }

private:
    std::string m_text;
    std::vector<std::uint32_t> m_ends;
};

// City or street names and the codes they get: alphabetical order, from 1.
class PlaceNames {
public:
    void add(std::string_view name) {
        if (!name.empty() && m_codes.find(name) == m_codes.end()) m_codes.emplace(name, 0);
    }
    // Assigns the codes; returns the names in code order.
    std::vector<AnsiString> number() {
        std::vector<std::pair<std::string, AnsiString>> keyed;
        engine::FieldDesc field{"Name", engine::FieldType::Alpha, kPlaceNameSize, 0, kPlaceNameSize};
        const engine::KeyEncoder order({field}, engine::collation_for(engine::TableSchema().sort_order),
                                       engine::CodePage::get(1251), false, false);
        for (const auto& [name, code] : m_codes) keyed.emplace_back(order.encode_target(engine::Value::of_text(name)), name);
        std::sort(keyed.begin(), keyed.end());
        std::vector<AnsiString> names;
        for (const auto& [key, name] : keyed) {
            names.push_back(name);
            m_codes[name] = static_cast<std::int64_t>(names.size());
        }
        return names;
    }
    engine::Value code_of(std::string_view name) const {
        if (name.empty()) return engine::Value::null();
        return engine::Value::of_int(m_codes.find(name)->second);
    }

private:
    // Looks names up without making a string of each.
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>()(s); }
    };
    std::unordered_map<std::string, std::int64_t, Hash, std::equal_to<>> m_codes;
};

bool process_alive(const std::string& pid_text) {
    char* end = nullptr;
    const long pid = std::strtol(pid_text.c_str(), &end, 10);
    if (pid <= 0 || *end) return false;
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

// Staging folders of imports that were killed half-way.
void remove_abandoned_staging(const fs::path& dir) {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dir, ec)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with(kStagingPrefix) && !process_alive(name.substr(kStagingPrefix.size()))) fs::remove_all(entry.path(), ec);
    }
}

bool is_index_file(const fs::path& p) {
    const std::string ext = text::ansi_upper_case(p.extension().string());
    return ext == ".PX" || (ext.size() == 4 && (ext[1] == 'X' || ext[1] == 'Y'));
}

// Moves the finished files into the directory: indexes first and the tables
// last, then removes index files left from the old tables. The engine tells an
// index file from another table by its stamp, so a stop between two moves
// costs no wrong answers.
void move_into(const fs::path& staging, const fs::path& dir) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(staging)) files.push_back(entry.path().filename());
    std::stable_partition(files.begin(), files.end(), [](const fs::path& f) { return is_index_file(f); });
    for (const auto& f : files) fs::rename(staging / f, dir / f);

    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dir, ec)) {
        const fs::path name = entry.path().filename();
        if (!is_index_file(name) || std::find(files.begin(), files.end(), name) != files.end()) continue;
        for (const char* stem : {"Phone2k", "City", "Street"})
            if (text::ansi_compare_text(name.stem().string(), stem) == 0) fs::remove(entry.path(), ec);
    }
}

// Removes the staging folder however the import ends.
class StagingFolder {
public:
    explicit StagingFolder(const fs::path& dir) : m_path(dir / (std::string(kStagingPrefix) + std::to_string(::getpid()))) {
        fs::remove_all(m_path);
        fs::create_directory(m_path);
    }
    ~StagingFolder() {
        std::error_code ec;
        fs::remove_all(m_path, ec);
    }
    StagingFolder(const StagingFolder&) = delete;
    StagingFolder& operator=(const StagingFolder&) = delete;
    const fs::path& path() const { return m_path; }

private:
    fs::path m_path;
};

}  // namespace

ImportResult import_list(const fs::path& list, const fs::path& dir, const ImportOptions& options) {
    const std::string data = read_file(list);
    std::string_view text = data;
    bool utf8 = options.encoding == ImportOptions::Encoding::Utf8;
    if (text.starts_with(kBom)) {
        text.remove_prefix(kBom.size());
        utf8 = options.encoding != ImportOptions::Encoding::Cp1251;
    } else if (options.encoding == ImportOptions::Encoding::Detect) {
        utf8 = valid_utf8(text);
    }
    const FieldDecoder decoder(utf8);
    const std::string where = list.string() + ": ";

    CsvReader reader(text);
    std::vector<std::string> fields;
    std::size_t line = 0;
    bool unterminated = false;
    if (!reader.next(fields, line, unterminated) || unterminated)
        throw std::runtime_error(where + "no header row");
    // Where each list column is in the file's rows.
    std::array<int, kListColumns> position;
    position.fill(-1);
    const std::size_t columns = fields.size();
    for (std::size_t i = 0; i < columns; ++i) {
        AnsiString ansi;
        const std::string bad = decoder.decode(fields[i], ansi);
        const std::string header = bad.empty() ? text::cp1251_to_utf8(ansi) : fields[i];
        const int c = list_column_of(header);
        if (c < 0 || position[static_cast<std::size_t>(c)] >= 0) {
            std::string known;
            for (auto name : kListColumnNames) known += (known.empty() ? "" : ", ") + std::string(name);
            throw std::runtime_error(where + "line 1: " + (c < 0 ? "unknown" : "repeated") + " column \"" + header +
                                     "\"; the columns are " + known);
        }
        position[static_cast<std::size_t>(c)] = static_cast<int>(i);
    }
    for (int c = 0; c < kListColumns; ++c)
        if (position[static_cast<std::size_t>(c)] < 0)
            throw std::runtime_error(where + "line 1: no column " + std::string(kListColumnNames[static_cast<std::size_t>(c)]));

    int size[kListColumns];
    const int field_of[kListColumns] = {kPhone, kLastName, kFirstName, kMiddleName, kCity, kStreet, kHouse, kFlat};
    for (int c = 0; c < kListColumns; ++c)
        size[c] = c == kListCity || c == kListStreet ? kPlaceNameSize : subscriber_field_size(static_cast<SubscriberField>(field_of[c]));

    ImportResult result;
    Rows rows;
    PlaceNames cities, streets;
    std::array<AnsiString, kListColumns> row;
    {
        ProgressBar bar(options.progress, "Reading   ", text.size());
        while (reader.next(fields, line, unterminated)) {
            bar.update(reader.position());
            if (fields.size() == 1 && fields[0].empty() && !unterminated) continue;  // an empty line
            std::string reason;
            if (unterminated) {
                reason = "a quote that is never closed";
            } else if (fields.size() != columns) {
                reason = std::to_string(fields.size()) + " fields where the header has " + std::to_string(columns);
            } else {
                for (int c = 0; c < kListColumns && reason.empty(); ++c) {
                    const std::string& raw = fields[static_cast<std::size_t>(position[static_cast<std::size_t>(c)])];
                    const std::string name(kListColumnNames[static_cast<std::size_t>(c)]);
                    auto& out = row[static_cast<std::size_t>(c)];
                    if (std::string bad = decoder.decode(raw, out); !bad.empty())
                        reason = name + ": " + bad;
                    else if (static_cast<int>(out.size()) > size[c])
                        reason = name + " \"" + text::cp1251_to_utf8(out) + "\" is " + std::to_string(out.size()) +
                                 " characters long, more than " + std::to_string(size[c]);
                }
            }
            if (!reason.empty()) {
                result.bad_rows.push_back({line, std::move(reason)});
                continue;
            }
            rows.add(row);
            cities.add(row[kListCity]);
            streets.add(row[kListStreet]);
        }
        bar.finish();
    }
    result.subscribers = static_cast<std::uint32_t>(rows.size());
    if (!result.bad_rows.empty() && !options.skip_bad) return result;

    if (options.progress) *options.progress << "Writing the tables and their indexes...\n" << std::flush;
    fs::create_directories(dir);
    remove_abandoned_staging(dir);
    const StagingFolder staging(dir);
    write_place_table(staging.path() / "City.db", "City", cities.number());
    write_place_table(staging.path() / "Street.db", "Street", streets.number());
    engine::TableWriter writer(staging.path() / "Phone2k.db", subscriber_schema());
    std::array<engine::Value, kSubscriberFields> record;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        record[kCode] = engine::Value::null();
        for (int c = 0; c < kListColumns; ++c) {
            const std::string_view f = rows.field(r, c);
            auto& v = record[static_cast<std::size_t>(field_of[c])];
            if (c == kListCity) v = cities.code_of(f);
            else if (c == kListStreet) v = streets.code_of(f);
            else v = f.empty() ? engine::Value::null() : engine::Value::of_text(AnsiString(f));
        }
        writer.append(record);
    }
    writer.finish();
    move_into(staging.path(), dir);
    result.written = true;
    return result;
}

}  // namespace tools
