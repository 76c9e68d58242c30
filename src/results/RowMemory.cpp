#include "results/RowMemory.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace vantrel {

namespace rowmemory {

void* allocateLarge(std::size_t bytes) {
    const std::size_t size = roundedUp(bytes);
    void* block = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (block == MAP_FAILED)
        throw std::bad_alloc();
    ::madvise(block, size, MADV_HUGEPAGE);  // advice only: failure changes nothing
    return block;
}

void freeLarge(void* block, std::size_t bytes) {
    if (block)
        ::munmap(block, roundedUp(bytes));
}

void* resizeLarge(void* block, std::size_t oldBytes, std::size_t newBytes) {
    const std::size_t size = roundedUp(newBytes);
    void* moved = ::mremap(block, roundedUp(oldBytes), size, MREMAP_MAYMOVE);
    if (moved == MAP_FAILED)
        throw std::bad_alloc();
    ::madvise(moved, size, MADV_HUGEPAGE);
    return moved;
}

}  // namespace rowmemory

ByteArena::~ByteArena() {
    release();
}

void ByteArena::release() {
    if (m_capacity >= rowmemory::kLargeBlock)
        rowmemory::freeLarge(m_data, m_capacity);
    else
        std::free(m_data);
    m_data = nullptr;
    m_size = 0;
    m_capacity = 0;
}

void ByteArena::reserve(std::size_t capacity) {
    if (capacity <= m_capacity)
        return;
    const std::size_t wanted = std::max({capacity, m_capacity * 2, std::size_t(4096)});
    if (wanted >= rowmemory::kLargeBlock) {
        const std::size_t rounded = rowmemory::roundedUp(wanted);
        if (m_capacity >= rowmemory::kLargeBlock) {
            m_data = static_cast<char*>(rowmemory::resizeLarge(m_data, m_capacity, rounded));
        } else {
            char* block = static_cast<char*>(rowmemory::allocateLarge(rounded));
            if (m_size > 0)
                std::memcpy(block, m_data, m_size);
            std::free(m_data);
            m_data = block;
        }
        m_capacity = rounded;
        return;
    }
    char* block = static_cast<char*>(std::realloc(m_data, wanted));
    if (!block)
        throw std::bad_alloc();
    m_data = block;
    m_capacity = wanted;
}

void ByteArena::resize(std::size_t size) {
    reserve(size);
    m_size = size;
}

void ByteArena::append(const char* bytes, std::size_t count) {
    if (count == 0)
        return;
    const std::size_t old = m_size;
    resize(old + count);
    std::memcpy(m_data + old, bytes, count);
}

}  // namespace vantrel
