#pragma once

#include "platform/FileRecord.h"
#include "stats/LocalCalendar.h"
#include "stats/StatsTotals.h"
#include "stats/TypeSelection.h"

#include <QtGlobal>

#include <unordered_set>

namespace vantrel {

// Accounts the entries of a statistics run, one at a time, into
// StatsTotals: sizes, ages and hours from the real 64-bit times (a time the
// file system does not record is "Not recorded" and falls in no hour),
// attributes, extensions, cluster slack and the real allocation.
//
// A file with several hard links is accounted once, under the first of its
// names that the type choice selects; only such files are remembered (by
// device and inode), so memory grows with the number of extensions and of
// multiply-linked files, never with the number of files.
//
// Not thread-safe: the walking thread owns it while a run goes on; totals()
// may be copied for the window between entries.
class StatsAccumulator {
public:
    StatsAccumulator();

    // Clears every figure and starts a run: `selection` decides which files
    // count, ages are measured from the local day of `now` (seconds since
    // the epoch). In include mode every chosen type is listed in the type
    // table from the start, with 0 files, so it shows even when none is found.
    void start(const TypeSelection& selection, qint64 now);
    // Zeroes every figure (the selection and the day stay).
    void clear();

    // One entry of a walked tree; folders are passed over.
    void add(const FileRecord& record);

    [[nodiscard]] const StatsTotals& totals() const { return m_totals; }
    [[nodiscard]] const TypeSelection& selection() const { return m_selection; }
    // The local day ages are measured from.
    [[nodiscard]] qint64 today() const { return m_today; }

private:
    struct Inode {
        quint64 device;
        quint64 inode;
        bool operator==(const Inode&) const = default;
    };
    struct InodeHash {
        std::size_t operator()(const Inode& i) const noexcept {
            return std::size_t(i.inode * 0x9E3779B97F4A7C15ull ^ i.device);
        }
    };

    // The age class of a time, and its local moment when it is recorded.
    int ageClass(const FileTime& time, LocalMoment* moment);

    StatsTotals m_totals;
    TypeSelection m_selection;
    LocalCalendar m_calendar;
    qint64 m_today = 0;
    std::unordered_set<Inode, InodeHash> m_linked;
};

}  // namespace vantrel
