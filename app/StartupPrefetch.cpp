#include "app/StartupPrefetch.h"

#include "platform/classes/Invariant.h"
#include "platform/db/EDatabaseError.h"
#include "platform/db/IndexSelection.h"
#include "platform/classes/ScopeExit.h"
#include "platform/db/Session.h"
#include "platform/gfx/FontFace.h"
#include "platform/ui/StartupTrace.h"
#include "platform/ui/SystemSettings.h"

#include <cassert>
#include <map>
#include <string>
#include <vector>

namespace app {

namespace {

void describe(TFont& f, const char* name, int height) {
    f.SetName(name);
    f.SetHeight(height);
}

// The characters of a directory's screen, most frequent first (CP1251):
// digits, Russian small and capital letters, punctuation, Latin letters.
std::string likely_characters() {
    std::string s = "0123456789";
    for (int c = 0xE0; c <= 0xFF; ++c) s += static_cast<char>(c);
    for (int c = 0xC0; c <= 0xDF; ++c) s += static_cast<char>(c);
    s += " .,-/()\xB9\"':;\xB8\xA8";
    for (char c = 'a'; c <= 'z'; ++c) s += c;
    for (char c = 'A'; c <= 'Z'; ++c) s += c;
    return s;
}

}  // namespace

const db::ConnectParams& StartupPrefetch::Database() {
    static const db::ConnectParams params{"Phone", "STANDARD", {"DEFAULT DRIVER=PARADOX", "ENABLE BCD=FALSE"}};
    return params;
}

const std::vector<StartupPrefetch::TableToOpen>& StartupPrefetch::Tables() {
    static const std::vector<TableToOpen> tables{
        {"Phone2k.db", "LastName Index", ""}, {"City.db", "", "City"}, {"Street.db", "", "Street"}};
    return tables;
}

// What the table worker made: the connection and, by table name, each
// table's cursor already in its order, with the read-only flag it was opened
// with.
struct StartupPrefetch::Opened {
    struct Table {
        std::unique_ptr<db::TableCursor> cursor;
        bool read_only = false;
    };
    std::unique_ptr<db::Connection> connection;
    std::map<AnsiString, Table> tables;
};

// The connection the main window's database receives: the worker's, handing
// out each pre-opened cursor once.
class StartupPrefetch::Connection final : public db::Connection {
public:
    explicit Connection(std::shared_ptr<Opened> opened)
        : m_opened(std::move(opened)), m_inner(std::move(m_opened->connection)) {}

    std::unique_ptr<db::TableCursor> open_table(const AnsiString& table_name, bool read_only,
                                                const std::vector<AnsiString>& passwords) override {
        auto& tables = m_opened->tables;
        auto it = tables.find(table_name);
        if (it != tables.end() && it->second.read_only == read_only && passwords.empty()) {
            std::unique_ptr<db::TableCursor> cursor = std::move(it->second.cursor);
            tables.erase(it);
            return cursor;
        }
        return m_inner->open_table(table_name, read_only, passwords);
    }

private:
    std::shared_ptr<Opened> m_opened;
    std::unique_ptr<db::Connection> m_inner;
};

StartupPrefetch::StartupPrefetch() : m_opened(std::make_shared<Opened>()) {
    // The way the session connects now, asked here: the workers touch nothing the GUI thread uses.
    db::Session& session = db::Session::Default();
    m_engine = session.SetConnector({});
    session.SetConnector(m_engine);
    m_tables = std::thread([this] { open_tables(); });
    // A thread left running when the second cannot start would end the program.
    ScopeExit join_tables([this] { m_tables.join(); });
    m_fonts = std::thread([this] {
        try {
            // The faces of the grid, of its phone column, of the bars (the
            // system's menu font) and the framework's default one, the ones
            // with the most text on the first screen first.
            TFont fonts[4];
            describe(fonts[0], "Courier New", -13);
            describe(fonts[1], "Courier New", -11);
            ui::assign_system_font(ui::menu_font(), fonts[2]);
            std::vector<gfx::FontFace*> faces;
            for (const TFont& f : fonts) faces.push_back(&gfx::font_face(f));
            ui::startup_step("fonts ready");
            const std::string characters = likely_characters();
            for (gfx::FontFace* face : faces)
                for (char c : characters) {
                    if (m_enough_glyphs.load(std::memory_order_relaxed)) return;
                    face->glyph(static_cast<unsigned char>(c));
                }
            ui::startup_step("glyphs ready");
        } catch (...) {
            // Nothing may leave a worker; the faces are then made as the first paint asks for them.
        }
    });
    join_tables.release();
}

StartupPrefetch::~StartupPrefetch() {
    m_enough_glyphs = true;
    if (m_tables.joinable()) m_tables.join();
    if (m_fonts.joinable()) m_fonts.join();
    if (m_finished) db::Session::Default().SetConnector(std::move(m_previous));
}

void StartupPrefetch::open_tables() {
    // A failure here is left for the main window to meet again and report.
    try {
        if (!m_engine) return;
        m_opened->connection = m_engine(Database());
        for (const TableToOpen& t : Tables()) {
            try {
                Opened::Table table;
                try {
                    table.cursor = m_opened->connection->open_table(t.table_name, false, {});
                } catch (const EDBEngineError& e) {
                    if (e.ErrorCode() != db::kErrNoWriteAccess) throw;
                    table.read_only = true;
                    table.cursor = m_opened->connection->open_table(t.table_name, true, {});
                }
                const auto defs = table.cursor->index_defs();
                const int order = *t.index_name ? db::find_index_by_name(defs, t.index_name)
                                                : db::select_index(defs, t.index_fields);
                if (order < 0) continue;
                table.cursor->set_order(order, 0);
                m_opened->tables.emplace(t.table_name, std::move(table));
            } catch (const std::exception&) {
                // This table alone; the others may still open.
            }
        }
    } catch (...) {
        // Nothing may leave a worker (that would end the program): start as if nothing was prepared.
        m_opened->connection.reset();
        m_opened->tables.clear();
    }
    ui::startup_step("tables prefetched");
}

void StartupPrefetch::finish() {
    if (m_finished) return;
    m_enough_glyphs = true;
    m_tables.join();
    m_fonts.join();
    m_finished = true;
    m_previous = db::Session::Default().SetConnector(
        [opened = m_opened, engine = m_engine](const db::ConnectParams& params) -> std::unique_ptr<db::Connection> {
            const db::ConnectParams& ours = Database();
            if (opened->connection && params.database_name == ours.database_name &&
                params.driver_name == ours.driver_name && params.params == ours.params)
                return std::make_unique<Connection>(opened);
            return engine(params);
        });
}

int StartupPrefetch::unused_tables() const {
    if (!m_finished) return 0;
    return static_cast<int>(m_opened->tables.size());
}

#ifndef NDEBUG
void StartupPrefetch::check_invariants() const {
    INVARIANT(m_finished == (!m_tables.joinable() && !m_fonts.joinable()), "StartupPrefetch: m_finished == (!m_tables.joinable() && !m_fonts.joinable())");
    for (const auto& [name, table] : m_opened->tables) INVARIANT(table.cursor, "StartupPrefetch: every prefetched table has its cursor");
}
#endif

}  // namespace app
