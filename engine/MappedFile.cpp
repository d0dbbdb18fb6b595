#include "engine/MappedFile.h"

#include "engine/EngineError.h"
#include "engine/LostPages.h"
#include "text/Cp1251.h"

#include <cerrno>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <mutex>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace engine {

struct MappedFile::Region {
    Region(const void* p, std::size_t n) : data(static_cast<const unsigned char*>(p)), size(n) {
        watched = LostPages::watch(p, n, &lost);
    }
    ~Region() {
        if (watched) LostPages::unwatch(&lost);
        if (data) ::munmap(const_cast<unsigned char*>(data), size);
    }
    Region(const Region&) = delete;
    Region& operator=(const Region&) = delete;
    const unsigned char* data;
    std::size_t size;
    bool watched = false;
    // Set by the bus error handler when pages of the file went missing under the mapping.
    std::atomic<bool> lost{false};
};

namespace {

struct FileKey {
    dev_t device;
    ino_t inode;
    off_t size;
    std::int64_t mtime_ns;
    bool operator==(const FileKey&) const = default;
};

// Most recently opened last.
struct KeptMappings {
    std::mutex mutex;
    std::size_t limit = 16;
    std::deque<std::pair<FileKey, std::shared_ptr<const MappedFile::Region>>> entries;
};

KeptMappings& kept() {
    static KeptMappings k;
    return k;
}

[[noreturn]] void open_failed(const AnsiString& name, int err) {
    throw EngineError(err == ENOENT ? kErrNotFound : kErrIo,
                      name + ": " + (err == ENOENT ? AnsiString("file not found") : AnsiString(std::strerror(err))));
}

// Closes the descriptor on every way out.
struct Descriptor {
    explicit Descriptor(int f) : fd(f) {}
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int fd;
};

}  // namespace

void MappedFile::set_kept_mappings(std::size_t count) {
    KeptMappings& k = kept();
    std::lock_guard lock(k.mutex);
    k.limit = count;
    while (k.entries.size() > k.limit) k.entries.pop_front();
}

MappedFile::MappedFile(const std::filesystem::path& path) {
    const AnsiString name = text::utf8_to_cp1251(path.string());
    Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.fd < 0) open_failed(name, errno);
    struct stat st {};
    if (::fstat(file.fd, &st) != 0 || !S_ISREG(st.st_mode)) throw EngineError(kErrIo, name + ": not a regular file");
    m_size = static_cast<std::size_t>(st.st_size);
    if (m_size == 0) return;
    const FileKey key{st.st_dev, st.st_ino, st.st_size,
                      static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
    KeptMappings& k = kept();
    std::lock_guard lock(k.mutex);
    for (auto it = k.entries.begin(); it != k.entries.end(); ++it) {
        if (it->first == key && !it->second->lost.load(std::memory_order_relaxed)) {
            m_region = it->second;
            k.entries.erase(it);
            k.entries.emplace_back(key, m_region);
            m_data = m_region->data;
            m_lost = &m_region->lost;
            return;
        }
    }
    void* p = ::mmap(nullptr, m_size, PROT_READ, MAP_PRIVATE, file.fd, 0);
    if (p == MAP_FAILED) throw EngineError(kErrIo, name + ": cannot map the file: " + std::strerror(errno));
    auto region = std::make_shared<const Region>(p, m_size);
    if (!region->watched) {
        // Unwatched, a file cut short would end the program: its bytes are read instead.
        region.reset();
        read_all(file.fd, name);
        return;
    }
    m_region = std::move(region);
    m_data = m_region->data;
    m_lost = &m_region->lost;
    if (k.limit == 0) return;
    k.entries.emplace_back(key, m_region);
    while (k.entries.size() > k.limit) k.entries.pop_front();
}

MappedFile::MappedFile(const std::filesystem::path& path, std::size_t max_bytes) {
    const AnsiString name = text::utf8_to_cp1251(path.string());
    Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.fd < 0) open_failed(name, errno);
    m_size = max_bytes;
    read_all(file.fd, name);
}

void MappedFile::read_all(int fd, const AnsiString& name) {
    m_buffer.resize(m_size);
    std::size_t got = 0;
    while (got < m_size) {
        const ssize_t n = ::pread(fd, m_buffer.data() + got, m_size - got, static_cast<off_t>(got));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw EngineError(kErrIo, name + ": " + std::strerror(errno));
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    m_buffer.resize(got);
    m_size = got;
    m_data = m_buffer.data();
}

void MappedFile::populate() const {
#ifdef MADV_POPULATE_READ
    if (m_region && m_size > 0) {
        // madvise wants a page-aligned start; the mapping begins on a page.
        ::madvise(const_cast<unsigned char*>(m_data), m_size, MADV_POPULATE_READ);
    }
#endif
}

}  // namespace engine
