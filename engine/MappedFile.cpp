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
    }
    ::close(fd);
}

MappedFile::~MappedFile() { release(); }

MappedFile::MappedFile(MappedFile&& other) noexcept : m_data(other.m_data), m_size(other.m_size) {
    other.m_data = nullptr;
    other.m_size = 0;
}

MappedFile& MappedFile::operator=(MappedFile&& other) noexcept {
    if (this != &other) {
        release();
        m_data = other.m_data;
        m_size = other.m_size;
        other.m_data = nullptr;
        other.m_size = 0;
    }
    return *this;
}

void MappedFile::release() {
    if (m_data) ::munmap(const_cast<unsigned char*>(m_data), m_size);
    m_data = nullptr;
    m_size = 0;
}

}  // namespace engine
