#include "engine/Database.h"

#include "engine/EngineError.h"
#include "text/Cp1251.h"

namespace engine {

Database Database::connect(std::string_view name, const Config& cfg) {
    Database db;
    db.m_name = AnsiString(name);
    db.m_config = &cfg;
    db.m_directory = std::filesystem::current_path();
    for (const auto& [alias, folder] : cfg.aliases) {
        if (alias.size() == name.size() && text::ansi_compare_text(alias, name) == 0) {
            db.m_directory = folder;
            break;
        }
    }
    std::error_code ec;
    if (!std::filesystem::is_directory(db.m_directory, ec))
        throw EngineError(kErrNotFound, "Database " + AnsiString(name) + ": folder " +
                                            text::utf8_to_cp1251(db.m_directory.string()) + " does not exist");
    return db;
}

std::filesystem::path Database::table_path(std::string_view table_name) const {
    std::string file = text::cp1251_to_utf8(table_name);
    if (std::filesystem::path(file).extension().empty()) file += ".db";
    std::filesystem::path exact = m_directory / file;
    std::error_code ec;
    if (std::filesystem::exists(exact, ec)) return exact;
    for (const auto& entry : std::filesystem::directory_iterator(m_directory, ec)) {
        const std::string candidate = entry.path().filename().string();
        if (candidate.size() == file.size() &&
            text::ansi_compare_text(text::utf8_to_cp1251(candidate), text::utf8_to_cp1251(file)) == 0)
            return entry.path();
    }
    return exact;
}

std::shared_ptr<Table> Database::open_table(std::string_view table_name, const OpenOptions& options) const {
    return Table::open(table_path(table_name), options, *m_config);
}

}  // namespace engine
