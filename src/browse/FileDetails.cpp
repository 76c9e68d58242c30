#include "browse/FileDetails.h"

#include "browse/PeVersion.h"
#include "platform/FileRecord.h"
#include "text/Formats.h"

#include <iterator>

namespace vantrel {

namespace {

struct VersionKey {
    const char16_t* key;
    const char16_t* label;
};

constexpr VersionKey kVersionKeys[] = {
    {u"CompanyName", u"Company: "},
    {u"FileDescription", u"File description: "},
    {u"FileVersion", u"File version: "},
    {u"InternalName", u"Internal name: "},
    {u"LegalCopyright", u"Copyright: "},
    {u"LegalTrademarks", u"Trademarks: "},
    {u"OriginalFilename", u"Original filename: "},
    {u"PrivateBuild", u"Private build info: "},
    {u"ProductName", u"Product name: "},
    {u"ProductVersion", u"Product version: "},
    {u"SpecialBuild", u"Special build info: "},
};

QString withoutLeadingBlanks(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && text.at(i).unicode() <= 0x20)
        ++i;
    return text.mid(i);
}

QByteArray folderOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    if (slash == 0)
        return QByteArrayLiteral("/");
    return path.left(slash);
}

QByteArray nameOf(const QByteArray& path) {
    return path.mid(path.lastIndexOf('/') + 1);
}

}  // namespace

QStringList versionLines(const PeVersionInfo& info, bool withTab) {
    QStringList lines;
    const QList<VersionTranslation> translations = info.translations();
    if (translations.isEmpty())
        return lines;
    const QString table = translations.first().tableKey();
    const QString separator = withTab ? QStringLiteral("\t") : QString();
    for (const VersionKey& k : kVersionKeys) {
        const QString label = QString::fromUtf16(k.label);
        const QString value = withoutLeadingBlanks(
            info.stringValue(table, QString::fromUtf16(k.key)).value_or(QString()));
        QString line = label + separator;
        if (label == u"Copyright: ")
            line += separator;
        lines.append(line + value);
    }
    return lines;
}

QStringList versionLines(const QByteArray& path, bool withTab) {
    const auto info = PeVersionInfo::fromFile(path);
    return info ? versionLines(*info, withTab) : QStringList();
}

namespace {

// Whole clusters of `cluster` bytes that `size` bytes fill, rounded up.
qint64 wholeClusters(qint64 size, qint64 cluster) {
    const qint64 bytes = qMax<qint64>(size, 0);
    return bytes / cluster + (bytes % cluster != 0 ? 1 : 0);
}

}  // namespace

QString clusterUseText(qint64 size, const std::optional<DiskGeometry>& geometry) {
    if (!geometry || geometry->clusterSize <= 0)
        return QStringLiteral("Cluster size: ???  Clusters used : ???");
    const qint64 cluster = geometry->clusterSize;
    return QStringLiteral("Cluster size: ") + numberText(cluster) +
           QStringLiteral("  Clusters used : ") + numberText(wholeClusters(size, cluster));
}

QString wastedClusterSpace(const QByteArray& path, qint64 size) {
    return clusterUseText(size, diskGeometry(folderOf(path)));
}

QString diskUseText(qint64 size, qint64 allocatedBytes,
                    const std::optional<DiskGeometry>& geometry) {
    QString text;
    if (geometry && geometry->clusterSize > 0) {
        const qint64 cluster = geometry->clusterSize;
        const qint64 wasted = wholeClusters(size, cluster) * cluster - qMax<qint64>(size, 0);
        text = QStringLiteral("Wasted : ") + numberText(wasted) + QStringLiteral(" bytes  ");
    }
    return text + QStringLiteral("On disk : ") + numberText(allocatedBytes) +
           QStringLiteral(" bytes");
}

QString attributeWords(quint32 attr) {
    static const struct {
        quint32 bit;
        const char* word;
    } words[] = {
        {faReadOnly, " ReadOnly"}, {faHidden, " Hidden"},       {faSysFile, " System"},
        {faVolumeID, " VolumeID"}, {faDirectory, " Directory"}, {faArchive, " Archive"},
    };
    QString out;
    for (const auto& w : words) {
        if (attr & w.bit)
            out += QLatin1String(w.word);
    }
    return out;
}

QString detailsDateText(quint32 packed, const QDateTime& now, bool withTime) {
    QString text = fileDateText(packed);
    if (text.isEmpty())
        return QStringLiteral("???");
    if (withTime)
        text += QLatin1Char(' ') + fileTimeText(packed);
    return text + QStringLiteral("  ") + relativeDateText(fileDateTime(packed), now);
}

std::optional<FileDetails> readFileDetails(const QByteArray& path, const QDateTime& now) {
    FileRecord record;
    if (path.isEmpty() || !statPath(path, record))
        return std::nullopt;
    FileDetails d;
    d.attr = record.attr;
    d.size = record.size;
    d.fileName = displayText(path);
    d.fileType = fileTypeDescription(extensionOf(displayText(nameOf(path))));
    d.sizeBytes = numberText(record.size) + QStringLiteral(" bytes");
    const auto geometry = diskGeometry(folderOf(path));
    d.sizeK = clusterUseText(record.size, geometry);
    d.diskUse = diskUseText(record.size, record.allocated, geometry);
    d.created = detailsDateText(record.packedCreationTime(), now);
    d.modified = detailsDateText(record.packedWriteTime(), now);
    d.accessed = detailsDateText(record.packedAccessTime(), now);
    d.attributes = attributeWords(record.attr);
    return d;
}

bool isFolderPath(const QByteArray& path) {
    FileRecord record;
    return !path.isEmpty() && statPath(path, record) && record.isDirectory();
}

QStringList detailsPrintLines(const FileDetails& details, const QStringList& versionLines) {
    const QString tab = QStringLiteral("\t");
    const QString blank = QStringLiteral(" ");
    QStringList lines{
        QStringLiteral("Name of file : ") + tab + details.fileName,
        QStringLiteral("Type of file : ") + tab + details.fileType,
        blank,
        QStringLiteral("Size of file : ") + tab + details.sizeBytes,
        QString(15, QLatin1Char(' ')) + tab + details.sizeK +
            (details.diskUse.isEmpty() ? QString() : QStringLiteral("  ") + details.diskUse),
        blank,
        QStringLiteral("Creation date     : ") + tab + details.created,
        QStringLiteral("Modification date : ") + tab + details.modified,
        QStringLiteral("Access date       : ") + tab + details.accessed,
        blank,
        QStringLiteral("Attributes : ") + tab + details.attributes,
        blank,
    };
    lines += versionLines;
    return lines;
}

QString detailsPrintTitle(const QString& path) {
    return QStringLiteral("File details of ") + path;
}

}  // namespace vantrel
