#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

class QWidget;

namespace vantrel {

// The windows that live from start-up to the end of the run, listed in the
// order in which they are created.
enum class LongLivedWindow { Statistics, Find, PairComparison };

// Where the folder browser opens: the folder it lists (exact bytes), the
// file of that folder to select (its name, exact bytes; empty for none), and
// the wildcard of the listing.
struct BrowseRequest {
    QByteArray folder;
    QByteArray file;
    QString mask = QStringLiteral("*.*");
};

// The browser at the folder of `path` (exact bytes of a file's path) with
// that file selected.
inline BrowseRequest browseRequestAt(const QByteArray& path, const QString& mask) {
    const qsizetype slash = path.lastIndexOf('/');
    BrowseRequest request;
    request.folder = slash <= 0 ? QByteArray("/") : path.left(slash);
    request.file = path.mid(slash + 1);
    request.mask = mask;
    return request;
}

// What a tool window may ask of the program beyond its own work: the
// windows that live for the whole run, the folder browser, help. The
// program implements it and hands it to every tool window it makes, so that
// no tool includes the program's own headers; tests hand in their own.
class ToolServices {
public:
    virtual ~ToolServices() = default;

    // A window made at start-up, or null when it was not made (or is gone).
    virtual QWidget* longLived(LongLivedWindow which) const = 0;
    // Whether browse() can open a browser (tools hide their Browse buttons
    // otherwise).
    virtual bool canBrowse() const = 0;
    // Opens the folder browser modally over `parent` as `request` says and
    // returns when it closes; does nothing when canBrowse() is false.
    virtual void browse(QWidget* parent, const BrowseRequest& request) const = 0;
    // Shows a help topic; false (after an error box over `from`) when the
    // help file cannot be read.
    virtual bool showHelp(int context, QWidget* from) const = 0;
};

// Opens the browser over `parent` at the folder of `path` (a file's exact
// path) with that file selected and `mask` as the listing's wildcard. Does
// nothing when there is no browser (`services` null or unable to browse) or
// `path` names no folder.
inline void browseToFile(const ToolServices* services, QWidget* parent, const QByteArray& path,
                         const QString& mask) {
    if (!services || !services->canBrowse() || !path.contains('/'))
        return;
    services->browse(parent, browseRequestAt(path, mask));
}

// What a tool window is made with.
struct ToolRequest {
    QWidget* owner = nullptr;                // the window it is opened over, its parent
    bool duplicateMode = false;              // duplicates window: true files, false hogs
    const ToolServices* services = nullptr;  // null: no browser, no long-lived windows
    // The browser only: where to open (none: at the process's current folder).
    std::optional<BrowseRequest> browseAt;
};

}  // namespace vantrel
