// Keeps the main window's three tables in step with their files when another
// program rewrites, replaces or cuts them short while they are shown (another
// Paradox program, a copy from a share, `abonix-db import`).
//
// Check() runs when the window is activated, before each search and header
// click, and on a timer while the program is idle; it looks at the files
// (DirectoryWatch) and, when any changed, opens the tables again: City and
// Street first, so that the subscribers' lookups read the new names. A table
// that opens is read from then on in the order it had, the same subscriber
// current (by Code, else the nearest in the order) on the same row; nothing
// is asked and the grid's columns, widths and the bars stay as they are (the
// dataset stays open, so the grid is not bound again, and no layout file is
// written). A table that does not open shows no records, and one message
// names each such file and what is wrong with it; a later change opens it again.
#pragma once

#include "directory/DirectoryTables.h"
#include "directory/DirectoryWatch.h"

#include <filesystem>

namespace app {

class DirectoryReload {
public:
    DirectoryReload(const directory::DirectoryTables& tables, const std::filesystem::path& folder);
    ~DirectoryReload();
    DirectoryReload(const DirectoryReload&) = delete;
    DirectoryReload& operator=(const DirectoryReload&) = delete;

    // How often the idle program looks (a few seconds: an import shows soon after it ends).
    static constexpr int kIntervalMs = 2000;

    // Reopens the tables when their files changed; false while a table cannot be read.
    bool Check();
    // Check() soon, from the message loop (after an activation has been handled).
    void CheckSoon();

private:
    directory::DirectoryTables m_tables;
    directory::DirectoryWatch m_watch;
    unsigned m_timer = 0;
    unsigned m_soon = 0;
    bool m_checking = false;
    bool m_whole = true;
};

}  // namespace app
