#include "stats/StatsClasses.h"

namespace vantrel {

namespace {

// Inclusive upper bounds of the size classes below "Over 16MB".
constexpr std::array<qint64, kSizeClasses - 1> kSizeBounds = {
    16384, 32768, 65536, 131072, 262144, 524288, 1048576, 2097152, 4194304, 8388608, 16777216};

const char* const kSizeLabels[kSizeClasses] = {
    "0 - 16K",    "16K - 32K", "32K - 64K", "64K - 128K", "128K - 256K", "256K - 512K",
    "512K - 1MB", "1MB - 2MB", "2MB - 4MB", "4MB - 8MB",  "8MB - 16MB",  "Over 16MB"};

// Inclusive upper bounds in days of the age classes 1 .. 8.
constexpr std::array<qint64, 8> kAgeBounds = {7, 30, 60, 120, 365, 730, 1095, 1460};

const char* const kAgeLabels[kAgeClasses] = {
    "Not recorded",   "<= 7 days",   "8 - 30 days", "31 - 60 days", "61 - 120 days",
    "121 - 365 days", "1 - 2 years", "2 - 3 years", "3 - 4 years",  "Over 4 years"};

}  // namespace

int sizeClassOf(qint64 size) {
    for (int c = 0; c < int(kSizeBounds.size()); ++c) {
        if (size <= kSizeBounds[std::size_t(c)])
            return c;
    }
    return kSizeClasses - 1;
}

QString sizeClassLabel(int sizeClass) {
    if (sizeClass < 0 || sizeClass >= kSizeClasses)
        return QString();
    return QString::fromLatin1(kSizeLabels[sizeClass]);
}

int ageClassOfDays(qint64 days) {
    if (days < 0)
        return kAgeNotRecorded;
    for (int c = 0; c < int(kAgeBounds.size()); ++c) {
        if (days <= kAgeBounds[std::size_t(c)])
            return c + 1;
    }
    return kAgeClasses - 1;
}

QString ageClassLabel(int ageClass) {
    if (ageClass < 0 || ageClass >= kAgeClasses)
        return QString();
    return QString::fromLatin1(kAgeLabels[ageClass]);
}

QString attributeLabel(StatsAttribute attribute) {
    switch (attribute) {
        case StatsAttribute::Hidden:
            return QStringLiteral("Hidden");
        case StatsAttribute::ReadOnly:
            return QStringLiteral("Read-only");
        case StatsAttribute::System:
            return QStringLiteral("System");
        case StatsAttribute::Archive:
            return QStringLiteral("Archive");
    }
    return QString();
}

qint64 slackFor(qint64 size, qint64 cluster) {
    if (size <= 0 || cluster <= 0)
        return 0;
    const qint64 rest = size % cluster;
    return rest == 0 ? 0 : cluster - rest;
}

int clusterSizeIndex(qint64 clusterSize) {
    for (int i = 0; i < kClusterSizeCount; ++i) {
        if (kClusterSizes[std::size_t(i)] == clusterSize)
            return i;
    }
    return -1;
}

}  // namespace vantrel
