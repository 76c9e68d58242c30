#pragma once

#include "platform/Drives.h"
#include "scan/Walker.h"
#include "stats/StatsAccumulator.h"

#include <QList>

#include <functional>

namespace vantrel {

// How one chosen root of a statistics run went.
enum class RootOutcome {
    Walked,     // its tree was walked (maybe only in part, when aborted)
    NotReady,   // its file system gave no answer or cannot be read: skipped
    NotOpened,  // its folder could not be opened when the walk began: skipped
};

// What the walking thread tells about the run as it goes; each may be empty.
struct StatsRunEvents {
    // A root's turn has come (also for one that is then skipped).
    std::function<void(int index)> rootStarted;
    // A root is done; `totals` are the figures of every root so far.
    std::function<void(int index, RootOutcome outcome, const StatsTotals& totals)> rootEnded;
};

// The walk options of a statistics run: every entry kind is handed on (the
// accumulator passes over folders), hidden folders are entered, so that the
// space in ~/.cache and .git counts where it lies.
[[nodiscard]] WalkOptions statsWalkOptions();

// One statistics run, on the walking thread: the roots in list order, each
// walked when `ready` says so, all by one walker (so folders already walked
// in the run are not walked again) into `accumulator`, which the caller has
// started. Stops before the next root, and the walk at its next entry, once
// scanAborted is set. A root that cannot be opened is recorded in the report
// as DriveNotOpened (with its drive text).
WalkReport collectStatistics(const QList<DriveEntry>& roots, const QList<bool>& ready,
                             StatsAccumulator& accumulator, ScanControl& control,
                             const StatsRunEvents& events = {});

}  // namespace vantrel
