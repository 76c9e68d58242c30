#include "cli/CliRunner.h"

#include "cli/CliProgress.h"
#include "cli/RowWriter.h"
#include "clean/CleanSearch.h"
#include "clean/TempFileList.h"
#include "dup/ContentRows.h"
#include "dup/ContentSearch.h"
#include "dirhog/FolderSurvey.h"
#include "mods/ModsSearch.h"
#include "mods/RootTimes.h"
#include "platform/Drives.h"
#include "settings/IniFile.h"
#include "stats/StatsAccumulator.h"
#include "stats/StatsCollection.h"
#include "stats/StatsTables.h"
#include "stats/TypeSelection.h"
#include "text/Formats.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <unistd.h>
#include <sys/stat.h>

namespace vantrel {

namespace {

using Row = QList<CliField>;

QList<DriveEntry> folderDrives(const QList<QByteArray>& roots) {
    QList<DriveEntry> drives;
    for (QByteArray root : roots) {
        while (root.size() > 1 && root.endsWith('/'))
            root.chop(1);
        drives.append(DriveEntry{root, QStringLiteral("folder")});
    }
    return drives;
}

// Hands every entry to a callback; stops the walk once the callback says so.
class EntryVisitor final : public WalkVisitor {
public:
    using Callback = std::function<bool(const QByteArray&, const FileRecord&)>;
    EntryVisitor(Callback callback, ScanControl& control)
        : m_callback(std::move(callback)), m_control(control) {}
    void entry(const QByteArray& folder, const FileRecord& record) override {
        if (!m_callback(folder, record))
            m_control.scanAborted = true;
    }

private:
    Callback m_callback;
    ScanControl& m_control;
};

QByteArray joined(const QByteArray& folder, const QByteArray& name) {
    QByteArray path = folder;
    if (!path.endsWith('/'))
        path.append('/');
    return path.append(name);
}

class Run {
public:
    Run(const CliRequest& request, const CliStreams& streams)
        : m_request(request), m_streams(streams), m_messages(streams.err) {
        m_control.onError = [this](const WalkError& e) { m_messages.print(e.message()); };
    }

    int exec() {
        std::optional<RowWriter> writer;
        const auto open = [&](const QStringList& columns) -> RowWriter& {
            writer.emplace(m_request.format, m_streams.out, columns, m_request.header);
            return *writer;
        };
        {
            CliProgress progress(m_control.progress, m_messages, m_streams.progress);
            switch (m_request.tool) {
            case CliTool::Dups:
            case CliTool::Hogs:
                runDup(open);
                break;
            case CliTool::Folders:
                runFolders(open);
                break;
            case CliTool::Dates:
                runDates(open);
                break;
            case CliTool::Clean:
                if (!runClean(open))
                    return kCliBadArguments;
                break;
            case CliTool::Stats:
                runStats(open);
                break;
            }
        }
        if (!writer)
            return kCliNothingFound;
        writer->flush();
        if (writer->broken()) {
            if (writer->error() == EPIPE)
                return kCliRowsFound;
            m_messages.print(QStringLiteral("standard output: ") +
                             QString::fromLocal8Bit(strerror(writer->error())));
            return kCliOutputFailed;
        }
        return writer->rowsWritten() > 0 ? kCliRowsFound : kCliNothingFound;
    }

private:
    using Open = std::function<RowWriter&(const QStringList&)>;

    WalkReport walkRoots(const WalkOptions& options, WalkVisitor& visitor) {
        Walker walker(options, visitor, m_control);
        for (const DriveEntry& d : folderDrives(m_request.roots)) {
            if (m_control.aborted())
                break;
            walker.walk(d);
        }
        return walker.report();
    }

    void runDup(const Open& open) {
        const bool dups = m_request.tool == CliTool::Dups;
        DupSearchOptions o;
        o.duplicateMode = dups;
        o.criterion = m_request.criterion;
        if (m_request.minSize && m_request.maxSize) {
            o.condition = SizeCondition::Between;
            o.limit1 = *m_request.minSize;
            o.limit2 = *m_request.maxSize;
        } else if (m_request.maxSize) {
            o.condition = SizeCondition::SmallerOrEqual;
            o.limit1 = *m_request.maxSize;
        } else if (m_request.minSize) {
            o.limit1 = *m_request.minSize;
        }
        DupSearch search(o);
        if (dups && o.criterion == DupCriterion::SameContents) {
            runContents(search, open);
            return;
        }
        bool full = false;
        EntryVisitor visitor(
            [&](const QByteArray& folder, const FileRecord& record) {
                if (search.addFile(record, folder) != DupSearch::Added::Full)
                    return true;
                full = true;
                return false;
            },
            m_control);
        walkRoots(listingWalk(), visitor);
        if (full)
            m_messages.print(candidateListFullMessage());
        std::vector<DupCandidate> rows = search.finish();
        if (!dups) {
            // Largest first, as the window shows file hogs.
            std::stable_sort(rows.begin(), rows.end(),
                             [](const DupCandidate& a, const DupCandidate& b) {
                                 return a.size > b.size;
                             });
        }
        RowWriter& out = dups ? open({QStringLiteral("size"), QStringLiteral("modified"),
                                      QStringLiteral("path")})
                              : open({QStringLiteral("size"), QStringLiteral("modified"),
                                      QStringLiteral("accessed"), QStringLiteral("path")});
        // The times the window shows: packed, to two seconds (a second look
        // at every file would cost more than the search).
        for (const DupCandidate& c : rows) {
            Row row{CliField::integer(c.size), CliField::packedTime(c.modified)};
            if (!dups)
                row.append(CliField::packedTime(c.accessed));
            row.append(CliField::text(c.path));
            if (!out.write(row))
                break;
        }
    }

    // Duplicates by contents: the files that pass `sizes`' condition go to a
    // contents search; its groups come out most wasted bytes first, each
    // file's hard links after it with the note "hard link".
    void runContents(const DupSearch& sizes, const Open& open) {
        ContentSearch search(sizes.options().capacity);
        bool full = false;
        EntryVisitor visitor(
            [&](const QByteArray& folder, const FileRecord& record) {
                if (!sizes.passes(record.size) || search.addFile(record, folder))
                    return true;
                full = true;
                return false;
            },
            m_control);
        walkRoots(listingWalk(), visitor);
        if (full)
            m_messages.print(candidateListFullMessage());
        const ContentSearch::Result found =
            search.finish(nullptr, [this](qint64 read, qint64 total) {
                m_control.progress.showFolder((QStringLiteral("reading contents: ") +
                                               numberText(read) + QStringLiteral(" of ") +
                                               numberText(total) + QStringLiteral(" bytes"))
                                                  .toUtf8());
            });
        if (found.notRead > 0)
            m_messages.print(QStringLiteral("files left out as unreadable or changed "
                                            "while read: ") +
                             QString::number(found.notRead));
        RowWriter& out = open({QStringLiteral("size"), QStringLiteral("modified"),
                               QStringLiteral("note"), QStringLiteral("path")});
        const QByteArray hardLink = hardLinkNote().toUtf8();
        for (const ContentSearch::Group& g : found.groups) {
            for (const ContentSearch::Member& m : g.members) {
                if (!out.write({CliField::integer(search.size(m.file)),
                                CliField::packedTime(search.packedWriteTime(m.file)),
                                CliField::text(m.hardLink ? hardLink : QByteArray()),
                                CliField::text(search.path(m.file))}))
                    return;
            }
        }
    }

    // The walk of the tools that list files for deletion: no hidden files,
    // no hidden folders, unless --hidden; never folders or system entries.
    WalkOptions listingWalk() const {
        WalkOptions walk;
        walk.pattern = Wildcard(QFile::encodeName(m_request.wildcard));
        walk.includeMask = m_request.hidden ? quint32(faHidden) : 0;
        walk.enterHiddenFolders = m_request.hidden;
        return walk;
    }

    void runFolders(const Open& open) {
        SurveyOptions o;
        o.mode = m_request.allFolders ? SurveyMode::AllFolders : SurveyMode::MainFolders;
        FolderSurvey survey(o);
        survey.setOnFull([this] { m_messages.print(surveyFullMessage()); });
        survey.run(folderDrives(m_request.roots), m_control);
        RowWriter& out = open({QStringLiteral("bytes"), QStringLiteral("files"),
                               QStringLiteral("folders"), QStringLiteral("accessed"),
                               QStringLiteral("path")});
        for (const qsizetype i : survey.bySizeDescending()) {
            const FolderFigures& f = survey.figures(i);
            FileTime access;
            access.recorded = f.latestAccess != kNoAccessTime;
            access.sec = access.recorded ? f.latestAccess : 0;
            if (!out.write({CliField::integer(f.bytes), CliField::integer(f.files),
                            CliField::integer(f.subFolders), CliField::time(access),
                            CliField::text(survey.path(i))}))
                break;
        }
    }

    void runDates(const Open& open) {
        ModsSearchOptions o;
        o.field = m_request.field;
        if (m_request.after && m_request.before)
            o.range = DateRange(DateRangeMode::InBetween, *m_request.after, *m_request.before);
        else if (m_request.after)
            o.range = DateRange(DateRangeMode::OnOrAfter, *m_request.after);
        else if (m_request.before)
            o.range = DateRange(DateRangeMode::OnOrBefore, *m_request.before);
        // Neither: today, as the window starts.
        QList<QByteArray> roots;
        for (const QByteArray& root : m_request.roots) {
            const RootTimes times = rootTimesOf(root);
            if (o.field == DateField::Created && !times.birthTimes) {
                m_messages.print(noBirthTimeMessage(root));
                continue;
            }
            if (o.field == DateField::LastAccessed && times.noAtime)
                m_messages.print(noAtimeMessage(root));
            roots.append(root);
        }
        ModsSearch search(o);
        // Rows go out as they are found, in walk order, as the window lists them.
        RowWriter& out = open({QStringLiteral("accessed"), QStringLiteral("created"),
                               QStringLiteral("modified"), QStringLiteral("size"),
                               QStringLiteral("path")});
        bool full = false;
        EntryVisitor visitor(
            [&](const QByteArray& folder, const FileRecord& record) {
                const ModsSearch::Added added = search.addFile(record, folder);
                if (added == ModsSearch::Added::Full) {
                    full = true;
                    return false;
                }
                if (added == ModsSearch::Added::Skipped)
                    return true;
                if (search.pendingRows() >= 256)
                    search.takeRows();  // the grid rows are not needed here
                return out.write({CliField::time(record.accessTime),
                                  CliField::time(record.creationTime),
                                  CliField::time(record.writeTime), CliField::integer(record.size),
                                  CliField::text(joined(folder, record.name))});
            },
            m_control);
        Walker walker(listingWalk(), visitor, m_control);
        for (const DriveEntry& d : folderDrives(roots)) {
            if (m_control.aborted())
                break;
            walker.walk(d);
        }
        if (full)
            m_messages.print(candidateListFullMessage());
    }

    bool runClean(const Open& open) {
        QStringList lines = m_request.patterns ? *m_request.patterns : ReadInFromDisk(vantrelIni());
        const QStringList unusable = patternsThatCannotMatch(lines);
        if (!unusable.isEmpty()) {
            const QString which = unusable.join(QStringLiteral("', '"));
            if (m_request.patterns) {
                m_messages.print(QStringLiteral("invalid value '") + which +
                                 QStringLiteral("' for --patterns (a pattern such as *.tmp)"));
                return false;
            }
            m_messages.print(QStringLiteral("patterns that match nothing are left out: '") +
                             which + QLatin1Char('\''));
        }
        CleanSearch search(lines);
        if (search.isEmpty()) {
            m_messages.print(QStringLiteral("no temporary-file patterns to search for"));
            return true;
        }
        WalkOptions walk = search.walkOptions();
        walk.enterHiddenFolders = m_request.hidden;
        struct Found {
            QByteArray path;
            qint64 size;
            FileTime written, accessed;
        };
        std::vector<Found> found;
        EntryVisitor visitor(
            [&](const QByteArray& folder, const FileRecord& record) {
                found.push_back({joined(folder, record.name), record.size, record.writeTime,
                                 record.accessTime});
                return true;
            },
            m_control);
        walkRoots(walk, visitor);
        // Largest first, as the window sorts after every scan.
        std::stable_sort(found.begin(), found.end(),
                         [](const Found& a, const Found& b) { return a.size > b.size; });
        RowWriter& out = open({QStringLiteral("size"), QStringLiteral("modified"),
                               QStringLiteral("accessed"), QStringLiteral("path")});
        for (const Found& f : found) {
            if (!out.write({CliField::integer(f.size), CliField::time(f.written),
                            CliField::time(f.accessed), CliField::text(f.path)}))
                break;
        }
        return true;
    }

    void runStats(const Open& open) {
        StatsAccumulator accumulator;
        accumulator.start(TypeSelection(), QDateTime::currentSecsSinceEpoch());
        const QList<DriveEntry> drives = folderDrives(m_request.roots);
        QList<bool> ready;
        for (const DriveEntry& d : drives)
            ready.append(driveReady(d.root));
        collectStatistics(drives, ready, accumulator, m_control);
        const StatsTotals& t = accumulator.totals();
        if (t.filesFound == 0)
            return;
        RowWriter& out = open({QStringLiteral("table"), QStringLiteral("class"),
                               QStringLiteral("files"), QStringLiteral("bytes")});
        const auto put = [&](const char* table, const QByteArray& label, qint64 files,
                             qint64 bytes) {
            return out.write({CliField::text(QByteArray(table)), CliField::text(label),
                              CliField::integer(files), CliField::integer(bytes)});
        };
        if (!put("total", "all files", t.filesFound, t.totalBytes()) ||
            !put("total", "allocated", t.filesFound, t.allocatedBytes))
            return;
        // Types by bytes, largest first; equal ones by their key.
        QList<QByteArray> keys = t.types.keys();
        std::sort(keys.begin(), keys.end(), [&](const QByteArray& a, const QByteArray& b) {
            const qint64 x = t.types.value(a).bytes, y = t.types.value(b).bytes;
            return x != y ? x > y : a < b;
        });
        for (const QByteArray& key : keys) {
            const TypeTotals& tt = t.types[key];
            if (tt.count == 0)
                continue;
            if (!put("type", key.isEmpty() ? QByteArray("(none)") : key, tt.count, tt.bytes))
                return;
        }
        for (const ClassRow& r : sizeRows(t)) {
            if (!put("size", r.label.toUtf8(), r.count, r.bytes))
                return;
        }
        const std::array<std::pair<const char*, AgeKind>, 3> ages{{
            {"accessed", AgeKind::Accessed},
            {"created", AgeKind::Created},
            {"modified", AgeKind::Modified},
        }};
        for (const auto& [table, kind] : ages) {
            for (const ClassRow& r : ageRows(t, kind)) {
                if (!put(table, r.label.toUtf8(), r.count, r.bytes))
                    return;
            }
        }
    }

    const CliRequest& m_request;
    CliStreams m_streams;
    CliMessages m_messages;
    ScanControl m_control;
};

// A root that is no folder is a bad argument; the message names it.
bool checkRoots(const QList<QByteArray>& roots, CliMessages& messages) {
    for (const QByteArray& root : roots) {
        struct stat st {};
        if (::stat(root.constData(), &st) != 0) {
            messages.print(QLatin1Char('\'') + QString::fromLocal8Bit(root) +
                           QStringLiteral("': ") + QString::fromLocal8Bit(strerror(errno)));
            return false;
        }
        if (!S_ISDIR(st.st_mode)) {
            messages.print(QLatin1Char('\'') + QString::fromLocal8Bit(root) +
                           QStringLiteral("': not a folder"));
            return false;
        }
    }
    return true;
}

}  // namespace

int runCliRequest(const CliRequest& request, const CliStreams& streams) {
    CliMessages messages(streams.err);
    if (!checkRoots(request.roots, messages))
        return kCliBadArguments;
    Run run(request, streams);
    return run.exec();
}

int runCliCommand(const QList<QByteArray>& arguments, const CliStreams& streams) {
    const CliParse parse = parseCliArguments(arguments);
    switch (parse.kind) {
    case CliParse::Kind::Help:
        writeAll(streams.out, cliUsage().toUtf8());
        return 0;
    case CliParse::Kind::Version:
        writeAll(streams.out, QByteArrayLiteral("vantrel " VANTREL_VERSION "\n"));
        return 0;
    case CliParse::Kind::Error: {
        CliMessages messages(streams.err);
        messages.print(parse.message);
        writeAll(streams.err, "Try 'vantrel --help' for more information.\n");
        return kCliBadArguments;
    }
    case CliParse::Kind::Run:
        break;
    }
    return runCliRequest(parse.request, streams);
}

int runCommandLine(int argc, char** argv) {
    QList<QByteArray> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QByteArray(argv[i]));
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vantrel"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VANTREL_VERSION));
    TextLocale::initFromSystem();
    std::signal(SIGPIPE, SIG_IGN);
    CliStreams streams;
    streams.progress = ::isatty(streams.err) == 1;
    return runCliCommand(arguments, streams);
}

}  // namespace vantrel
