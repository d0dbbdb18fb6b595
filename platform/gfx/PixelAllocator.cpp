#include "platform/gfx/PixelAllocator.h"

#include <cstdlib>
#include <new>

#include <sys/mman.h>

namespace gfx {

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

bool huge(std::size_t bytes) { return bytes >= kHugePage; }

std::size_t rounded(std::size_t bytes) { return (bytes + kHugePage - 1) / kHugePage * kHugePage; }

}  // namespace

Pixel* PixelAllocator::allocate(std::size_t n) {
    if (n > static_cast<std::size_t>(-1) / sizeof(Pixel) / 2) throw std::bad_array_new_length();
    const std::size_t bytes = n * sizeof(Pixel);
    if (!huge(bytes)) return static_cast<Pixel*>(::operator new(bytes));
    void* p = std::aligned_alloc(kHugePage, rounded(bytes));
    if (!p) throw std::bad_alloc();
    // Only advice: where the kernel has no huge pages to give, ordinary ones serve.
    ::madvise(p, rounded(bytes), MADV_HUGEPAGE);
    return static_cast<Pixel*>(p);
}

void PixelAllocator::deallocate(Pixel* p, std::size_t n) noexcept {
    if (huge(n * sizeof(Pixel)))
        std::free(p);
    else
        ::operator delete(p);
}

}  // namespace gfx
