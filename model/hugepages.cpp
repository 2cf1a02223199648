#include "hugepages.h"

#include <cstdint>
#include <new>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace
{
constexpr std::size_t kHugePage = std::size_t{2} << 20;
constexpr std::size_t kBigBlock = 2 * kHugePage;
} // namespace

void* AllocateBigBlock(std::size_t bytes)
{
#ifdef __linux__
    if (bytes >= kBigBlock) {
        // Map a little more and trim it to a huge-page boundary at both ends.
        const std::size_t size = (bytes + kHugePage - 1) / kHugePage * kHugePage;
        void* map = mmap(nullptr, size + kHugePage, PROT_READ | PROT_WRITE,
                         MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (map == MAP_FAILED)
            throw std::bad_alloc();
        const auto start = reinterpret_cast<std::uintptr_t>(map);
        const std::uintptr_t aligned = (start + kHugePage - 1) / kHugePage * kHugePage;
        if (aligned > start)
            munmap(map, aligned - start);
        if (aligned + size < start + size + kHugePage)
            munmap(reinterpret_cast<void*>(aligned + size), start + kHugePage - aligned);
        madvise(reinterpret_cast<void*>(aligned), size, MADV_HUGEPAGE);
        return reinterpret_cast<void*>(aligned);
    }
#endif
    return ::operator new(bytes);
}

void FreeBigBlock(void* block, std::size_t bytes)
{
#ifdef __linux__
    if (bytes >= kBigBlock) {
        munmap(block, (bytes + kHugePage - 1) / kHugePage * kHugePage);
        return;
    }
#endif
    ::operator delete(block);
}
