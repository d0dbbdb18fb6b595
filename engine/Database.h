// A database name resolved to the folder that holds its tables.
//
// A name configured in Config::aliases maps to its folder; any other name
// (the directory's "Phone" among them) resolves to the process's current
// directory, as a database without a PATH parameter does.
#pragma once

#include "engine/Config.h"
#include "engine/Table.h"

#include <filesystem>
#include <memory>
#include <string_view>

namespace engine {

class Database {
public:
    // Throws kErrNotFound when the folder does not exist.
    static Database connect(std::string_view name, const Config& cfg = config());

    const AnsiString& name() const { return m_name; }
    const std::filesystem::path& directory() const { return m_directory; }
    // The file of a table name such as "Phone2k.db"; letter case is ignored
    // when no file matches exactly. A name without an extension gets ".db".
    std::filesystem::path table_path(std::string_view table_name) const;
    std::shared_ptr<Table> open_table(std::string_view table_name, const OpenOptions& options = {}) const;

private:
    AnsiString m_name;
    std::filesystem::path m_directory;
    const Config* m_config = nullptr;
};

}  // namespace engine
