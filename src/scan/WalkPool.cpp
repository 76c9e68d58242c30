#include "scan/WalkPool.h"

#include <unistd.h>

#include <algorithm>

namespace vantrel {

namespace {

std::function<void()> g_workerHook;

void workerHook() {
    if (g_workerHook)
        g_workerHook();
}

}  // namespace

void setWalkWorkerHook(std::function<void()> hook) {
    g_workerHook = std::move(hook);
}

WalkPool::WalkPool(const WalkContext& context, int workers) : m_context(context) {
    m_context.stopped = &m_stopped;
    for (int i = 0; i < workers; ++i)
        m_threads.emplace_back([this] { work(); });
}

WalkPool::~WalkPool() {
    {
        const std::lock_guard lock(m_mutex);
        m_stopped.store(true, std::memory_order_relaxed);
        for (const auto& f : m_stack)
            f->cancelled = true;
        m_stack.clear();
    }
    m_work.notify_all();
    for (std::thread& t : m_threads)
        t.join();
}

void WalkPool::addChildren(WalkFolder& folder) {
    // Last first on the stack, so that the first is taken first.
    for (auto it = folder.children.rbegin(); it != folder.children.rend(); ++it)
        m_stack.push_back(*it);
}

void WalkPool::work() {
    std::vector<char> buffer;
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_work.wait(lock, [this] {
            return m_stopped.load(std::memory_order_relaxed) ||
                   (!m_stack.empty() && m_heldFolders < kHeldFolders &&
                    m_heldEntries < kHeldEntries);
        });
        if (m_stopped.load(std::memory_order_relaxed))
            return;
        std::shared_ptr<WalkFolder> f = std::move(m_stack.back());
        m_stack.pop_back();
        if (f->state != WalkFolder::State::Pending || f->cancelled)
            continue;
        f->state = WalkFolder::State::Reading;
        lock.unlock();
        workerHook();
        f->read(m_context, kLookLimit, false, buffer);
        workerHook();
        lock.lock();
        f->state = WalkFolder::State::Read;
        if (f->cancelled) {
            f->release();
            continue;
        }
        f->counted = true;
        ++m_heldFolders;
        m_heldEntries += f->heldEntries();
        addChildren(*f);
        m_ready.notify_all();
        if (!f->children.empty())
            m_work.notify_all();
    }
}

void WalkPool::obtain(const std::shared_ptr<WalkFolder>& folder) {
    std::unique_lock lock(m_mutex);
    if (folder->state == WalkFolder::State::Pending) {
        folder->state = WalkFolder::State::Reading;
        lock.unlock();
        if (threaded()) {
            folder->read(m_context, kLookLimit, false, m_buffer);
        } else {
            folder->read(m_context, 0, true, m_buffer);
            if (folder->fd >= 0 && folder->depth >= kOpenLevels && !folder->children.empty()) {
                ::close(folder->fd);
                folder->fd = -1;
            }
        }
        lock.lock();
        folder->state = WalkFolder::State::Read;
        if (threaded() && !folder->children.empty()) {
            addChildren(*folder);
            m_work.notify_all();
        }
        return;
    }
    m_ready.wait(lock, [&] { return folder->state == WalkFolder::State::Read; });
}

void WalkPool::done(WalkFolder& folder) {
    {
        const std::lock_guard lock(m_mutex);
        if (folder.counted) {
            folder.counted = false;
            --m_heldFolders;
            m_heldEntries -= folder.heldEntries();
        }
        folder.release();
    }
    if (threaded())
        m_work.notify_all();
}

void WalkPool::dropLocked(WalkFolder& folder) {
    folder.cancelled = true;
    if (folder.state != WalkFolder::State::Read)
        return;  // dropped when a worker meets it or finishes it
    for (const auto& child : folder.children)
        dropLocked(*child);
    if (folder.counted) {
        folder.counted = false;
        --m_heldFolders;
        m_heldEntries -= folder.heldEntries();
    }
    folder.release();
}

void WalkPool::drop(WalkFolder& folder) {
    {
        const std::lock_guard lock(m_mutex);
        dropLocked(folder);
    }
    if (threaded())
        m_work.notify_all();
}

}  // namespace vantrel
