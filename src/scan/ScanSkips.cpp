#include "scan/ScanSkips.h"

#include "text/Formats.h"

namespace vantrel {

namespace {

QString counted(qint64 n, const char* one, const char* many) {
    return numberText(n) + QLatin1Char(' ') + QLatin1String(n == 1 ? one : many);
}

}  // namespace

ScanSkips ScanSkips::of(const WalkReport& report) {
    ScanSkips out;
    qint64 unlisted = 0;
    for (const WalkError& e : report.errors) {
        switch (e.kind) {
            case WalkError::Kind::FolderNotOpened:
            case WalkError::Kind::FolderNotRead:
                ++out.folders;
                break;
            case WalkError::Kind::EntryNotRead:
                ++out.files;
                break;
            case WalkError::Kind::DriveNotOpened:
            case WalkError::Kind::FolderLoop:
                continue;
        }
        if (out.lines.size() < kMaxLines)
            out.lines.append(e.message());
        else
            ++unlisted;
    }
    if (unlisted > 0)
        out.lines.append(QStringLiteral("... and ") + numberText(unlisted) +
                         QStringLiteral(" more"));
    return out;
}

QString ScanSkips::message() const {
    if (isEmpty())
        return QString();
    QString what;
    if (folders > 0)
        what = counted(folders, "folder", "folders");
    if (files > 0) {
        if (!what.isEmpty())
            what += QStringLiteral(" and ");
        what += counted(files, "file", "files");
    }
    return what + QStringLiteral(" could not be read; the result is incomplete.");
}

}  // namespace vantrel
