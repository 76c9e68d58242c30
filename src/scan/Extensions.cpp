#include "scan/Extensions.h"

#include "platform/MimeTypes.h"
#include "text/Formats.h"

namespace vantrel {

namespace {

const QString& allFilesPattern() {
    static const QString pattern = QStringLiteral("*.*");
    return pattern;
}

const QStringList& catalogue() {
    // The MIME database already applies the length and form rules; keep the
    // guard here too so that the drop-downs never hold anything longer.
    static const QStringList entries = [] {
        QStringList out;
        for (const QString& glob : mimeExtensionCatalogue()) {
            if (glob.startsWith(QStringLiteral("*.")) && glob.size() >= 3 && glob.size() <= 6)
                out.append(glob);
        }
        return out;
    }();
    return entries;
}

}  // namespace

void registryExtensions(QStringList& list, bool withAll) {
    list.clear();
    if (withAll)
        list.append(allFilesPattern());
    list.append(catalogue());
}

QStringList registryExtensions(bool withAll) {
    QStringList list;
    registryExtensions(list, withAll);
    return list;
}

const QStringList& registryExtensionLines() {
    static const QStringList lines = [] {
        QStringList out;
        out.reserve(catalogue().size());
        for (const QString& entry : catalogue())
            out.append(entry + QLatin1Char('\t') + fileTypeDescription(entry.mid(1)));
        return out;
    }();
    return lines;
}

QString wildcardTypeText(const QString& wildcard) {
    // "*." names files without an extension; a lone dot is no type of its own.
    const QString extension = wildcard.mid(1);
    if (extension == QStringLiteral("."))
        return fileTypeDescription(QStringLiteral("*."));
    return fileTypeDescription(extension);
}

QString wildcardDescription(const QString& wildcard) {
    if (wildcard == allFilesPattern())
        return QStringLiteral("All files");
    return wildcardTypeText(wildcard);
}

}  // namespace vantrel
