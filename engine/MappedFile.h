// A whole file mapped read-only. Everything the engine reads from a table
// goes through the bounds of this mapping.
//
// The engine keeps the mappings of the last few files it opened, keyed by
// device, inode, size and modification time: opening an unchanged table again
// reuses its mapping and the pages already mapped in it, instead of setting up
// and faulting in a fresh one. A file replaced or changed on disk gets a new
// key and so a new mapping.
#pragma once

#include "text/AnsiString.h"

#include <atomic>
#include <cstddef>
#include <filesystem>
#include <memory>
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
    MappedFile(MappedFile&&) noexcept = default;
    MappedFile& operator=(MappedFile&&) noexcept = default;
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    const unsigned char* data() const { return m_data; }
    std::size_t size() const { return m_size; }
    // True once pages of the mapping went missing from the file: what was
    // read from it since may be zeros instead of the file's bytes.
    bool lost() const { return m_lost && m_lost->load(std::memory_order_relaxed); }

    // Maps every page now, in one call: far cheaper than a fault per page
    // when the whole file is about to be read out of order. A hint only.
    void populate() const;

    // How many closed files keep their mappings (16 unless changed; 0 turns the reuse off).
    static void set_kept_mappings(std::size_t count);

    struct Region;

private:
    void read_all(int fd, const AnsiString& name);

    std::shared_ptr<const Region> m_region;  // set when mapped
    std::vector<unsigned char> m_buffer;     // the bytes when they were read, not mapped
    const unsigned char* m_data = nullptr;
    const std::atomic<bool>* m_lost = nullptr;  // the region's flag, when mapped
    std::size_t m_size = 0;
};

}  // namespace engine
