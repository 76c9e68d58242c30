#include "scan/DriveList.h"

#include <sys/stat.h>
#include <unistd.h>

namespace vantrel {

namespace {

const QString kFolderType = QStringLiteral("folder");

bool listed(const QList<DriveListEntry>& entries, const QByteArray& root) {
    for (const DriveListEntry& e : entries) {
        if (e.drive.root == root)
            return true;
    }
    return false;
}

QStringList storedTexts(const IniFile& settings) {
    return readPatternList(settings, kFoldersSection, {});
}

// The folder's path as the settings file stores it, when it survives the
// trip through text unchanged.
std::optional<QString> storableText(const QByteArray& root) {
    const QString text = QString::fromUtf8(root);
    if (text.toUtf8() != root)
        return std::nullopt;
    return text;
}

}  // namespace

QByteArray cleanRootPath(const QByteArray& path) {
    if (!path.startsWith('/'))
        return QByteArray();
    QList<QByteArray> parts;
    for (const QByteArray& part : path.split('/')) {
        if (part.isEmpty() || part == ".")
            continue;
        if (part == "..") {
            if (!parts.isEmpty())
                parts.removeLast();
            continue;
        }
        parts.append(part);
    }
    return '/' + parts.join('/');
}

QList<DriveEntry> storedFolders(const IniFile& settings) {
    QList<DriveEntry> folders;
    for (const QString& text : storedTexts(settings)) {
        const QByteArray root = cleanRootPath(text.toUtf8());
        if (root.isEmpty())
            continue;
        bool repeat = false;
        for (const DriveEntry& f : folders)
            repeat = repeat || f.root == root;
        if (!repeat)
            folders.append(DriveEntry{root, kFolderType});
    }
    return folders;
}

QList<DriveListEntry> driveListEntries(const IniFile& settings) {
    QList<DriveListEntry> entries;
    for (const DriveEntry& d : systemDrives())
        entries.append(DriveListEntry{d, false});
    for (const DriveEntry& f : storedFolders(settings)) {
        if (!listed(entries, f.root))
            entries.append(DriveListEntry{f, true});
    }
    return entries;
}

AddFolderResult addFolder(IniFile& settings, const QByteArray& folder) {
    const QByteArray root = cleanRootPath(folder);
    struct stat info;
    if (root.isEmpty() || ::stat(root.constData(), &info) != 0 || !S_ISDIR(info.st_mode))
        return AddFolderResult::NotAFolder;
    if (root.contains('\n') || root.contains('\r'))
        return AddFolderResult::NameHasLineBreak;
    const std::optional<QString> text = storableText(root);
    if (!text)
        return AddFolderResult::NameNotStorable;
    for (const DriveEntry& d : systemDrives()) {
        if (d.root == root)
            return AddFolderResult::AlreadyListed;
    }
    bool stored = false;
    const bool written = settings.update([&](IniDocument& doc) {
        QStringList texts = readPatternList(doc, kFoldersSection, {});
        for (const QString& t : std::as_const(texts))
            stored = stored || cleanRootPath(t.toUtf8()) == root;
        if (stored)
            return;  // unchanged
        texts.append(*text);
        writePatternList(doc, kFoldersSection, texts);
    });
    if (stored)
        return AddFolderResult::AlreadyListed;
    return written ? AddFolderResult::Added : AddFolderResult::NotWritten;
}

bool removeFolder(IniFile& settings, const QByteArray& root) {
    bool found = false;
    const bool written = settings.update([&](IniDocument& doc) {
        const QStringList texts = readPatternList(doc, kFoldersSection, {});
        QStringList kept;
        for (const QString& text : texts) {
            if (cleanRootPath(text.toUtf8()) != root)
                kept.append(text);
        }
        found = kept.size() != texts.size();
        if (found)
            writePatternList(doc, kFoldersSection, kept);
    });
    return found && written;
}

int currentDriveIndex(const QList<DriveListEntry>& entries) {
    QList<DriveEntry> drives;
    drives.reserve(entries.size());
    for (const DriveListEntry& e : entries)
        drives.append(e.drive);
    // getcwd keeps the exact bytes of a folder whose name is not UTF-8.
    QByteArray current(4096, '\0');
    if (::getcwd(current.data(), size_t(current.size())) == nullptr)
        return -1;
    current.truncate(qsizetype(qstrlen(current.constData())));
    return closestDriveIndex(drives, current);
}

}  // namespace vantrel
