#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <type_traits>
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
    ByteArena();
    ~ByteArena();
    ByteArena(const ByteArena&) = delete;
    ByteArena& operator=(const ByteArena&) = delete;

    std::size_t size() const { return m_size; }
    char* data() { return m_data; }
    const char* data() const { return m_data; }
    // Grows or shrinks the used part; new bytes are uninitialised.
    void resize(std::size_t size) {
        if (size > m_capacity)
            reserve(size);
        m_size = size;
        if (size > m_warmMark)
            warmAhead();
    }
    void append(const char* bytes, std::size_t count);
    // Makes room for `capacity` bytes without using them.
    void reserve(std::size_t capacity);
    // Gives all memory back.
    void release();

private:
    class Warmer;
    void warmAhead();

    char* m_data = nullptr;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
    std::size_t m_warmMark = SIZE_MAX;  // warmAhead() once the size passes it
    std::unique_ptr<Warmer> m_warmer;
};

// An array of plain records over a ByteArena: growing it never copies the
// records already there once it is large (mremap moves the pages) and never
// writes the new ones before the caller does, so a million rows touch their
// memory once. Only for trivially copyable records.
template <typename T>
class RowArray {
    static_assert(std::is_trivially_copyable_v<T>, "RowArray holds plain records only");

public:
    std::size_t size() const { return m_bytes.size() / sizeof(T); }
    bool empty() const { return m_bytes.size() == 0; }
    T* data() { return reinterpret_cast<T*>(m_bytes.data()); }
    const T* data() const { return reinterpret_cast<const T*>(m_bytes.data()); }
    T& operator[](std::size_t i) { return data()[i]; }
    const T& operator[](std::size_t i) const { return data()[i]; }
    T* begin() { return data(); }
    T* end() { return data() + size(); }
    const T* begin() const { return data(); }
    const T* end() const { return data() + size(); }
    const T* cbegin() const { return begin(); }
    const T* cend() const { return end(); }

    // Appends `count` records left uninitialised and returns the first.
    T* extend(std::size_t count) {
        const std::size_t old = size();
        m_bytes.resize((old + count) * sizeof(T));
        return data() + old;
    }
    void push_back(const T& value) { *extend(1) = value; }
    void reserve(std::size_t count) { m_bytes.reserve(count * sizeof(T)); }
    // Removes one record, keeping the order of the rest.
    void erase(const T* at) {
        const std::size_t i = std::size_t(at - data());
        std::memmove(data() + i, data() + i + 1, (size() - i - 1) * sizeof(T));
        m_bytes.resize(m_bytes.size() - sizeof(T));
    }
    // Empties the array; clear() keeps the memory, release() gives it back.
    void clear() { m_bytes.resize(0); }
    void release() { m_bytes.release(); }

private:
    ByteArena m_bytes;
};

}  // namespace vantrel
