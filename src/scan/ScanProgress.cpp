#include "scan/ScanProgress.h"

namespace vantrel {

void ScanProgress::reset() {
    std::lock_guard lock(m_mutex);
    m_folder.clear();
    m_folders = 0;
    m_entries = 0;
    m_handedOn = 0;
    ++m_generation;
}

void ScanProgress::enterFolder(const QByteArray& folder) {
    std::lock_guard lock(m_mutex);
    m_folder = folder;
    ++m_folders;
    ++m_generation;
}

void ScanProgress::showFolder(const QByteArray& folder) {
    std::lock_guard lock(m_mutex);
    m_folder = folder;
    ++m_generation;
}

void ScanProgress::addCounts(qint64 entries, qint64 handedOn) {
    std::lock_guard lock(m_mutex);
    m_entries += entries;
    m_handedOn += handedOn;
    ++m_generation;
}

ScanProgress::Snapshot ScanProgress::snapshot() const {
    std::lock_guard lock(m_mutex);
    return Snapshot{m_folder, m_folders, m_entries, m_handedOn, m_generation};
}

}  // namespace vantrel
