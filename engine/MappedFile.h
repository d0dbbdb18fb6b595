// A whole file mapped read-only. Everything the engine reads from a table
// goes through the bounds of this mapping.
#pragma once

#include <cstddef>
#include <filesystem>
#include <vector>

namespace engine {

class MappedFile {
public:
    MappedFile() = default;
    // Throws EngineError: kErrNotFound when the file is missing, kErrIo otherwise.
    explicit MappedFile(const std::filesystem::path& path);
    // Only the first bytes of a file, read rather than mapped: cheaper when a
    // header is all we need (the index definitions at open time).
    MappedFile(const std::filesystem::path& path, std::size_t max_bytes);
    ~MappedFile();
    MappedFile(MappedFile&& other) noexcept;
    MappedFile& operator=(MappedFile&& other) noexcept;
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    // The mapping starts out tuned for random reads (a table reached through
    // index orders); an index file is mostly walked in order.
    void expect_sequential_reads() const;

    const unsigned char* data() const { return m_data; }
    std::size_t size() const { return m_size; }

private:
    void release();
    std::vector<unsigned char> m_buffer;  // holds the bytes when they were read, not mapped
    const unsigned char* m_data = nullptr;
    std::size_t m_size = 0;
};

}  // namespace engine
