#include "platform/ui/Shell.h"

#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>

namespace vantrel {

QUrl urlForPath(const QByteArray& path) {
    return QUrl::fromEncoded("file://" + path.toPercentEncoding("/"), QUrl::StrictMode);
}

bool openWithAssociatedApplication(const QByteArray& path) {
    return QDesktopServices::openUrl(urlForPath(path));
}

QIcon associatedIcon(const QByteArray& path) {
    QMimeDatabase db;
    const QMimeType type = db.mimeTypeForFile(QFile::decodeName(path));
    QIcon icon = QIcon::fromTheme(type.iconName());
    if (icon.isNull())
        icon = QIcon::fromTheme(type.genericIconName());
    return icon;
}

}  // namespace vantrel
