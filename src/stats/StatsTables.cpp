#include "stats/StatsTables.h"

#include "text/Formats.h"

namespace vantrel {

namespace {

double share(qint64 part, qint64 whole) {
    return whole > 0 ? double(part) * 100.0 / double(whole) : 0.0;
}

}  // namespace

QList<ClassRow> sizeRows(const StatsTotals& totals) {
    QList<ClassRow> rows;
    for (int c = kSizeClasses - 1; c >= 0; --c)
        rows.append(ClassRow{sizeClassLabel(c), totals.sizeBytes[std::size_t(c)],
                             totals.sizeCount[std::size_t(c)]});
    return rows;
}

QList<ClassRow> ageRows(const StatsTotals& totals, AgeKind kind) {
    QList<ClassRow> rows;
    const auto k = std::size_t(kind);
    for (int c = kAgeClasses - 1; c >= 0; --c)
        rows.append(ClassRow{ageClassLabel(c), totals.ageBytes[k][std::size_t(c)],
                             totals.ageCount[k][std::size_t(c)]});
    return rows;
}

QList<AttributeRow> attributeRows(const StatsTotals& totals) {
    const qint64 allBytes = totals.totalBytes();
    QList<AttributeRow> rows;
    for (int a = 0; a < kStatsAttributes; ++a) {
        AttributeRow row;
        row.attribute = StatsAttribute(a);
        row.label = attributeLabel(row.attribute);
        row.count = totals.attrCount[std::size_t(a)];
        row.bytes = totals.attrBytes[std::size_t(a)];
        row.countPercent = share(row.count, totals.filesFound);
        row.bytesPercent = share(row.bytes, allBytes);
        rows.append(row);
    }
    return rows;
}

OverhangFigures overhangFigures(const StatsTotals& totals, qint64 clusterSize) {
    OverhangFigures f;
    f.totalBytes = totals.totalBytes();
    f.filesFound = totals.filesFound;
    f.slack = totals.slackBytes;
    for (int i = 0; i < kClusterSizeCount; ++i) {
        const qint64 slack = f.slack[std::size_t(i)];
        f.percentWasted[std::size_t(i)] = share(slack, slack + f.totalBytes);
    }
    f.clusterIndex = clusterSizeIndex(clusterSize);
    f.allocatedBytes = totals.allocatedBytes;
    return f;
}

QString kilobyteOrMegabyteText(qint64 bytes) {
    if (bytes >= 1048576)
        return numberText(bytes / 1048576) + QStringLiteral(" MB");
    return numberText(bytes / 1024) + QStringLiteral(" KB");
}

QString percentLabel(double percent, int decimals) {
    const TextLocale& loc = TextLocale::current();
    QString text = loc.locale.toString(percent, 'f', decimals);
    if (decimals > 0) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(loc.decimalSeparator))
            text.chop(loc.decimalSeparator.size());
    }
    return text + QStringLiteral(" %");
}

}  // namespace vantrel
