#include "browse/FolderTreeModel.h"

#include "browse/BrowseText.h"
#include "scan/DriveList.h"
#include "text/Formats.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <limits>
#include <optional>

namespace vantrel {

struct FolderTreeModel::Node {
    QByteArray name;  // the root: its whole path
    Node* parent = nullptr;
    int row = 0;  // its row among the parent's shown folders
    bool link = false;
    bool hidden = false;
    bool read = false;     // its sub-folders have been read (or the read failed)
    bool reading = false;  // a read runs on a worker
    bool kept = true;      // scratch of mergeChildren
    int error = 0;
    quint64 job = 0;
    std::vector<std::unique_ptr<Node>> children;  // every sub-folder, in folderNameLess order
    std::vector<Node*> shown;                     // the children shown, in the same order
};

struct FolderTreeModel::Job {
    quint64 id = 0;
    Node* node = nullptr;  // touched on the model's thread only
    std::atomic<bool> cancelled{false};
    std::unique_ptr<FolderStream> stream;
    std::vector<SubFolder> found;
};

// ---- Reading ------------------------------------------------------------------

bool folderNameLess(const QByteArray& a, const QByteArray& b) {
    const int folded = qstrnicmp(a.constData(), a.size(), b.constData(), b.size());
    if (folded != 0)
        return folded < 0;
    return a < b;
}

ReadStep readSubFolders(FolderStream& stream, std::vector<SubFolder>& out, qsizetype maxEntries,
                        const std::atomic<bool>* cancel) {
    FolderStream::Entry entry;
    for (qsizetype seen = 0; seen < maxEntries; ++seen) {
        if (cancel && (seen & 255) == 0 && cancel->load(std::memory_order_relaxed))
            return ReadStep::Cancelled;
        if (!stream.next(entry))
            return stream.error() != 0 ? ReadStep::Failed : ReadStep::Done;
        FolderStream::Kind kind = entry.kind;
        // The name comes from the listing and ends in a zero byte.
        const char* name = entry.name.data();
        struct stat st;
        if (kind == FolderStream::Kind::Unknown) {
            if (::fstatat(stream.fd(), name, &st, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT) != 0)
                continue;  // gone meanwhile
            kind = S_ISDIR(st.st_mode)   ? FolderStream::Kind::Folder
                   : S_ISLNK(st.st_mode) ? FolderStream::Kind::Link
                                         : FolderStream::Kind::Other;
        }
        if (kind == FolderStream::Kind::Folder) {
            out.push_back(SubFolder{entry.name.toByteArray(), false});
        } else if (kind == FolderStream::Kind::Link) {
            // Where the link leads is looked at, never entered.
            if (::fstatat(stream.fd(), name, &st, AT_NO_AUTOMOUNT) == 0 && S_ISDIR(st.st_mode))
                out.push_back(SubFolder{entry.name.toByteArray(), true});
        }
    }
    return ReadStep::More;
}

// ---- The model ----------------------------------------------------------------

FolderTreeModel::FolderTreeModel(QObject* parent) : QAbstractItemModel(parent) {
    m_pool.setMaxThreadCount(2);
}

FolderTreeModel::~FolderTreeModel() {
    for (const auto& job : std::as_const(m_jobs))
        job->cancelled = true;
    m_jobs.clear();
    m_pool.waitForDone();
}

void FolderTreeModel::setRoot(const QByteArray& root) {
    beginResetModel();
    if (m_root)
        dropJobs(m_root.get());
    QByteArray clean = cleanRootPath(root);
    if (clean.isEmpty())
        clean = root;
    m_rootPath = clean;
    m_root = std::make_unique<Node>();
    m_root->name = clean;
    m_revealPending = false;
    m_revealTarget.clear();
    endResetModel();
}

void FolderTreeModel::setShowHidden(bool show) {
    if (show == m_showHidden)
        return;
    beginResetModel();
    m_showHidden = show;
    const std::function<void(Node*)> reshow = [&](Node* node) {
        node->shown.clear();
        for (const auto& child : node->children) {
            if (isShown(*child)) {
                child->row = int(node->shown.size());
                node->shown.push_back(child.get());
            }
            reshow(child.get());
        }
    };
    if (m_root)
        reshow(m_root.get());
    endResetModel();
}

FolderTreeModel::Node* FolderTreeModel::nodeOf(const QModelIndex& index) const {
    if (!index.isValid() || index.model() != this)
        return nullptr;
    return static_cast<Node*>(index.internalPointer());
}

QModelIndex FolderTreeModel::indexOf(const Node* node) const {
    if (!node)
        return {};
    return createIndex(node->row, 0, const_cast<Node*>(node));
}

QModelIndex FolderTreeModel::rootIndex() const {
    return indexOf(m_root.get());
}

QByteArray FolderTreeModel::pathOf(const Node* node) const {
    if (!node)
        return {};
    if (!node->parent)
        return node->name;
    return joinPath(pathOf(node->parent), node->name);
}

QByteArray FolderTreeModel::pathOf(const QModelIndex& index) const {
    return pathOf(nodeOf(index));
}

bool FolderTreeModel::isShown(const Node& node) const {
    return !node.hidden || m_showHidden || !node.parent;
}

bool FolderTreeModel::isLink(const QModelIndex& index) const {
    const Node* node = nodeOf(index);
    return node && node->link;
}

bool FolderTreeModel::isReading(const QModelIndex& index) const {
    const Node* node = nodeOf(index);
    return node && node->reading;
}

namespace {

// The path's folder names below `root`, or nullopt when it does not lie
// there (the root itself gives no names).
std::optional<QList<QByteArray>> namesBelow(const QByteArray& root, const QByteArray& path) {
    if (path == root)
        return QList<QByteArray>{};
    const QByteArray prefix = root.endsWith('/') ? root : root + '/';
    if (!path.startsWith(prefix))
        return std::nullopt;
    QList<QByteArray> names;
    for (const QByteArray& part : path.mid(prefix.size()).split('/')) {
        if (!part.isEmpty())
            names.append(part);
    }
    return names;
}

}  // namespace

QModelIndex FolderTreeModel::indexOf(const QByteArray& path) const {
    if (!m_root)
        return {};
    const auto names = namesBelow(m_rootPath, cleanRootPath(path));
    if (!names)
        return {};
    const Node* node = m_root.get();
    for (const QByteArray& name : *names) {
        const auto it = std::find_if(node->shown.cbegin(), node->shown.cend(),
                                     [&name](const Node* n) { return n->name == name; });
        if (it == node->shown.cend())
            return {};
        node = *it;
    }
    return indexOf(node);
}

// ---- Reads --------------------------------------------------------------------

void FolderTreeModel::dropJobs(Node* node) {
    if (node->job) {
        if (const auto job = m_jobs.take(node->job))
            job->cancelled = true;
        node->job = 0;
    }
    node->reading = false;
    for (const auto& child : node->children)
        dropJobs(child.get());
}

void FolderTreeModel::startRead(Node* node) {
    if (node->link)
        return;
    if (node->job) {
        if (const auto job = m_jobs.take(node->job))
            job->cancelled = true;
        node->job = 0;
        node->reading = false;
    }
    int error = 0;
    // The root is opened as named (it may be given through a link); a folder
    // below it is never reached through a link put in its place.
    std::unique_ptr<FolderStream> stream = FolderStream::open(pathOf(node), !node->parent, &error);
    if (!stream) {
        finishRead(node, {}, error, false);
        return;
    }
    std::vector<SubFolder> found;
    const ReadStep step = readSubFolders(*stream, found, m_foregroundEntries);
    if (step == ReadStep::Done || step == ReadStep::Failed) {
        finishRead(node, step == ReadStep::Done ? std::move(found) : std::vector<SubFolder>{},
                   step == ReadStep::Done ? 0 : stream->error(), false);
        return;
    }

    // A big folder: the rest is read on a worker.
    auto job = std::make_shared<Job>();
    job->id = m_nextJob++;
    job->node = node;
    job->stream = std::move(stream);
    job->found = std::move(found);
    node->job = job->id;
    node->reading = true;
    m_jobs.insert(job->id, job);
    m_pool.start([this, job] {
        const ReadStep rest = readSubFolders(
            *job->stream, job->found, std::numeric_limits<qsizetype>::max(), &job->cancelled);
        const int failure = rest == ReadStep::Failed ? job->stream->error() : 0;
        job->stream.reset();
        if (rest == ReadStep::Cancelled)
            return;
        QMetaObject::invokeMethod(
            this,
            [this, job, failure] {
                if (m_jobs.value(job->id) != job)
                    return;  // dropped meanwhile
                m_jobs.remove(job->id);
                Node* folder = job->node;
                folder->job = 0;
                finishRead(folder, failure == 0 ? std::move(job->found) : std::vector<SubFolder>{},
                           failure, true);
            },
            Qt::QueuedConnection);
    });
}

void FolderTreeModel::finishRead(Node* node, std::vector<SubFolder> found, int error,
                                 bool fromWorker) {
    Q_UNUSED(fromWorker)
    node->reading = false;
    node->read = true;
    node->error = error;
    mergeChildren(node, std::move(found));
    if (isShown(*node)) {
        const QModelIndex index = indexOf(node);
        Q_EMIT dataChanged(index, index);
        Q_EMIT folderRead(index);
    }
    if (m_revealPending && !m_revealRunning)
        continueReveal();
}

void FolderTreeModel::mergeChildren(Node* node, std::vector<SubFolder> found) {
    std::sort(found.begin(), found.end(), [](const SubFolder& a, const SubFolder& b) {
        return folderNameLess(a.name, b.name);
    });

    // Folders that are still there keep their nodes (and what was read below
    // them); the others are new.
    std::vector<std::unique_ptr<Node>> old = std::move(node->children);
    node->children.clear();
    for (const auto& child : old)
        child->kept = false;
    std::vector<std::unique_ptr<Node>> fresh;
    fresh.reserve(found.size());
    size_t i = 0;
    for (SubFolder& f : found) {
        while (i < old.size() && folderNameLess(old[i]->name, f.name))
            ++i;
        if (i < old.size() && old[i]->name == f.name && old[i]->link == f.link) {
            old[i]->kept = true;
            fresh.push_back(std::move(old[i]));
            ++i;
            continue;
        }
        auto child = std::make_unique<Node>();
        child->name = std::move(f.name);
        child->link = f.link;
        child->hidden = child->name.startsWith('.');
        child->parent = node;
        child->read = child->link;  // a link is never read: it has no children
        fresh.push_back(std::move(child));
    }
    // The nodes that go stop their reads now; they live until their rows
    // have been removed.
    std::vector<std::unique_ptr<Node>> gone;
    for (auto& child : old) {
        if (child) {
            dropJobs(child.get());
            gone.push_back(std::move(child));
        }
    }

    const QModelIndex parentIndex = indexOf(node);
    const auto renumber = [node](size_t from) {
        for (size_t k = from; k < node->shown.size(); ++k)
            node->shown[k]->row = int(k);
    };
    // Removed rows, in runs from the end.
    for (int last = int(node->shown.size()) - 1; last >= 0;) {
        if (node->shown[size_t(last)]->kept) {
            --last;
            continue;
        }
        int first = last;
        while (first > 0 && !node->shown[size_t(first - 1)]->kept)
            --first;
        beginRemoveRows(parentIndex, first, last);
        node->shown.erase(node->shown.begin() + first, node->shown.begin() + last + 1);
        renumber(size_t(first));
        endRemoveRows();
        last = first - 1;
    }
    // New rows, in runs from the start. What is shown now is in the order of
    // `fresh`, so the two are walked side by side.
    size_t at = 0;
    for (size_t k = 0; k < fresh.size();) {
        Node* child = fresh[k].get();
        if (!isShown(*child)) {
            ++k;
            continue;
        }
        if (at < node->shown.size() && node->shown[at] == child) {
            ++at;
            ++k;
            continue;
        }
        std::vector<Node*> run;
        size_t next = k;
        for (; next < fresh.size(); ++next) {
            Node* c = fresh[next].get();
            if (at < node->shown.size() && node->shown[at] == c)
                break;
            if (isShown(*c))
                run.push_back(c);
        }
        beginInsertRows(parentIndex, int(at), int(at + run.size()) - 1);
        node->shown.insert(node->shown.begin() + qsizetype(at), run.begin(), run.end());
        renumber(at);
        endInsertRows();
        at += run.size();
        k = next;
    }
    node->children = std::move(fresh);
}

void FolderTreeModel::refresh(const QModelIndex& index) {
    Node* node = nodeOf(index);
    if (node)
        startRead(node);
}

void FolderTreeModel::reveal(const QByteArray& path) {
    m_revealTarget = cleanRootPath(path);
    if (m_revealTarget.isEmpty())
        m_revealTarget = m_rootPath;
    m_revealPending = true;
    if (!m_revealRunning)
        continueReveal();
}

void FolderTreeModel::continueReveal() {
    if (!m_root) {
        m_revealPending = false;
        return;
    }
    m_revealRunning = true;
    Node* node = m_root.get();
    const auto names = namesBelow(m_rootPath, m_revealTarget);
    for (const QByteArray& name : names.value_or(QList<QByteArray>{})) {
        if (node->link)
            break;
        if (!node->read || node->reading) {
            if (!node->reading)
                startRead(node);
            if (node->reading) {
                // Goes on when the worker has read it.
                m_revealRunning = false;
                return;
            }
        }
        const auto it = std::find_if(node->shown.cbegin(), node->shown.cend(),
                                     [&name](const Node* n) { return n->name == name; });
        if (it == node->shown.cend())
            break;
        node = *it;
    }
    m_revealPending = false;
    m_revealRunning = false;
    m_revealTarget.clear();
    Q_EMIT revealed(indexOf(node));
}

// ---- QAbstractItemModel ---------------------------------------------------------

QModelIndex FolderTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (column != 0 || row < 0)
        return {};
    if (!parent.isValid())
        return row == 0 && m_root ? indexOf(m_root.get()) : QModelIndex();
    const Node* node = nodeOf(parent);
    if (!node || row >= int(node->shown.size()))
        return {};
    return createIndex(row, 0, node->shown[size_t(row)]);
}

QModelIndex FolderTreeModel::parent(const QModelIndex& child) const {
    const Node* node = nodeOf(child);
    if (!node || !node->parent)
        return {};
    return indexOf(node->parent);
}

int FolderTreeModel::rowCount(const QModelIndex& parent) const {
    if (parent.column() > 0)
        return 0;
    if (!parent.isValid())
        return m_root ? 1 : 0;
    const Node* node = nodeOf(parent);
    return node ? int(node->shown.size()) : 0;
}

int FolderTreeModel::columnCount(const QModelIndex& parent) const {
    return parent.column() > 0 ? 0 : 1;
}

bool FolderTreeModel::hasChildren(const QModelIndex& parent) const {
    if (!parent.isValid())
        return m_root != nullptr;
    const Node* node = nodeOf(parent);
    if (!node || node->link || parent.column() > 0)
        return false;
    // Not read yet: it may have some (a view offers to expand it).
    if (!node->read || node->reading)
        return true;
    return !node->shown.empty();
}

bool FolderTreeModel::canFetchMore(const QModelIndex& parent) const {
    const Node* node = nodeOf(parent);
    return node && !node->link && !node->read && !node->reading;
}

void FolderTreeModel::fetchMore(const QModelIndex& parent) {
    Node* node = nodeOf(parent);
    if (!node || node->link || node->read || node->reading)
        return;
    // Read when control is back in the event loop: a view (or a tester)
    // asks while it is in the middle of handling another change, when rows
    // must not come in yet.
    auto job = std::make_shared<Job>();
    job->id = m_nextJob++;
    job->node = node;
    node->job = job->id;
    node->reading = true;
    m_jobs.insert(job->id, job);
    QMetaObject::invokeMethod(
        this,
        [this, job] {
            if (m_jobs.value(job->id) != job)
                return;  // dropped meanwhile
            m_jobs.remove(job->id);
            job->node->job = 0;
            job->node->reading = false;
            startRead(job->node);
        },
        Qt::QueuedConnection);
}

Qt::ItemFlags FolderTreeModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    const Node* node = nodeOf(index);
    if (node && node->link)
        f |= Qt::ItemNeverHasChildren;
    return f;
}

QVariant FolderTreeModel::data(const QModelIndex& index, int role) const {
    const Node* node = nodeOf(index);
    if (!node)
        return {};
    switch (role) {
        case Qt::DisplayRole:
            return node->parent ? nameText(node->name) : displayText(node->name);
        case Qt::ToolTipRole: {
            const QByteArray path = pathOf(node);
            if (node->link) {
                QByteArray target(4096, '\0');
                const ssize_t n =
                    ::readlink(path.constData(), target.data(), size_t(target.size()));
                target.resize(n > 0 ? qsizetype(n) : 0);
                return QStringLiteral("Symbolic link to ") + displayText(target) +
                       QStringLiteral(" (not followed)");
            }
            if (node->error != 0)
                return displayText(path) + QStringLiteral(": ") +
                       QString::fromLocal8Bit(std::strerror(node->error));
            return displayText(path);
        }
        case PathRole:
            return pathOf(node);
        case LinkRole:
            return node->link;
        case HiddenRole:
            return node->hidden;
        case ErrorRole:
            return node->error;
        case ReadRole:
            return node->read && !node->reading;
        default:
            return {};
    }
}

}  // namespace vantrel
