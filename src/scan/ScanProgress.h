#pragma once

#include <QByteArray>

#include <atomic>
#include <mutex>

namespace vantrel {

// What a running walk tells the window: the folder being read and how far it
// has come. The walking thread writes it, any thread reads a consistent
// snapshot of it. Writes happen once per folder (the folder) and once per
// folder listing (the counts), so a window that polls it a few dozen times a
// second costs the walk nothing worth measuring.
class ScanProgress {
public:
    struct Snapshot {
        QByteArray folder;       // exact bytes of the folder being read; empty before the first
        qint64 folders = 0;      // folders entered so far
        qint64 entries = 0;      // entries read from their listings
        qint64 handedOn = 0;     // entries handed to the tool
        quint64 generation = 0;  // grows with every change; equal snapshots have equal numbers
    };

    // Back to the empty state, before a new scan.
    void reset();

    // Walking thread: a folder is being read.
    void enterFolder(const QByteArray& folder);
    // Walking thread: back in a folder entered before (to hand on its files).
    void showFolder(const QByteArray& folder);
    // Walking thread: one more folder listing is done.
    void addCounts(qint64 entries, qint64 handedOn);

    [[nodiscard]] Snapshot snapshot() const;

private:
    mutable std::mutex m_mutex;
    QByteArray m_folder;
    qint64 m_folders = 0;
    qint64 m_entries = 0;
    qint64 m_handedOn = 0;
    quint64 m_generation = 0;
};

}  // namespace vantrel
