#include "browse/ViewerDocumentMapping.h"

#include <mutex>

#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

namespace vantrel {

namespace {

// Slots read by the signal handler: plain atomics, no locks.
struct Slot {
    std::atomic<uintptr_t> base{0};
    std::atomic<uintptr_t> length{0};
    std::atomic<bool> faulted{false};
};

Slot g_slots[GuardedMapping::kMaxMappings];
std::mutex g_slotsMutex;  // serialises taking and freeing slots (not used in the handler)
struct sigaction g_previous;
uintptr_t g_pageSize = 4096;

void forwardFault(int sig, siginfo_t* info, void* context) {
    if (g_previous.sa_flags & SA_SIGINFO) {
        if (g_previous.sa_sigaction) {
            g_previous.sa_sigaction(sig, info, context);
            return;
        }
    } else if (g_previous.sa_handler != SIG_DFL && g_previous.sa_handler != SIG_IGN) {
        g_previous.sa_handler(sig);
        return;
    }
    // Default action: fall back to it and let the faulting access repeat.
    struct sigaction dfl = {};
    dfl.sa_handler = SIG_DFL;
    sigemptyset(&dfl.sa_mask);
    ::sigaction(SIGBUS, &dfl, nullptr);
}

void onSigbus(int sig, siginfo_t* info, void* context) {
    const auto address = reinterpret_cast<uintptr_t>(info->si_addr);
    for (Slot& slot : g_slots) {
        const uintptr_t base = slot.base.load(std::memory_order_acquire);
        const uintptr_t length = slot.length.load(std::memory_order_acquire);
        if (base == 0 || address < base || address >= base + length)
            continue;
        // Replace the rest of the mapping from the faulting page on with
        // zero pages; the access then repeats and reads zeros.
        const uintptr_t page = address & ~(g_pageSize - 1);
        void* done = ::mmap(reinterpret_cast<void*>(page), base + length - page, PROT_READ,
                            MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0);
        if (done == MAP_FAILED)
            break;
        slot.faulted.store(true, std::memory_order_release);
        return;
    }
    forwardFault(sig, info, context);
}

void installHandler() {
    g_pageSize = uintptr_t(::sysconf(_SC_PAGESIZE));
    struct sigaction action = {};
    action.sa_sigaction = onSigbus;
    action.sa_flags = SA_SIGINFO | SA_RESTART;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGBUS, &action, &g_previous);
}

}  // namespace

GuardedMapping::GuardedMapping(int fd, qint64 size) {
    static std::once_flag once;
    std::call_once(once, installHandler);
    if (size <= 0)
        return;
    std::lock_guard lock(g_slotsMutex);
    int slot = -1;
    for (int i = 0; i < kMaxMappings; ++i) {
        if (g_slots[i].base.load() == 0) {
            slot = i;
            break;
        }
    }
    if (slot < 0)
        return;
    void* p = ::mmap(nullptr, size_t(size), PROT_READ, MAP_SHARED, fd, 0);
    if (p == MAP_FAILED)
        return;
    m_data = static_cast<const uchar*>(p);
    m_size = size;
    m_slot = slot;
    g_slots[slot].faulted.store(false);
    g_slots[slot].length.store(uintptr_t(size), std::memory_order_release);
    g_slots[slot].base.store(reinterpret_cast<uintptr_t>(p), std::memory_order_release);
}

GuardedMapping::~GuardedMapping() {
    if (!m_data)
        return;
    std::lock_guard lock(g_slotsMutex);
    g_slots[m_slot].base.store(0, std::memory_order_release);
    g_slots[m_slot].length.store(0, std::memory_order_release);
    ::munmap(const_cast<uchar*>(m_data), size_t(m_size));
}

bool GuardedMapping::faulted() const {
    return m_slot >= 0 && g_slots[m_slot].faulted.load(std::memory_order_acquire);
}

}  // namespace vantrel
