#include "platform/MimeTypes.h"

#include <QHash>
#include <QMimeDatabase>
#include <QMutex>
#include <QSet>

#include <algorithm>

namespace vantrel {

QString mimeDescriptionForExtension(const QString& extensionWithDot) {
    static QMutex mutex;
    static QHash<QString, QString> cache;
    const QString key = extensionWithDot.toLower();
    {
        QMutexLocker lock(&mutex);
        const auto it = cache.constFind(key);
        if (it != cache.constEnd())
            return *it;
    }
    QString description;
    if (extensionWithDot.size() > 1 && extensionWithDot.startsWith(QLatin1Char('.'))) {
        QMimeDatabase db;
        // Looked up in lower case, like the cache key, so that ".C" and ".c"
        // always give the same answer whichever is asked first.
        const QMimeType type =
            db.mimeTypeForFile(QStringLiteral("x") + key, QMimeDatabase::MatchExtension);
        if (type.isValid() && !type.isDefault())
            description = type.comment();
    }
    QMutexLocker lock(&mutex);
    cache.insert(key, description);
    return description;
}

QStringList mimeExtensionCatalogue() {
    QMimeDatabase db;
    QSet<QString> seen;
    QStringList out;
    for (const QMimeType& type : db.allMimeTypes()) {
        for (const QString& glob : type.globPatterns()) {
            if (!glob.startsWith(QStringLiteral("*.")))
                continue;
            const QString ext = glob.mid(1);  // ".txt"
            if (ext.size() < 2 || ext.size() > 5)
                continue;
            bool plain = true;
            for (QChar c : ext.mid(1))
                plain = plain && !(c == QLatin1Char('*') || c == QLatin1Char('?') ||
                                   c == QLatin1Char('[') || c == QLatin1Char('.'));
            if (!plain)
                continue;
            const QString folded = glob.toLower();
            if (seen.contains(folded))
                continue;
            seen.insert(folded);
            out.append(folded);
        }
    }
    std::sort(out.begin(), out.end(), [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    return out;
}

}  // namespace vantrel
