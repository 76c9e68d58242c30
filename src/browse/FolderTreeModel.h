#pragma once

#include "browse/FolderStream.h"

#include <QAbstractItemModel>
#include <QByteArray>
#include <QHash>
#include <QThreadPool>

#include <atomic>
#include <memory>
#include <vector>

namespace vantrel {

// One sub-folder entry of a folder listing.
struct SubFolder {
    QByteArray name;    // exact bytes
    bool link = false;  // a symbolic link that leads to a folder (shown, never entered)
    bool operator==(const SubFolder&) const = default;
};

// How far a read of sub-folders got.
enum class ReadStep { More, Done, Failed, Cancelled };

// Reads the next entries of `stream`, at most `maxEntries` of them (every
// entry counts, folders or not), and appends the sub-folders among them to
// `out`: folders, and symbolic links whose target is a folder. Nothing is
// opened; an entry whose kind the listing does not give is looked at with
// fstatat, a link's target likewise (without triggering an automount).
// Failed: the listing could not be read on (stream.error()).
ReadStep readSubFolders(FolderStream& stream, std::vector<SubFolder>& out, qsizetype maxEntries,
                        const std::atomic<bool>* cancel = nullptr);

// The order of folders in the tree: by name ignoring ASCII case, then by
// the exact bytes, so that the order never depends on the file system's.
bool folderNameLess(const QByteArray& a, const QByteArray& b);

// The folder tree of the browser: the folders under one root, read lazily
// by exact byte path (names that are not UTF-8 are shown with replacement
// characters and reached by their bytes).
//
// The model has one top-level row, the root itself (shown as its path).
// A folder's sub-folders are read when a view expands it (fetchMore, which
// reads once control is back in the event loop), when reveal() passes
// through it, or when refresh() asks; never before. Up to
// foregroundEntries() entries of a folder are read on the calling thread;
// a bigger folder is read on to its end on a worker thread while the
// caller goes on, and its rows arrive when the worker is done
// (folderRead()). A folder being read has no rows yet.
//
// Symbolic links to folders are listed (LinkRole) but never entered: they
// have no children and are never read. Hidden folders (a name with a leading
// dot) are read like the others but shown only while showHidden() is on.
// A folder that cannot be read has no children; ErrorRole holds the errno.
//
// Each folder is read again by refresh(): folders that appeared are
// inserted, folders that went are removed, and the others stay as they
// were, with what is known below them. Rows change through the ordinary
// insert and remove signals (the whole model resets only for setRoot and
// setShowHidden).
class FolderTreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    enum Role {
        PathRole = Qt::UserRole + 1,  // QByteArray: the folder's exact path
        LinkRole,                     // bool: a symbolic link to a folder
        HiddenRole,                   // bool: the name has a leading dot
        ErrorRole,                    // int: errno of the last failed read, else 0
        ReadRole,                     // bool: its sub-folders have been read
    };

    explicit FolderTreeModel(QObject* parent = nullptr);
    // Stops the reads still running and waits for them.
    ~FolderTreeModel() override;

    // Shows the tree under `root` (an absolute path, exact bytes; cleaned of
    // doubled and trailing slashes). Resets the model; nothing is read yet.
    void setRoot(const QByteArray& root);
    [[nodiscard]] const QByteArray& root() const { return m_rootPath; }

    void setShowHidden(bool show);
    [[nodiscard]] bool showHidden() const { return m_showHidden; }

    // Entries of a folder read on the calling thread before the rest goes to
    // a worker (0: every folder is read on a worker).
    void setForegroundEntries(qsizetype entries) { m_foregroundEntries = entries; }
    [[nodiscard]] qsizetype foregroundEntries() const { return m_foregroundEntries; }

    [[nodiscard]] QModelIndex rootIndex() const;
    [[nodiscard]] QByteArray pathOf(const QModelIndex& index) const;
    // The shown row of a folder whose parents have all been read, or an
    // invalid index.
    [[nodiscard]] QModelIndex indexOf(const QByteArray& path) const;
    [[nodiscard]] bool isLink(const QModelIndex& index) const;
    [[nodiscard]] bool isReading(const QModelIndex& index) const;
    // Whether a read of some folder is still waiting or running on a worker.
    [[nodiscard]] bool isBusy() const { return !m_jobs.isEmpty(); }

    // Reads the folder's sub-folders again (see above). A read of it still
    // running is dropped and started over. Links are never read.
    void refresh(const QModelIndex& index);

    // Reads down from the root along `path` (an absolute path under the
    // root), folder by folder, and then emits revealed() with the deepest
    // folder of the path that is shown: the folder itself, or the last of
    // its ancestors that exists, can be read, is no link and is not hidden
    // while hidden folders are not shown. A path outside the root reveals
    // the root. May emit before it returns (everything read already, or
    // small folders); otherwise once the workers are done. A later reveal
    // replaces one still waiting.
    void reveal(const QByteArray& path);

    // QAbstractItemModel
    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

Q_SIGNALS:
    void revealed(const QModelIndex& index);
    // A folder's read has ended and its rows are in (or it failed).
    void folderRead(const QModelIndex& index);

private:
    struct Node;
    struct Job;

    Node* nodeOf(const QModelIndex& index) const;
    QModelIndex indexOf(const Node* node) const;
    QByteArray pathOf(const Node* node) const;
    bool isShown(const Node& node) const;
    void startRead(Node* node);
    void finishRead(Node* node, std::vector<SubFolder> found, int error, bool fromWorker);
    void mergeChildren(Node* node, std::vector<SubFolder> found);
    void dropJobs(Node* node);
    void continueReveal();

    std::unique_ptr<Node> m_root;
    QByteArray m_rootPath;
    bool m_showHidden = false;
    qsizetype m_foregroundEntries = 4096;

    // Reads running on workers, by their id; each knows its folder.
    QHash<quint64, std::shared_ptr<Job>> m_jobs;
    quint64 m_nextJob = 1;
    QThreadPool m_pool;

    QByteArray m_revealTarget;
    bool m_revealPending = false;
    bool m_revealRunning = false;
};

}  // namespace vantrel
