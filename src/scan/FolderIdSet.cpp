#include "scan/FolderIdSet.h"

namespace vantrel {

namespace {

constexpr std::size_t kInitialSlots = 1024;

// Mixes both numbers into every bit (the finaliser of splitmix64): inode
// numbers are often dense runs, which would otherwise crowd a few slots.
quint64 mixed(quint64 device, quint64 inode) {
    quint64 x = inode ^ (device * 0x9E3779B97F4A7C15ULL);
    x ^= x >> 30;
    x *= 0xBF58476D1CE4E5B9ULL;
    x ^= x >> 27;
    x *= 0x94D049BB133111EBULL;
    x ^= x >> 31;
    return x;
}

}  // namespace

std::size_t FolderIdSet::find(quint64 device, quint64 inode) const {
    const std::size_t mask = m_slots.size() - 1;
    std::size_t i = std::size_t(mixed(device, inode)) & mask;
    for (;;) {
        const Slot& s = m_slots[i];
        if ((s.device == device && s.inode == inode) || (s.device == 0 && s.inode == 0))
            return i;
        i = (i + 1) & mask;
    }
}

bool FolderIdSet::contains(quint64 device, quint64 inode) const {
    if (device == 0 && inode == 0)
        return m_hasZero;
    if (m_slots.empty())
        return false;
    const Slot& s = m_slots[find(device, inode)];
    return s.device == device && s.inode == inode;
}

bool FolderIdSet::insert(quint64 device, quint64 inode) {
    if (device == 0 && inode == 0) {
        const bool added = !m_hasZero;
        m_hasZero = true;
        return added;
    }
    // At most half full, so a search always ends at an empty slot soon.
    if (m_slots.empty() || (m_count + 1) * 2 > m_slots.size())
        grow();
    Slot& s = m_slots[find(device, inode)];
    if (s.device == device && s.inode == inode)
        return false;
    s = Slot{device, inode};
    ++m_count;
    return true;
}

void FolderIdSet::grow() {
    std::vector<Slot> old;
    old.swap(m_slots);
    m_slots.assign(old.empty() ? kInitialSlots : old.size() * 2, Slot{});
    for (const Slot& s : old) {
        if (s.device != 0 || s.inode != 0)
            m_slots[find(s.device, s.inode)] = s;
    }
}

void FolderIdSet::clear() {
    m_slots.clear();
    m_slots.shrink_to_fit();
    m_count = 0;
    m_hasZero = false;
}

}  // namespace vantrel
