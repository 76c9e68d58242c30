#include "dup/ContentRows.h"

#include "text/Formats.h"

#include <QPair>
#include <QSet>

#include <sys/stat.h>

#include <algorithm>

namespace vantrel {

QString hardLinkNote() {
    return QStringLiteral("hard link");
}
QString sameContentsNote() {
    return QStringLiteral("same contents");
}
QString differsNote() {
    return QStringLiteral("differs");
}
QString notReadNote() {
    return QStringLiteral("not read");
}

QString lineWithNote(const QString& line, DupCriterion criterion, const QString& note) {
    QStringList fields = line.split(QLatin1Char('\t'));
    const int type = criterion == DupCriterion::TypeAndDate ? 0 : 6;
    if (type >= fields.size())
        return line;
    fields[type] += QStringLiteral(" (") + note + QLatin1Char(')');
    return fields.join(QLatin1Char('\t'));
}

std::vector<DupCandidate> contentRows(const ContentSearch& search,
                                      const ContentSearch::Result& result,
                                      std::vector<int>& groupSizes) {
    std::vector<DupCandidate> rows;
    groupSizes.clear();
    for (const ContentSearch::Group& g : result.groups) {
        groupSizes.push_back(int(g.members.size()));
        for (const ContentSearch::Member& m : g.members) {
            DupCandidate c;
            c.path = search.path(m.file);
            c.size = search.size(m.file);
            c.modified = search.packedWriteTime(m.file);
            c.accessed = search.packedAccessTime(m.file);
            c.listed = ListedState::exact(c.size, search.writeTime(m.file));
            const qsizetype slash = c.path.lastIndexOf('/');
            const QByteArray folder = slash <= 0 ? QByteArrayLiteral("/") : c.path.left(slash);
            const QString name = lineFieldText(c.path.mid(slash + 1));
            const QStringList fields = dupLineFields(
                name, numberText(c.size), fileDateText(c.modified), fileTimeText(c.modified),
                fileDateText(c.accessed), lineFieldText(folder),
                fileTypeDescription(extensionOf(name)), true, DupCriterion::SameContents);
            c.line = fields.join(QLatin1Char('\t'));
            if (m.hardLink)
                c.line = lineWithNote(c.line, DupCriterion::SameContents, hardLinkNote());
            rows.push_back(std::move(c));
        }
    }
    return rows;
}

void noteHardLinks(std::vector<DupCandidate>& rows, std::vector<int>& groupSizes,
                   DupCriterion criterion, std::vector<ContentCheckFile>* listed) {
    std::vector<ContentCheckFile> states(rows.size());
    std::vector<DupCandidate> kept;
    std::vector<int> keptSizes;
    kept.reserve(rows.size());
    std::size_t at = 0;
    for (const int size : groupSizes) {
        QSet<QPair<quint64, quint64>> seen;
        std::vector<bool> link(std::size_t(size), false);
        int distinct = 0;
        for (int k = 0; k < size; ++k) {
            struct stat st {};
            ContentCheckFile& state = states[at + std::size_t(k)];
            state.path = rows[at + std::size_t(k)].path;
            state.size = -1;
            if (lstat(rows[at + std::size_t(k)].path.constData(), &st) != 0) {
                ++distinct;
                continue;
            }
            state.size = qint64(st.st_size);
            state.modified = FileTime{qint64(st.st_mtim.tv_sec), qint32(st.st_mtim.tv_nsec), true};
            const QPair<quint64, quint64> id(quint64(st.st_dev), quint64(st.st_ino));
            if (seen.contains(id)) {
                link[std::size_t(k)] = true;
            } else {
                seen.insert(id);
                ++distinct;
            }
        }
        if (distinct >= 2) {
            for (int k = 0; k < size; ++k) {
                DupCandidate& c = rows[at + std::size_t(k)];
                if (link[std::size_t(k)])
                    c.line = lineWithNote(c.line, criterion, hardLinkNote());
                kept.push_back(std::move(c));
                if (listed)
                    listed->push_back(std::move(states[at + std::size_t(k)]));
            }
            keptSizes.push_back(size);
        }
        at += std::size_t(size);
    }
    rows = std::move(kept);
    groupSizes = std::move(keptSizes);
}

GroupCheck checkGroup(const std::vector<int>& subsets) {
    GroupCheck check;
    const int n = int(subsets.size());
    std::vector<int> members;  // per row: how many rows share its subset
    members.reserve(std::size_t(n));
    for (int i = 0; i < n; ++i)
        members.push_back(subsets[std::size_t(i)] < 0
                              ? 0
                              : int(std::count(subsets.begin(), subsets.end(),
                                               subsets[std::size_t(i)])));
    std::vector<bool> placed(std::size_t(n), false);
    for (int i = 0; i < n; ++i) {
        if (placed[std::size_t(i)] || members[std::size_t(i)] < 2)
            continue;
        int size = 0;
        for (int j = i; j < n; ++j) {
            if (!placed[std::size_t(j)] && subsets[std::size_t(j)] == subsets[std::size_t(i)]) {
                placed[std::size_t(j)] = true;
                check.order.push_back(j);
                check.notes.push_back(sameContentsNote());
                ++size;
            }
        }
        check.groupSizes.push_back(size);
    }
    for (const bool unread : {false, true}) {
        for (int i = 0; i < n; ++i) {
            if (placed[std::size_t(i)] || (subsets[std::size_t(i)] < 0) != unread)
                continue;
            placed[std::size_t(i)] = true;
            check.order.push_back(i);
            check.notes.push_back(unread ? notReadNote() : differsNote());
            check.groupSizes.push_back(1);
        }
    }
    check.confirmed = n >= 2 && members[0] == n;
    return check;
}

}  // namespace vantrel
