#include "directory/DirectoryWatch.h"

#include "text/Cp1251.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace directory {

namespace {

// A table's own file or one of its index files: ".db", ".px", ".Xnn", ".Ynn", ".XGn", ".YGn".
bool table_file_extension(const std::string& ext) {
    if (ext.size() < 3 || ext[0] != '.') return false;
    if (text::ansi_compare_text(ext, ".db") == 0 || text::ansi_compare_text(ext, ".px") == 0) return true;
    const char kind = static_cast<char>(ext[1] | 0x20);
    return (kind == 'x' || kind == 'y') && ext.size() == 4;
}

}  // namespace

DirectoryWatch::DirectoryWatch(std::filesystem::path folder, std::vector<std::string> stems)
    : m_folder(std::move(folder)), m_stems(std::move(stems)) {
    m_inotify = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_inotify >= 0 &&
        ::inotify_add_watch(m_inotify, m_folder.c_str(),
                            IN_MODIFY | IN_ATTRIB | IN_CLOSE_WRITE | IN_CREATE | IN_DELETE | IN_MOVED_FROM |
                                IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF) < 0) {
        ::close(m_inotify);
        m_inotify = -1;
    }
    m_seen = snapshot();
}

DirectoryWatch::~DirectoryWatch() {
    if (m_inotify >= 0) ::close(m_inotify);
}

std::map<std::string, DirectoryWatch::FileState> DirectoryWatch::snapshot() const {
    std::map<std::string, FileState> files;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(m_folder, ec)) {
        const std::filesystem::path& p = entry.path();
        if (!table_file_extension(p.extension().string())) continue;
        const std::string stem = p.stem().string();
        bool ours = false;
        for (const std::string& s : m_stems) ours = ours || text::ansi_compare_text(s, stem) == 0;
        if (!ours) continue;
        struct stat st {};
        if (::stat(p.c_str(), &st) != 0) continue;
        files[p.filename().string()] = {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
                                        static_cast<std::int64_t>(st.st_size),
                                        static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
    }
    return files;
}

bool DirectoryWatch::changed() {
    if (m_inotify >= 0) {
        alignas(inotify_event) char events[4096];
        bool any = false;
        for (;;) {
            const ssize_t n = ::read(m_inotify, events, sizeof events);
            if (n > 0) {
                any = true;
                continue;
            }
            if (n < 0 && errno == EINTR) continue;
            break;
        }
        if (!any) return false;
    }
    std::map<std::string, FileState> now = snapshot();
    if (now == m_seen) return false;
    m_seen = std::move(now);
    return true;
}

}  // namespace directory
