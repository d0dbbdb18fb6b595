// abonix-db import: a directory (Phone2k.db, City.db, Street.db and all their
// indexes) built from a list of subscribers (see SubscriberList.h).
//
// The list is CSV with a header row naming its eight columns in any order,
// UTF-8 (with or without a byte order mark) or CP1251; a file that is valid
// UTF-8 is read as UTF-8, any other as CP1251. Cities and streets come by
// name and get codes in alphabetical order; an empty name leaves the code blank.
//
// A row is bad when its field count differs from the header's, when a field
// is longer than its column (the phone six characters), or when it holds a
// character CP1251 lacks or a control character. Bad rows are reported with
// the line they start on. Unless skip_bad is set, one bad row means nothing is
// written. The tables are written into a hidden folder inside the directory
// and moved into place only when all of them are complete, so an interrupted
// import leaves the directory's tables as they were.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace tools {

struct ImportOptions {
    enum class Encoding { Detect, Utf8, Cp1251 };
    Encoding encoding = Encoding::Detect;
    bool skip_bad = false;
    std::ostream* progress = nullptr;  // a terminal to draw a progress bar on
};

struct BadRow {
    std::size_t line = 0;  // 1-based, where the row starts
    std::string reason;    // UTF-8
};

struct ImportResult {
    std::uint32_t subscribers = 0;  // rows written (or that would have been)
    std::vector<BadRow> bad_rows;
    bool written = false;
};

// Throws std::runtime_error for a list that cannot be read or whose header
// is not the list's, and EngineError when writing fails; the directory is
// then left as it was.
ImportResult import_list(const std::filesystem::path& list, const std::filesystem::path& dir, const ImportOptions& options);

}  // namespace tools
