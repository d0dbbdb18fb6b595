#include "app/StartDirectory.h"

#include "platform/classes/ScopeExit.h"
#include "text/Cp1251.h"

#include <stdexcept>
#include <string>

#include <unistd.h>

namespace app {

namespace fs = std::filesystem;

fs::path user_directory(const char* xdg_data_home, const char* home) {
    if (xdg_data_home && fs::path(xdg_data_home).is_absolute()) return fs::path(xdg_data_home) / "abonix";
    return fs::path(home ? home : "") / ".local" / "share" / "abonix";
}

fs::path installed_sample(const fs::path& executable) {
    return executable.parent_path().parent_path() / "share" / "abonix" / "sample";
}

bool has_subscriber_table(const fs::path& dir) {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dir, ec))
        if (text::ansi_compare_text(entry.path().filename().string(), "Phone2k.db") == 0) return true;
    return false;
}

namespace {

// Copies the sample into a folder beside the user's and renames it into place,
// so a start that is cut short never leaves a half-filled directory behind.
void set_up(const fs::path& user, const fs::path& sample) {
    fs::create_directories(user.parent_path());
    const fs::path staging = user.parent_path() / (".abonix-setup-" + std::to_string(::getpid()));
    fs::remove_all(staging);
    fs::create_directory(staging);
    ScopeExit undo([&staging] {
        std::error_code ignored;
        fs::remove_all(staging, ignored);
    });
    for (const auto& entry : fs::directory_iterator(sample)) {
        if (!entry.is_regular_file()) continue;
        const fs::path copy = staging / entry.path().filename();
        fs::copy_file(entry.path(), copy);
        // Installed files are read-only; the copies are the user's.
        fs::permissions(copy, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add);
    }
    std::error_code ec;
    fs::rename(staging, user, ec);
    // Another start that set it up at the same moment won; its copy is as good.
    if (ec && !fs::is_directory(user)) throw fs::filesystem_error("cannot set up the directory", staging, user, ec);
    if (ec) fs::remove_all(staging);
    undo.release();
}

}  // namespace

fs::path start_directory(const std::optional<fs::path>& named, const StartPlaces& places) {
    if (named) {
        std::error_code ec;
        if (!fs::is_directory(*named, ec)) throw std::runtime_error(named->string() + ": no such folder");
        return fs::absolute(*named);
    }
    if (has_subscriber_table(places.current)) return places.current;
    std::error_code ec;
    if (fs::is_directory(places.user_directory, ec)) return places.user_directory;
    if (!has_subscriber_table(places.installed_sample)) return places.current;
    try {
        set_up(places.user_directory, places.installed_sample);
    } catch (const fs::filesystem_error& e) {
        throw std::runtime_error(places.user_directory.string() + ": cannot set up the directory: " + e.code().message());
    }
    return places.user_directory;
}

}  // namespace app
