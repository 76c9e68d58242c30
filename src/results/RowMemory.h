#pragma once

#include <cstddef>
#include <memory>
#include <new>
#include <vector>

namespace vantrel {

// Memory for the grid's row store. A grid of a million rows touches a few
// hundred megabytes once; taking large blocks straight from mmap with
// transparent huge pages requested turns hundreds of thousands of page faults
// into a few hundred. Small blocks come from the heap as usual.
namespace rowmemory {

inline constexpr std::size_t kLargeBlock = std::size_t(2) << 20;  // one huge page

// Whole huge pages for `bytes` (at least one).
constexpr std::size_t roundedUp(std::size_t bytes) {
    return (bytes + kLargeBlock - 1) / kLargeBlock * kLargeBlock;
}

// mmap'ed, huge pages advised; throws std::bad_alloc. `bytes` is rounded up.
void* allocateLarge(std::size_t bytes);
void freeLarge(void* block, std::size_t bytes);
// Moves a large block to a new size (mremap, so nothing is copied).
void* resizeLarge(void* block, std::size_t oldBytes, std::size_t newBytes);

}  // namespace rowmemory

// A std::vector allocator that takes large arrays from rowmemory.
template <typename T>
struct RowAllocator {
    using value_type = T;
    RowAllocator() = default;
    template <typename U>
    RowAllocator(const RowAllocator<U>&) noexcept {}

    T* allocate(std::size_t n) {
        const std::size_t bytes = n * sizeof(T);
        if (bytes >= rowmemory::kLargeBlock)
            return static_cast<T*>(rowmemory::allocateLarge(bytes));
        return std::allocator<T>().allocate(n);
    }
    void deallocate(T* p, std::size_t n) noexcept {
        const std::size_t bytes = n * sizeof(T);
        if (bytes >= rowmemory::kLargeBlock)
            rowmemory::freeLarge(p, bytes);
        else
            std::allocator<T>().deallocate(p, n);
    }
    template <typename U>
    bool operator==(const RowAllocator<U>&) const noexcept {
        return true;
    }
};

template <typename T>
using RowVector = std::vector<T, RowAllocator<T>>;

// A growable byte buffer (the row texts): grows geometrically, by mremap
// once it is large, and leaves new bytes uninitialised.
class ByteArena {
public:
    ByteArena() = default;
    ~ByteArena();
    ByteArena(const ByteArena&) = delete;
    ByteArena& operator=(const ByteArena&) = delete;

    std::size_t size() const { return m_size; }
    char* data() { return m_data; }
    const char* data() const { return m_data; }
    // Grows or shrinks the used part; new bytes are uninitialised.
    void resize(std::size_t size);
    void append(const char* bytes, std::size_t count);
    // Gives all memory back.
    void release();

private:
    void reserve(std::size_t capacity);

    char* m_data = nullptr;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
};

}  // namespace vantrel
