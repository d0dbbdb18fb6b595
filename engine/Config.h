// The engine's own configuration: the code page of tables that declare none
// and the database names that map to folders. "Phone" needs no entry: a name
// without one resolves to the process's current directory.
#pragma once

#include "text/AnsiString.h"

#include <cstdint>
#include <filesystem>
#include <map>

namespace engine {

struct Config {
    int default_code_page = 866;
    std::map<AnsiString, std::filesystem::path> aliases;  // name (any letter case) -> folder
    // Index files of tables up to this many records are checked entry by entry
    // before their order is used; bigger ones as each entry is first used.
    std::uint32_t index_check_limit = 20000;
};

// The process-wide configuration the engine uses unless told otherwise.
Config& config();

}  // namespace engine
