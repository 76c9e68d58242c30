#pragma once

#include <QtGlobal>

#include <cstddef>
#include <vector>

namespace vantrel {

// The identities (device, inode) of the folders one scan has walked, so that
// no folder is walked twice: not as a root that lies inside another root, not
// when a bind mount shows it a second time.
//
// An open-addressing hash set of plain pairs, 16 bytes a slot, kept at most
// half full: a scan of a million folders costs some 32 MB at worst, and there
// is no allocation per folder. Nothing is ever removed; clear() empties it.
class FolderIdSet {
public:
    // Adds the folder; true when it was not in the set yet.
    bool insert(quint64 device, quint64 inode);
    [[nodiscard]] bool contains(quint64 device, quint64 inode) const;
    [[nodiscard]] std::size_t size() const { return m_count + (m_hasZero ? 1 : 0); }
    void clear();

private:
    struct Slot {
        quint64 device = 0;
        quint64 inode = 0;
    };
    // The slot that holds the pair, or the empty one where it would go.
    std::size_t find(quint64 device, quint64 inode) const;
    void grow();

    std::vector<Slot> m_slots;  // size a power of two; (0, 0) marks an empty slot
    std::size_t m_count = 0;    // pairs in m_slots
    bool m_hasZero = false;     // the pair (0, 0) itself, which cannot sit in a slot
};

}  // namespace vantrel
