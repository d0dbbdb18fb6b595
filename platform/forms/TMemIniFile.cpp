#include "platform/forms/TMemIniFile.h"

#include "text/Cp1251.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <fstream>
#include <sstream>
#include <utility>

namespace {

bool same_name(std::string_view a, std::string_view b) {
    return a.size() == b.size() && text::ansi_compare_text(a, b) == 0;
}

bool has_line_break(std::string_view s) {
    return s.find_first_of("\r\n") != std::string_view::npos;
}

void check_section_name(std::string_view section) {
    if (has_line_break(section))
        throw EIniFileException("Invalid section name \"" + AnsiString(section) + "\"");
}

// The entry's line must read back as this entry: not as a comment, not as a
// section header, split at the same "=".
void check_entry(std::string_view ident, std::string_view value) {
    if (has_line_break(ident) || ident.find('=') != std::string_view::npos ||
        (!ident.empty() && ident.front() == ';') ||
        (!ident.empty() && ident.front() == '[' && !value.empty() && value.back() == ']'))
        throw EIniFileException("Invalid entry name \"" + AnsiString(ident) + "\"");
    if (has_line_break(value))
        throw EIniFileException("Invalid value of entry \"" + AnsiString(ident) + "\"");
}

AnsiString system_error(const AnsiString& what, const AnsiString& file, int err) {
    return what + " \"" + file + "\": " + std::strerror(err);
}

// Closes the descriptor and removes the temporary file unless released.
class TempFile {
public:
    explicit TempFile(std::string path_template) : m_path(std::move(path_template)) {
        m_fd = ::mkstemp(m_path.data());
    }
    ~TempFile() {
        if (m_fd >= 0) ::close(m_fd);
        if (!m_kept) ::unlink(m_path.c_str());
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    int fd() const { return m_fd; }
    const std::string& path() const { return m_path; }
    int close() {
        int rc = ::close(m_fd);
        m_fd = -1;
        return rc;
    }
    void keep() { m_kept = true; }

private:
    std::string m_path;
    int m_fd = -1;
    bool m_kept = false;
};

}  // namespace

AnsiString TMemIniFile::ExistingSpelling(const AnsiString& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) return path;
    const std::size_t slash = path.rfind('/');
    const std::string dir = slash == AnsiString::npos ? std::string(".") : std::string(path.substr(0, slash + 1));
    const std::string_view base = slash == AnsiString::npos ? std::string_view(path) : std::string_view(path).substr(slash + 1);
    DIR* d = ::opendir(dir.c_str());
    if (!d) return path;
    // Of several spellings, the first in byte order, so every writer picks the same one.
    std::optional<std::string> found;
    while (const dirent* e = ::readdir(d)) {
        const std::string_view name = e->d_name;
        if (same_name(name, base) && (!found || name < *found)) found = std::string(name);
    }
    ::closedir(d);
    if (!found) return path;
    return slash == AnsiString::npos ? AnsiString(*found) : AnsiString(path.substr(0, slash + 1)) + AnsiString(*found);
}

TMemIniFile::TMemIniFile(AnsiString FileName) : m_fileName(ExistingSpelling(FileName)) {
    struct stat st {};
    if (::stat(m_fileName.c_str(), &st) != 0) {
        if (errno == ENOENT) return;
        throw EIniFileException(system_error("Cannot open file", m_fileName, errno));
    }
    std::ifstream in(m_fileName, std::ios::binary);
    if (!in || S_ISDIR(st.st_mode))
        throw EIniFileException(system_error("Cannot open file", m_fileName, S_ISDIR(st.st_mode) ? EISDIR : errno));
    std::ostringstream buf;
    buf << in.rdbuf();
    if (in.bad()) throw EIniFileException(system_error("Cannot read file", m_fileName, EIO));
    SetText(buf.str());
}

void TMemIniFile::SetText(std::string_view text) {
    m_sections.clear();
    Section* current = nullptr;
    std::size_t pos = 0;
    while (pos < text.size()) {
        // CR LF ends a line; so do a bare LF or CR, so that no name or value
        // read can hold a line break.
        std::size_t eol = text.find_first_of("\r\n", pos);
        if (eol == std::string_view::npos) eol = text.size();
        std::string_view line = text.substr(pos, eol - pos);
        pos = eol;
        if (pos < text.size() && text[pos] == '\r') ++pos;
        if (pos < text.size() && text[pos] == '\n' && (pos == eol || text[pos - 1] == '\r')) ++pos;
        if (line.empty() || line.front() == ';') continue;
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            current = &section_for_write(line.substr(1, line.size() - 2));
            continue;
        }
        std::size_t eq = line.find('=');
        if (!current || eq == std::string_view::npos) continue;
        // Every entry line is kept, a repeated name too, so that a save loses
        // nothing of what was read; look-ups see the first.
        current->entries.push_back({AnsiString(line.substr(0, eq)), AnsiString(line.substr(eq + 1))});
    }
}

AnsiString TMemIniFile::Text() const {
    AnsiString out;
    for (const Section& s : m_sections) {
        out += '[';
        out += s.name;
        out += "]\r\n";
        for (const Entry& e : s.entries) {
            out += e.name;
            out += '=';
            out += e.value;
            out += "\r\n";
        }
        out += "\r\n";
    }
    return out;
}

const TMemIniFile::Section* TMemIniFile::find_section(std::string_view name) const {
    for (const Section& s : m_sections)
        if (same_name(s.name, name)) return &s;
    return nullptr;
}

TMemIniFile::Section* TMemIniFile::find_section(std::string_view name) {
    return const_cast<Section*>(std::as_const(*this).find_section(name));
}

TMemIniFile::Section& TMemIniFile::section_for_write(std::string_view name) {
    if (Section* s = find_section(name)) return *s;
    m_sections.push_back({AnsiString(name), {}});
    return m_sections.back();
}

const TMemIniFile::Entry* TMemIniFile::find_entry(std::string_view section, std::string_view ident) const {
    const Section* s = find_section(section);
    if (!s) return nullptr;
    for (const Entry& e : s->entries)
        if (same_name(e.name, ident)) return &e;
    return nullptr;
}

TMemIniFile::Entry* TMemIniFile::find_entry(std::string_view section, std::string_view ident) {
    return const_cast<Entry*>(std::as_const(*this).find_entry(section, ident));
}

AnsiString TMemIniFile::ReadString(std::string_view Section, std::string_view Ident, std::string_view Default) const {
    const Entry* e = find_entry(Section, Ident);
    return AnsiString(e ? std::string_view(e->value) : Default);
}

void TMemIniFile::WriteString(std::string_view Section, std::string_view Ident, std::string_view Value) {
    check_section_name(Section);
    check_entry(Ident, Value);
    if (Entry* e = find_entry(Section, Ident)) {
        e->value = AnsiString(Value);
        return;
    }
    section_for_write(Section).entries.push_back({AnsiString(Ident), AnsiString(Value)});
}

std::optional<int> TMemIniFile::ParseInteger(std::string_view s) {
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        std::string_view digits = s.substr(2);
        if (digits.size() > 8) return std::nullopt;
        unsigned value = 0;
        auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
        if (ec != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
        return static_cast<int>(value);
    }
    std::string_view digits = s;
    if (!digits.empty() && digits.front() == '+') {
        digits.remove_prefix(1);
        if (!digits.empty() && digits.front() == '-') return std::nullopt;
    }
    int value = 0;
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value, 10);
    if (ec != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    return value;
}

int TMemIniFile::ReadInteger(std::string_view Section, std::string_view Ident, int Default) const {
    const Entry* e = find_entry(Section, Ident);
    if (!e) return Default;
    return ParseInteger(e->value).value_or(Default);
}

void TMemIniFile::WriteInteger(std::string_view Section, std::string_view Ident, int Value) {
    WriteString(Section, Ident, std::to_string(Value));
}

bool TMemIniFile::ReadBool(std::string_view Section, std::string_view Ident, bool Default) const {
    const Entry* e = find_entry(Section, Ident);
    if (!e) return Default;
    std::optional<int> v = ParseInteger(e->value);
    return v ? *v != 0 : Default;
}

void TMemIniFile::WriteBool(std::string_view Section, std::string_view Ident, bool Value) {
    WriteString(Section, Ident, Value ? "1" : "0");
}

bool TMemIniFile::SectionExists(std::string_view Section) const { return find_section(Section) != nullptr; }

bool TMemIniFile::ValueExists(std::string_view Section, std::string_view Ident) const {
    return find_entry(Section, Ident) != nullptr;
}

std::vector<AnsiString> TMemIniFile::ReadSection(std::string_view Section) const {
    std::vector<AnsiString> names;
    if (const struct Section* s = find_section(Section))
        for (const Entry& e : s->entries) names.push_back(e.name);
    return names;
}

std::vector<AnsiString> TMemIniFile::ReadSections() const {
    std::vector<AnsiString> names;
    for (const Section& s : m_sections) names.push_back(s.name);
    return names;
}

void TMemIniFile::EraseSection(std::string_view Section) {
    std::erase_if(m_sections, [&](const struct Section& s) { return same_name(s.name, Section); });
}

void TMemIniFile::DeleteKey(std::string_view Section, std::string_view Ident) {
    if (struct Section* s = find_section(Section)) {
        std::erase_if(s->entries, [&](const Entry& e) { return same_name(e.name, Ident); });
    }
}

void TMemIniFile::Clear() { m_sections.clear(); }

void TMemIniFile::UpdateFile() const {
    // Another writer may have made the file under another spelling meanwhile.
    m_fileName = ExistingSpelling(m_fileName);
    const AnsiString data = Text();
    TempFile temp(m_fileName + ".XXXXXX");
    if (temp.fd() < 0) throw EIniFileException(system_error("Cannot create file", m_fileName, errno));

    // The new file gets the old one's permissions, or the usual ones for a new file.
    mode_t mode = 0;
    struct stat st {};
    if (::stat(m_fileName.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }

    const char* p = data.data();
    std::size_t left = data.size();
    while (left > 0) {
        ssize_t n = ::write(temp.fd(), p, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) throw EIniFileException(system_error("Cannot write file", m_fileName, n < 0 ? errno : ENOSPC));
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    if (::fchmod(temp.fd(), mode) != 0 || ::fsync(temp.fd()) != 0)
        throw EIniFileException(system_error("Cannot write file", m_fileName, errno));
    if (temp.close() != 0) throw EIniFileException(system_error("Cannot write file", m_fileName, errno));
    if (::rename(temp.path().c_str(), m_fileName.c_str()) != 0)
        throw EIniFileException(system_error("Cannot write file", m_fileName, errno));
    temp.keep();
}
