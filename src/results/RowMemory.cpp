#include "results/RowMemory.h"

#include <sys/mman.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
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

// Faults in the pages just past a large arena's used part on a thread of its
// own, so that the thread writing rows finds them ready: the first touch of
// fresh memory (the kernel zeroing it, or a virtual machine's host backing
// it) is most of the cost of filling a large grid. It never writes: the
// kernel populates pages as a write would (MADV_POPULATE_WRITE), leaving what
// is already there alone. The arena moves its block (mremap) only while it
// holds the lock, so a page range is never warmed after it moved.
class ByteArena::Warmer {
public:
    // How far ahead of the used part: an eighth of it, between one and
    // eight huge pages, so a small arena never holds much more than it uses.
    static std::size_t ahead(std::size_t used) {
        return std::clamp(used / 8, rowmemory::kLargeBlock, 8 * rowmemory::kLargeBlock);
    }
    static constexpr std::size_t kStep = rowmemory::kLargeBlock;

    Warmer() : m_thread([this] { run(); }) {}
    ~Warmer() {
        {
            std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_wake.notify_one();
        m_thread.join();
    }
    Warmer(const Warmer&) = delete;
    Warmer& operator=(const Warmer&) = delete;

    // Taken by the arena while it moves its block.
    std::mutex& mutex() { return m_mutex; }
    // The block as it is now; called with the lock held.
    void setBlock(char* data, std::size_t capacity) {
        m_data = data;
        m_capacity = capacity;
    }
    // Asks for the block to be warm up to `end`; never waits for the thread.
    void warmUpTo(std::size_t end) {
        m_wanted.store(end, std::memory_order_relaxed);
        m_wake.notify_one();
    }

private:
    void run() {
        std::unique_lock lock(m_mutex);
        while (!m_stop) {
            const std::size_t end =
                std::min(m_wanted.load(std::memory_order_relaxed), m_capacity);
            if (m_failed || m_warm >= end) {
                // A request made between the test and the wait is picked up
                // at the next request or after the time-out.
                m_wake.wait_for(lock, std::chrono::milliseconds(20));
                continue;
            }
            // One huge page at a time, with the lock held, so the block
            // cannot move under it.
            const std::size_t from = m_warm / kStep * kStep;
            const std::size_t to = std::min(from + kStep, m_capacity);
            if (::madvise(m_data + from, to - from, MADV_POPULATE_WRITE) != 0)
                m_failed = true;  // a kernel without it: nothing to gain
            m_warm = to;
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    char* m_data = nullptr;
    std::size_t m_capacity = 0;
    std::atomic<std::size_t> m_wanted{0};
    std::size_t m_warm = 0;
    bool m_failed = false;
    bool m_stop = false;
    std::thread m_thread;
};

ByteArena::ByteArena() = default;

ByteArena::~ByteArena() {
    release();
}

void ByteArena::warmAhead() {
    if (!m_warmer)
        return;
    const std::size_t ahead = Warmer::ahead(m_size);
    m_warmer->warmUpTo(m_size + ahead);
    m_warmMark = m_size + ahead / 2;
}

void ByteArena::release() {
    m_warmer.reset();
    m_warmMark = SIZE_MAX;
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
            std::lock_guard lock(m_warmer->mutex());
            m_data = static_cast<char*>(rowmemory::resizeLarge(m_data, m_capacity, rounded));
            m_warmer->setBlock(m_data, rounded);
        } else {
            char* block = static_cast<char*>(rowmemory::allocateLarge(rounded));
            if (m_size > 0)
                std::memcpy(block, m_data, m_size);
            std::free(m_data);
            m_data = block;
            m_warmer = std::make_unique<Warmer>();
            std::lock_guard lock(m_warmer->mutex());
            m_warmer->setBlock(m_data, rounded);
        }
        m_capacity = rounded;
        m_warmMark = 0;
        return;
    }
    char* block = static_cast<char*>(std::realloc(m_data, wanted));
    if (!block)
        throw std::bad_alloc();
    m_data = block;
    m_capacity = wanted;
}

void ByteArena::append(const char* bytes, std::size_t count) {
    if (count == 0)
        return;
    const std::size_t old = m_size;
    resize(old + count);
    std::memcpy(m_data + old, bytes, count);
}

}  // namespace vantrel
