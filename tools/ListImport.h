// abonix-db import: a directory (Phone2k.db, City.db, Street.db and all their
// indexes) built from a list of subscribers (see SubscriberList.h).
//
// The list is read as ListReader.h tells. Cities and streets come by name and
// get codes in alphabetical order; an empty name leaves the code blank.
//
// Unless skip_bad is set, one bad row means nothing is written. The good rows
// stream to a spool file and from there to the tables, so memory stays flat
// however long the list. Everything is written into a hidden folder inside
// the directory and moved into place only when all of the tables are
// complete, so an import stopped by a signal, killed or failing on a full
// disk leaves the directory's tables as they were; the next import removes
// what a killed one left.
#pragma once

#include "tools/ListReader.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace tools {

struct ImportOptions {
    using Encoding = ListEncoding;
    Encoding encoding = Encoding::Detect;
    bool skip_bad = false;
    std::ostream* progress = nullptr;        // a terminal to draw a progress bar on
    const std::atomic<bool>* stop = nullptr;  // once set (by a signal handler), the import stops with ImportStopped
};

// An import stopped on request; the directory is as it was.
struct ImportStopped : std::runtime_error {
    ImportStopped() : std::runtime_error("the import was stopped; the directory is left as it was") {}
};

struct BadRow {
    std::size_t line = 0;  // 1-based, where the row starts
    std::string reason;    // UTF-8
};

struct ImportResult {
    static constexpr std::size_t kBadRowsKept = 100;
    std::uint32_t subscribers = 0;  // rows written (or that would have been)
    std::vector<BadRow> bad_rows;   // the first kBadRowsKept
    std::size_t bad_row_count = 0;
    bool written = false;
};

// Throws std::runtime_error for a list that cannot be read or whose header
// is not the list's, and EngineError when writing fails; the directory is
// then left as it was.
ImportResult import_list(const std::filesystem::path& list, const std::filesystem::path& dir, const ImportOptions& options);

}  // namespace tools
