#pragma once

#include "scan/WalkFolder.h"

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace vantrel {

// The threads that read folders ahead of a walk, for one root. Internal to
// the walk.
//
// The walking thread takes folders in walk order (obtain); the workers read
// the folders it will want next: they take the folder added last first, and
// a folder's sub-folders are added first to last once it is read, so they
// follow the walk's own depth-first order. What they have read and the walk
// has not yet taken is bounded (kHeldFolders, kHeldEntries); past the bound
// they wait. A folder the walk wants that no worker has started is read by
// the walking thread itself, so the walk never waits on a worker that waits
// on the bound.
//
// With no workers the walking thread reads every folder itself when it comes
// to it, and makes the records of its entries only when it hands them on
// (after the sub-folders), keeping the folder open meanwhile for the first
// kOpenLevels levels only: a one-thread walk.
class WalkPool {
public:
    static constexpr std::size_t kHeldFolders = 4096;
    static constexpr std::size_t kHeldEntries = 1 << 16;
    // A folder of more entries than this is listed ahead but its entries are
    // looked at when the walk hands them on, so that no folder of millions of
    // files holds a record of each one in memory.
    static constexpr std::size_t kLookLimit = 1 << 16;
    static constexpr int kOpenLevels = 32;

    WalkPool(const WalkContext& context, int workers);
    // Stops and joins the workers.
    ~WalkPool();
    WalkPool(const WalkPool&) = delete;
    WalkPool& operator=(const WalkPool&) = delete;

    [[nodiscard]] bool threaded() const { return !m_threads.empty(); }
    // The context the folders are read with (its stop flag is the pool's).
    [[nodiscard]] const WalkContext& context() const { return m_context; }

    // Walking thread: makes sure `folder` is read, reading it on this thread
    // when no worker has started it, waiting for the worker otherwise.
    void obtain(const std::shared_ptr<WalkFolder>& folder);
    // Walking thread: the folder has been handed on; frees what it holds.
    void done(WalkFolder& folder);
    // Walking thread: a folder that is not walked after all (walked already):
    // drops it and whatever was read under it.
    void drop(WalkFolder& folder);

private:
    void work();
    // With m_mutex held: queues the children of a folder just read.
    void addChildren(WalkFolder& folder);
    void dropLocked(WalkFolder& folder);

    WalkContext m_context;
    std::atomic<bool> m_stopped{false};
    std::mutex m_mutex;
    std::condition_variable m_work;   // workers: something to read, or stop
    std::condition_variable m_ready;  // walking thread: a folder was read
    std::vector<std::shared_ptr<WalkFolder>> m_stack;
    std::size_t m_heldFolders = 0;
    std::size_t m_heldEntries = 0;
    std::vector<std::thread> m_threads;
    std::vector<char> m_buffer;  // the walking thread's listing buffer
};

// For tests: called by every worker before and after it reads a folder, to
// shake the order in which they run. Set it while no walk runs.
void setWalkWorkerHook(std::function<void()> hook);

}  // namespace vantrel
