// Where the program works: the folder whose tables it opens and where it
// keeps its layout file, made the current directory before anything starts.
//
// A folder named on the command line is used as it is. Otherwise the current
// directory is used when it holds the subscriber table; when it does not (a
// start from the desktop menu), the user's own directory folder is:
// $XDG_DATA_HOME/abonix, or ~/.local/share/abonix. The first such start makes
// that folder a copy of the sample directory installed with the program, so
// its tables and its layout file are the user's to change.
#pragma once

#include <filesystem>
#include <optional>

namespace app {

struct StartPlaces {
    std::filesystem::path current;                 // the current directory at start-up
    std::filesystem::path user_directory;          // see user_directory()
    std::filesystem::path installed_sample;        // see installed_sample()
};

// The user's own directory folder from $XDG_DATA_HOME and $HOME (a relative
// XDG_DATA_HOME is ignored, as the XDG rules say).
std::filesystem::path user_directory(const char* xdg_data_home, const char* home);

// The sample directory installed beside the program: <prefix>/share/abonix/sample
// for <prefix>/bin/abonix.
std::filesystem::path installed_sample(const std::filesystem::path& executable);

// True when dir holds Phone2k.db (the name in any letter case).
bool has_subscriber_table(const std::filesystem::path& dir);

// The folder to work in (see above). Throws std::runtime_error when the named
// folder does not exist or the user's folder cannot be set up. Without a
// named folder, tables around or an installed sample, the current directory.
std::filesystem::path start_directory(const std::optional<std::filesystem::path>& named, const StartPlaces& places);

}  // namespace app
