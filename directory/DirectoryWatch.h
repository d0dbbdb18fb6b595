// Whether the files of the directory's tables changed on disk: the tables
// themselves and every index file beside them (.PX, .Xnn/.Ynn, .XGn/.YGn),
// also files that appeared or went away. Another program may rewrite,
// replace or cut them short while the window shows them.
//
// changed() compares each file's device, inode, size and modification time
// with what the previous call saw. Where inotify is there, it first asks
// whether anything at all happened in the folder since the previous call, and
// looks at the files only then: a check costs one read() while nothing
// happens, so it can run on every search and on a timer without polling.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace directory {

class DirectoryWatch {
public:
    // stems: the tables' names without extension ("Phone2k"), letter case ignored.
    DirectoryWatch(std::filesystem::path folder, std::vector<std::string> stems);
    ~DirectoryWatch();
    DirectoryWatch(const DirectoryWatch&) = delete;
    DirectoryWatch& operator=(const DirectoryWatch&) = delete;

    // True when a file differs from what the previous call (or the construction) saw.
    bool changed();

    struct FileState {
        std::uint64_t device = 0, inode = 0;
        std::int64_t size = 0, mtime_ns = 0;
        bool operator==(const FileState&) const = default;
    };

private:
    std::map<std::string, FileState> snapshot() const;

    std::filesystem::path m_folder;
    std::vector<std::string> m_stems;
    std::map<std::string, FileState> m_seen;
    int m_inotify = -1;  // -1: none, every check looks at the files
};

}  // namespace directory
