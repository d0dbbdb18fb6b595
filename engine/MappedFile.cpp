#include "engine/MappedFile.h"

#include "engine/EngineError.h"
#include "text/Cp1251.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace engine {

MappedFile::MappedFile(const std::filesystem::path& path) {
    const AnsiString name = text::utf8_to_cp1251(path.string());
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        int err = errno;
        throw EngineError(err == ENOENT ? kErrNotFound : kErrIo,
                          name + ": " + (err == ENOENT ? AnsiString("file not found") : AnsiString(std::strerror(err))));
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        throw EngineError(kErrIo, name + ": not a regular file");
    }
    m_size = static_cast<std::size_t>(st.st_size);
    if (m_size > 0) {
        void* p = ::mmap(nullptr, m_size, PROT_READ, MAP_PRIVATE, fd, 0);
        if (p == MAP_FAILED) {
            int err = errno;
            ::close(fd);
            throw EngineError(kErrIo, name + ": cannot map the file: " + std::strerror(err));
        }
        m_data = static_cast<const unsigned char*>(p);
        // Records are reached through index orders, all over the file: mapping
        // one page per fault instead of a window around it makes opening and
        // lookups cheaper, and closing too.
        ::madvise(p, m_size, MADV_RANDOM);
    }
    ::close(fd);
}

MappedFile::MappedFile(const std::filesystem::path& path, std::size_t max_bytes) {
    const AnsiString name = text::utf8_to_cp1251(path.string());
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        int err = errno;
        throw EngineError(err == ENOENT ? kErrNotFound : kErrIo,
                          name + ": " + (err == ENOENT ? AnsiString("file not found") : AnsiString(std::strerror(err))));
    }
    m_buffer.resize(max_bytes);
    std::size_t got = 0;
    while (got < max_bytes) {
        const ssize_t n = ::pread(fd, m_buffer.data() + got, max_bytes - got, static_cast<off_t>(got));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            int err = errno;
            ::close(fd);
            throw EngineError(kErrIo, name + ": " + std::strerror(err));
        }
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    m_buffer.resize(got);
    m_size = got;
    m_data = m_buffer.data();
}

MappedFile::~MappedFile() { release(); }

void MappedFile::expect_sequential_reads() const {
    if (m_data && m_buffer.empty()) ::madvise(const_cast<unsigned char*>(m_data), m_size, MADV_NORMAL);
}

MappedFile::MappedFile(MappedFile&& other) noexcept
    : m_buffer(std::move(other.m_buffer)), m_data(other.m_data), m_size(other.m_size) {
    other.m_data = nullptr;
    other.m_size = 0;
}

MappedFile& MappedFile::operator=(MappedFile&& other) noexcept {
    if (this != &other) {
        release();
        m_buffer = std::move(other.m_buffer);
        m_data = other.m_data;
        m_size = other.m_size;
        other.m_data = nullptr;
        other.m_size = 0;
    }
    return *this;
}

void MappedFile::release() {
    if (m_data && m_buffer.empty()) ::munmap(const_cast<unsigned char*>(m_data), m_size);
    m_buffer.clear();
    m_data = nullptr;
    m_size = 0;
}

}  // namespace engine
