#include "dirhog/FolderSurvey.h"

#include "text/Formats.h"

#include <sys/statvfs.h>

#include <algorithm>
#include <cstring>

namespace vantrel {

QString surveyFullMessage() {
    return QStringLiteral("Resource limit reached ... cannot process any more files.");
}

bool mountedNoAtime(const QByteArray& path) {
    struct statvfs vfs;
    if (::statvfs(path.constData(), &vfs) != 0)
        return false;
    return (vfs.f_flag & ST_NOATIME) != 0;
}

FolderSurvey::FolderSurvey(const SurveyOptions& options) : m_options(options) {}

FolderSurvey::~FolderSurvey() = default;

WalkOptions FolderSurvey::walkOptions() {
    WalkOptions o;
    o.pattern = Wildcard();
    o.includeMask = kWalkMaskBits;
    o.enterHiddenFolders = true;
    return o;
}

WalkReport FolderSurvey::run(const QList<DriveEntry>& drives, ScanControl& control) {
    m_control = &control;
    WalkReport report = ScanAllDrives(drives, walkOptions(), *this, control);
    m_control = nullptr;
    return report;
}

WalkReport FolderSurvey::run(const QByteArray& root, ScanControl& control) {
    QByteArray trimmed = root;
    while (trimmed.size() > 1 && trimmed.endsWith('/'))
        trimmed.chop(1);
    return run(QList<DriveEntry>{DriveEntry{trimmed, QStringLiteral("folder")}}, control);
}

// ---- Rows -------------------------------------------------------------------

quint32 FolderSurvey::addRow(quint32 parent, const char* name, qsizetype length) {
    if (m_full)
        return kNone;
    if (rowCount() >= m_options.capacity || rowCount() >= qsizetype(kNone)) {
        m_full = true;
        if (m_onFull)
            m_onFull();
        if (m_control)
            m_control->scanAborted.store(true, std::memory_order_relaxed);
        return kNone;
    }
    Row row;
    row.parent = parent;
    row.nameOffset = quint32(m_names.size());
    row.nameLength = quint16(std::min<qsizetype>(length, 0xFFFF));
    m_names.insert(m_names.end(), name, name + row.nameLength);
    m_rows.push_back(row);
    if (!m_roots.isEmpty())
        m_roots.last().endRow = rowCount();
    return quint32(m_rows.size() - 1);
}

QByteArrayView FolderSurvey::nameOf(quint32 row) const {
    const Row& r = m_rows[row];
    return QByteArrayView(m_names.data() + r.nameOffset, r.nameLength);
}

const SurveyedRoot& FolderSurvey::rootOf(qsizetype row) const {
    // The roots' row ranges follow each other in order.
    auto it =
        std::upper_bound(m_roots.cbegin(), m_roots.cend(), row,
                         [](qsizetype r, const SurveyedRoot& root) { return r < root.firstRow; });
    return *(it == m_roots.cbegin() ? it : it - 1);
}

QByteArray FolderSurvey::path(qsizetype row) const {
    QList<QByteArrayView> names;
    qsizetype length = 0;
    for (quint32 r = quint32(row); r != kNone; r = m_rows[r].parent) {
        names.append(nameOf(r));
        length += nameOf(r).size() + 1;
    }
    const QByteArray& root = rootOf(row).drive.root;
    QByteArray out;
    out.reserve(root.size() + length);
    out.append(root);
    for (auto it = names.crbegin(); it != names.crend(); ++it) {
        if (it->isEmpty())
            continue;  // the root's own row
        if (!out.endsWith('/'))
            out.append('/');
        out.append(it->data(), it->size());
    }
    return out;
}

qsizetype FolderSurvey::memoryUsed() const {
    return qsizetype(m_rows.size() * sizeof(Row) + m_names.capacity());
}

std::vector<qsizetype> FolderSurvey::bySizeDescending() const {
    std::vector<qsizetype> order(m_rows.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = qsizetype(i);
    // Equal sizes keep the walk's order: by drive, then by name.
    std::stable_sort(order.begin(), order.end(), [this](qsizetype a, qsizetype b) {
        return m_rows[size_t(a)].figures.bytes > m_rows[size_t(b)].figures.bytes;
    });
    return order;
}

quint32 FolderSurvey::matchChild(Level& level, QByteArrayView name) const {
    // The walk enters sub-folders and then hands on entries, both in byte
    // order of their names, so one cursor finds each walked sub-folder.
    while (level.cursor < level.children.size()) {
        const quint32 child = level.children[level.cursor];
        const QByteArrayView childName = nameOf(child);
        const int c = std::memcmp(childName.data(), name.data(),
                                  size_t(std::min(childName.size(), name.size())));
        const bool before = c < 0 || (c == 0 && childName.size() < name.size());
        if (before) {
            ++level.cursor;
            continue;
        }
        if (c == 0 && childName.size() == name.size()) {
            ++level.cursor;
            return child;
        }
        break;
    }
    return kNone;
}

// ---- The walk -------------------------------------------------------------------

void FolderSurvey::startRoot(const DriveEntry& drive) {
    SurveyedRoot root;
    root.drive = drive;
    if (m_options.capacityOf) {
        root.capacity = m_options.capacityOf(drive.root).value_or(0);
    } else if (const auto geometry = diskGeometry(drive.root)) {
        root.capacity = geometry->totalBytes();
    }
    root.noAtime = mountedNoAtime(drive.root);
    root.firstRow = root.endRow = rowCount();
    m_roots.append(root);
    m_rootOpen = true;
}

void FolderSurvey::driveStarted(const DriveEntry& drive) {
    startRoot(drive);
}

void FolderSurvey::folderEntered(const QByteArray& folder, int depth) {
    if (m_levels.size() <= std::size_t(depth))
        m_levels.resize(std::size_t(depth) + 1);
    Level& level = m_levels[std::size_t(depth)];
    level.children.clear();
    level.cursor = 0;
    level.row = kNone;
    m_depth = depth;
    const bool all = m_options.mode == SurveyMode::AllFolders;

    if (depth == 0) {
        if (!m_rootOpen)
            startRoot(DriveEntry{folder, QStringLiteral("folder")});
        m_rootOpen = false;
        // The root folder's own size counts, as du counts it; its device
        // tells which entries lie on the root's file system.
        FileRecord self;
        const bool known = statPath(folder, self);
        m_rootDevice = known ? self.device : 0;
        SurveyedRoot& root = m_roots.last();
        if (known)
            root.total.bytes += self.size;
        if (all) {
            level.row = addRow(kNone, "", 0);
            if (level.row != kNone && known)
                m_rows[level.row].figures.bytes += self.size;
        }
        return;
    }

    const qsizetype slash = folder.lastIndexOf('/');
    const char* name = folder.constData() + slash + 1;
    const qsizetype length = folder.size() - slash - 1;
    Level& parent = m_levels[std::size_t(depth) - 1];
    if (all) {
        if (parent.row != kNone)
            level.row = addRow(parent.row, name, length);
        if (level.row != kNone)
            parent.children.push_back(level.row);
    } else if (depth == 1) {
        level.row = addRow(kNone, name, length);
        if (level.row != kNone)
            parent.children.push_back(level.row);
    } else {
        level.row = parent.row;  // everything below a main folder is its own
    }
}

void FolderSurvey::entry(const QByteArray&, const FileRecord& record) {
    if (m_depth < 0 || m_roots.isEmpty())
        return;
    // A mount point shows the root of another file system: not counted.
    if (m_rootDevice != 0 && record.device != m_rootDevice)
        return;
    Level& level = m_levels[std::size_t(m_depth)];
    SurveyedRoot& root = m_roots.last();
    FolderFigures* own = level.row != kNone ? &m_rows[level.row].figures : nullptr;

    if (record.isDirectory()) {
        root.total.bytes += record.size;
        ++root.total.subFolders;
        if (own)
            ++own->subFolders;
        // A folder's own size belongs to its row when the walk made one
        // (main folders, and every folder in AllFolders mode); otherwise
        // to the row it lies in.
        quint32 child = kNone;
        if (m_options.mode == SurveyMode::AllFolders || m_depth == 0)
            child = matchChild(level, QByteArrayView(record.name));
        if (child != kNone)
            m_rows[child].figures.bytes += record.size;
        else if (own)
            own->bytes += record.size;
        return;
    }

    qint64 size = record.size;
    if (record.links > 1 && !m_linked.insert(record.device, record.inode))
        size = 0;  // another name of a file counted already
    const qint64 access = record.accessTime.recorded ? record.accessTime.sec : kNoAccessTime;
    root.total.addFile(size, access);
    if (own)
        own->addFile(size, access);
}

void FolderSurvey::folderDone(const QByteArray&, int depth) {
    m_depth = depth - 1;
    if (depth != 0 || m_options.mode != SurveyMode::AllFolders)
        return;
    // A root that holds nothing at all gets no row.
    const quint32 row = m_levels[0].row;
    if (row != kNone && row + 1 == m_rows.size() && m_rows[row].figures.files == 0 &&
        m_rows[row].figures.subFolders == 0) {
        m_rows.pop_back();
        m_roots.last().endRow = rowCount();
    }
}

}  // namespace vantrel
