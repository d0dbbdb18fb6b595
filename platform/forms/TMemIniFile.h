// The layout file: an ini text file held wholly in memory.
//
// The whole file is read when the object is created and written back whole
// by UpdateFile(). Format, as read and written:
//   - CP1251 lines separated by CR LF (a bare LF or CR is accepted on reading);
//   - "[" name "]" starts a section; the name is everything between the
//     first and the last character of the line;
//   - inside a section, name "=" value, split at the first "="; lines that
//     start with ";", empty lines, lines without "=" and lines before the
//     first section are ignored on reading;
//   - on writing, each section is its header, its entries in order, then one
//     empty line; sections keep the order in which they were first created
//     (the file's first, new ones appended), entries the order first written.
// Section and entry names are looked up without regard to letter case; a
// section that appears twice in the file is one section.
//
// Integers are written in decimal; on reading "0x"/"0X" followed by up to
// eight hexadecimal digits is accepted as well (as a 32-bit pattern, so
// colours like 0x80000000 read back). Booleans are written "1"/"0"; any
// integer other than 0 reads as true. A missing or malformed value yields the
// caller's default.
//
// Names and values that could not be read back as written (a line break
// anywhere, "=" in an entry name, an entry line that would read as a comment
// or a section header) are refused with EIniFileException rather than corrupting the file.
//
// The file name is taken without regard to letter case: "Abonix.ini" opens
// an existing "abonix.ini", and that spelling is kept for writing.
//
// UpdateFile() writes a temporary file beside the target and renames it over
// the target, so a failed save (disk full, read-only directory) leaves the
// previous file exactly as it was and raises EIniFileException.
#pragma once

#include "platform/classes/Exception.h"
#include "platform/classes/TObject.h"
#include "text/AnsiString.h"

#include <optional>
#include <string_view>
#include <vector>

class EIniFileException : public Exception {
public:
    using Exception::Exception;
};

class TMemIniFile : public TObject {
public:
    // Reads the whole file; a missing file reads as empty. A file that exists
    // but cannot be read raises EIniFileException, so that a later save cannot
    // silently replace what could not be read.
    explicit TMemIniFile(AnsiString FileName);

    const AnsiString& FileName() const { return m_fileName; }

    AnsiString ReadString(std::string_view Section, std::string_view Ident, std::string_view Default) const;
    void WriteString(std::string_view Section, std::string_view Ident, std::string_view Value);
    int ReadInteger(std::string_view Section, std::string_view Ident, int Default) const;
    void WriteInteger(std::string_view Section, std::string_view Ident, int Value);
    bool ReadBool(std::string_view Section, std::string_view Ident, bool Default) const;
    void WriteBool(std::string_view Section, std::string_view Ident, bool Value);

    bool SectionExists(std::string_view Section) const;
    bool ValueExists(std::string_view Section, std::string_view Ident) const;
    // Entry names of a section, in order (empty when the section is missing).
    std::vector<AnsiString> ReadSection(std::string_view Section) const;
    // Section names in order.
    std::vector<AnsiString> ReadSections() const;
    void EraseSection(std::string_view Section);
    void DeleteKey(std::string_view Section, std::string_view Ident);
    void Clear();

    // The file as UpdateFile() would write it.
    AnsiString Text() const;
    // Replaces the contents by the parse of `text`.
    void SetText(std::string_view text);

    // Writes the whole file (creating it if needed), atomically.
    void UpdateFile() const;

    // File names are compared without regard to letter case, as on the
    // system the layout files come from: the path itself when it exists,
    // else the first (in byte order) entry of its directory whose name
    // differs only in case, else the path as given.
    static AnsiString ExistingSpelling(const AnsiString& path);

    // The integer syntax of the format, exposed for the other readers of it.
    static std::optional<int> ParseInteger(std::string_view s);

private:
    struct Entry {
        AnsiString name;
        AnsiString value;
    };
    struct Section {
        AnsiString name;
        std::vector<Entry> entries;
    };

    const Section* find_section(std::string_view name) const;
    Section* find_section(std::string_view name);
    Section& section_for_write(std::string_view name);
    const Entry* find_entry(std::string_view section, std::string_view ident) const;
    Entry* find_entry(std::string_view section, std::string_view ident);

    mutable AnsiString m_fileName;  // UpdateFile may find another spelling made meanwhile
    std::vector<Section> m_sections;
};
