#include "tools/ListImport.h"

#include "engine/CodePage.h"
#include "engine/EngineError.h"
#include "engine/KeyEncoder.h"
#include "engine/TableWriter.h"
#include "platform/classes/ScopeExit.h"
#include "text/Cp1251.h"
#include "tools/DirectorySchema.h"
#include "tools/ProgressBar.h"
#include "tools/ShownText.h"
#include "tools/SubscriberList.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string_view>
#include <unordered_map>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tools {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kStagingPrefix = ".abonix-import-";

void check_stop(const ImportOptions& options) {
    if (options.stop && options.stop->load()) throw ImportStopped();
}

// The list file (or a pipe), read as it comes.
class FileSource : public ByteSource {
public:
    FileSource(const fs::path& path, const std::string& where, const ImportOptions& options) : m_where(where), m_options(options) {
        m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (m_fd < 0) throw std::runtime_error(where + (errno == ENOENT ? "no such file" : "cannot open the file: " + std::string(std::strerror(errno))));
        struct stat st {};
        if (::fstat(m_fd, &st) != 0 || S_ISDIR(st.st_mode)) {
            ::close(m_fd);
            throw std::runtime_error(where + "not a file");
        }
        m_size = S_ISREG(st.st_mode) ? static_cast<std::uint64_t>(st.st_size) : 0;
    }
    ~FileSource() override { ::close(m_fd); }
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    std::size_t read(char* buffer, std::size_t size) override {
        for (;;) {
            check_stop(m_options);
            const ssize_t n = ::read(m_fd, buffer, size);
            if (n >= 0) return static_cast<std::size_t>(n);
            if (errno != EINTR) throw std::runtime_error(m_where + "cannot read the file: " + std::strerror(errno));
            check_stop(m_options);
        }
    }
    bool rewind() override { return ::lseek(m_fd, 0, SEEK_SET) == 0; }
    // 0 for a pipe.
    std::uint64_t size() const { return m_size; }

private:
    int m_fd = -1;
    std::uint64_t m_size = 0;
    std::string m_where;
    const ImportOptions& m_options;
};

// The good rows between reading the list and writing the tables, in a file
// that has no name (so nothing is left of it however the import ends): each
// text field with its length in a byte before it, the city and the street as
// numbers in the order their names first came.
class Spool {
public:
    static constexpr std::size_t kMaxRow = 6 * 256 + 8;

    explicit Spool(const fs::path& folder) : m_path(folder / "rows.spool") {
        m_fd = ::open(m_path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (m_fd < 0) fail("cannot create");
        ::unlink(m_path.c_str());
        m_buffer.reserve(kBuffer);
    }
    ~Spool() { ::close(m_fd); }
    Spool(const Spool&) = delete;
    Spool& operator=(const Spool&) = delete;

    void add(const std::array<AnsiString, kListColumns>& fields, std::uint32_t city, std::uint32_t street) {
        if (m_buffer.size() + kMaxRow > kBuffer) flush();
        for (int c = 0; c < kListColumns; ++c) {
            if (c == kListCity || c == kListStreet) continue;
            const AnsiString& f = fields[static_cast<std::size_t>(c)];
            m_buffer.push_back(static_cast<char>(f.size()));
            m_buffer.append(f);
        }
        for (std::uint32_t v : {city, street}) m_buffer.append(reinterpret_cast<const char*>(&v), sizeof v);
    }
    void rewind() {
        flush();
        if (::lseek(m_fd, 0, SEEK_SET) != 0) fail("cannot read");
        m_buffer.clear();
        m_at = 0;
    }
    // The next row's text fields (in list column order, city and street empty) and place numbers.
    bool next(std::array<std::string_view, kListColumns>& fields, std::uint32_t& city, std::uint32_t& street) {
        if (m_buffer.size() - m_at < kMaxRow) {
            m_buffer.erase(0, m_at);
            m_at = 0;
            const std::size_t have = m_buffer.size();
            m_buffer.resize(kBuffer);
            std::size_t got = have;
            while (got < kBuffer) {
                const ssize_t n = ::read(m_fd, m_buffer.data() + got, kBuffer - got);
                if (n < 0 && errno == EINTR) continue;
                if (n < 0) fail("cannot read");
                if (n == 0) break;
                got += static_cast<std::size_t>(n);
            }
            m_buffer.resize(got);
        }
        if (m_at == m_buffer.size()) return false;
        for (int c = 0; c < kListColumns; ++c) {
            if (c == kListCity || c == kListStreet) {
                fields[static_cast<std::size_t>(c)] = {};
                continue;
            }
            const auto n = static_cast<unsigned char>(m_buffer[m_at++]);
            fields[static_cast<std::size_t>(c)] = std::string_view(m_buffer).substr(m_at, n);
            m_at += n;
        }
        std::memcpy(&city, m_buffer.data() + m_at, 4);
        std::memcpy(&street, m_buffer.data() + m_at + 4, 4);
        m_at += 8;
        return true;
    }

private:
    static constexpr std::size_t kBuffer = 1 << 20;
    [[noreturn]] void fail(const char* what) const {
        throw engine::EngineError(engine::kErrIo, text::utf8_to_cp1251(m_path.string()) + ": " + what + " the file: " + std::strerror(errno));
    }
    void flush() {
        std::size_t done = 0;
        while (done < m_buffer.size()) {
            const ssize_t n = ::write(m_fd, m_buffer.data() + done, m_buffer.size() - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) fail("cannot write");
            done += static_cast<std::size_t>(n);
        }
        m_buffer.clear();
    }

    fs::path m_path;
    int m_fd = -1;
    std::string m_buffer;
    std::size_t m_at = 0;
};

// City or street names: numbers in the order they first came while the list
// is read, then codes in alphabetical order, from 1.
class PlaceNames {
public:
    // 0 for the empty name.
    std::uint32_t number_of(const AnsiString& name) {
        if (name.empty()) return 0;
        const auto [it, added] = m_numbers.try_emplace(name, static_cast<std::uint32_t>(m_names.size() + 1));
        if (added) m_names.push_back(name);
        return it->second;
    }
    // Assigns the codes; returns the names in code order.
    std::vector<AnsiString> number() {
        engine::FieldDesc field{"Name", engine::FieldType::Alpha, kPlaceNameSize, 0, kPlaceNameSize};
        const engine::KeyEncoder order({field}, engine::collation_for(engine::TableSchema().sort_order),
                                       engine::CodePage::get(1251), false, false);
        std::vector<std::pair<std::string, std::uint32_t>> keyed;
        for (std::uint32_t i = 0; i < m_names.size(); ++i) keyed.emplace_back(order.encode_target(engine::Value::of_text(m_names[i])), i + 1);
        std::sort(keyed.begin(), keyed.end());
        std::vector<AnsiString> names;
        m_codes.assign(m_names.size() + 1, 0);
        for (const auto& [key, number] : keyed) {
            names.push_back(m_names[number - 1]);
            m_codes[number] = static_cast<std::int64_t>(names.size());
        }
        return names;
    }
    engine::Value code_of(std::uint32_t number) const {
        return number == 0 ? engine::Value::null() : engine::Value::of_int(m_codes[number]);
    }

private:
    std::unordered_map<AnsiString, std::uint32_t> m_numbers;
    std::vector<AnsiString> m_names;  // by number - 1
    std::vector<std::int64_t> m_codes;  // by number
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
    const std::string where = shown_text(list.string(), false, 400) + ": ";
    FileSource source(list, where, options);
    ListReader reader(source, options.encoding, where);

    std::error_code ec;
    const bool made_dir = !fs::exists(dir, ec);
    fs::create_directories(dir);
    // A directory made for a list that is not written goes again.
    ScopeExit unmake([&] {
        if (made_dir) fs::remove(dir, ec);
    });
    remove_abandoned_staging(dir);
    const StagingFolder staging(dir);

    ImportResult result;
    PlaceNames cities, streets;
    Spool spool(staging.path());
    {
        ProgressBar bar(options.progress, "Reading   ", source.size());
        ListRow row;
        std::uint32_t rows = 0;
        while (reader.next(row)) {
            check_stop(options);
            if ((++rows & 4095) == 0) bar.update(reader.position());
            if (!row.good) {
                if (result.bad_rows.size() < ImportResult::kBadRowsKept) result.bad_rows.push_back({row.line, row.reason});
                ++result.bad_row_count;
                continue;
            }
            if (result.subscribers == UINT32_MAX) throw std::runtime_error(where + "the list is too long");
            spool.add(row.fields, cities.number_of(row.fields[kListCity]), streets.number_of(row.fields[kListStreet]));
            ++result.subscribers;
        }
        bar.update(reader.position());
        bar.finish();
    }
    if (result.bad_row_count > 0 && !options.skip_bad) return result;

    if (options.progress) *options.progress << "Writing the tables and their indexes...\n" << std::flush;
    write_place_table(staging.path() / "City.db", "City", cities.number());
    write_place_table(staging.path() / "Street.db", "Street", streets.number());
    engine::TableWriter writer(staging.path() / "Phone2k.db", subscriber_schema());
    writer.set_checkpoint([&] { check_stop(options); });
    const int field_of[kListColumns] = {kPhone, kLastName, kFirstName, kMiddleName, kCity, kStreet, kHouse, kFlat};
    std::array<engine::Value, kSubscriberFields> record;
    std::array<std::string_view, kListColumns> fields;
    std::uint32_t city = 0, street = 0;
    spool.rewind();
    while (spool.next(fields, city, street)) {
        for (int c = 0; c < kListColumns; ++c) {
            auto& v = record[static_cast<std::size_t>(field_of[c])];
            const std::string_view f = fields[static_cast<std::size_t>(c)];
            if (c == kListCity) {
                v = cities.code_of(city);
            } else if (c == kListStreet) {
                v = streets.code_of(street);
            } else if (f.empty()) {
                v.kind = engine::ValueKind::Null;
            } else {
                v.kind = engine::ValueKind::Text;
                v.text.assign(f);
            }
        }
        writer.append(record);
    }
    writer.finish();
    check_stop(options);
    move_into(staging.path(), dir);
    unmake.release();
    result.written = true;
    return result;
}

}  // namespace tools
