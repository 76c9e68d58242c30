#include "stats/StatsCollection.h"

namespace vantrel {

namespace {

class Feeder final : public WalkVisitor {
public:
    explicit Feeder(StatsAccumulator& accumulator) : m_accumulator(accumulator) {}
    void entry(const QByteArray&, const FileRecord& record) override { m_accumulator.add(record); }

private:
    StatsAccumulator& m_accumulator;
};

}  // namespace

WalkOptions statsWalkOptions() {
    WalkOptions options;
    options.pattern = Wildcard();
    // Folders are walked whatever the mask says; leaving them out of the
    // entries handed on saves a look at each.
    options.includeMask = faHidden | faSysFile;
    options.enterHiddenFolders = true;
    return options;
}

WalkReport collectStatistics(const QList<DriveEntry>& roots, const QList<bool>& ready,
                             StatsAccumulator& accumulator, ScanControl& control,
                             const StatsRunEvents& events) {
    Feeder feeder(accumulator);
    Walker walker(statsWalkOptions(), feeder, control);
    for (qsizetype i = 0; i < roots.size(); ++i) {
        if (control.aborted())
            break;
        if (events.rootStarted)
            events.rootStarted(int(i));
        RootOutcome outcome = RootOutcome::NotReady;
        if (ready.value(i, false))
            outcome = walker.walk(roots[i]) ? RootOutcome::Walked : RootOutcome::NotOpened;
        if (events.rootEnded)
            events.rootEnded(int(i), outcome, accumulator.totals());
    }
    WalkReport report = walker.report();
    if (control.aborted())
        report.aborted = true;
    return report;
}

}  // namespace vantrel
