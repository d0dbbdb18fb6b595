// Work of the start that needs no display, done while the program waits for
// the X server: opening the directory's three tables in their orders, and
// finding and loading the faces the first frame is drawn with; with the time
// left until the display is ready, rendering the glyphs the first frame is
// most likely to draw (the rest are rendered as the paint needs them).
//
// Two worker threads start with the object; finish() joins them on the GUI
// thread before the main window is created, so everything they made is
// complete and visible to the GUI thread from then on (the join is the only
// synchronisation: nothing they touch is shared while they run). The tables
// they opened are then handed to the database and tables of the main window
// through the session's connector, each cursor once, when the components ask
// for exactly what was opened; anything else (another database, a table
// opened again, a failure in the worker) takes the ordinary way, so errors
// are still raised where and when the main window opens its tables.
//
// Invariants:
//   - before finish(): only the workers touch m_opened and the font cache;
//   - after finish(): the workers have ended and the session's connector is
//     ours until destruction, which puts the previous connector back.
#pragma once

#include "platform/db/TableAccess.h"

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

namespace app {

class StartupPrefetch {
public:
    // How the main window connects and opens its tables; the main window's
    // own settings, kept equal to them by a test.
    struct TableToOpen {
        const char* table_name;
        const char* index_name;   // empty: index_fields chooses
        const char* index_fields;
    };
    static const db::ConnectParams& Database();
    static const std::vector<TableToOpen>& Tables();

    StartupPrefetch();
    ~StartupPrefetch();
    StartupPrefetch(const StartupPrefetch&) = delete;
    StartupPrefetch& operator=(const StartupPrefetch&) = delete;

    // Stops the rendering of glyphs, waits for the workers and makes what they
    // opened available.
    void finish();

    // Cursors made by the workers and not yet taken by a table (0 before finish()).
    int unused_tables() const;

#ifndef NDEBUG
    void check_invariants() const;
#endif

private:
    struct Opened;
    class Connection;

    void open_tables();

    std::shared_ptr<Opened> m_opened;
    db::Connector m_engine;
    db::Connector m_previous;
    bool m_finished = false;
    std::atomic<bool> m_enough_glyphs{false};
    std::thread m_tables;
    std::thread m_fonts;
};

}  // namespace app
