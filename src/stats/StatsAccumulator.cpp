#include "stats/StatsAccumulator.h"

#include <QDateTime>

namespace vantrel {

namespace {

// The extension key of a plain ASCII name, upper-cased into `buffer`, as
// extensionKey() gives it; false (buffer untouched) for any other name. The
// common case then costs no allocation.
bool asciiExtensionKey(const QByteArray& name, char (&buffer)[16], qsizetype* length) {
    const qsizetype dot = name.lastIndexOf('.');
    if (dot < 0 || dot == name.size() - 1) {
        *length = 0;
        return true;
    }
    const qsizetype n = name.size() - dot;
    if (n > qsizetype(sizeof buffer))
        return false;
    for (qsizetype i = 0; i < n; ++i) {
        const char c = name[dot + i];
        if (uchar(c) >= 0x80)
            return false;
        buffer[i] = c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
    }
    *length = n;
    return true;
}

}  // namespace

StatsAccumulator::StatsAccumulator() {
    m_today = m_calendar.dayOf(QDateTime::currentSecsSinceEpoch());
}

void StatsAccumulator::start(const TypeSelection& selection, qint64 now) {
    m_selection = selection;
    m_today = m_calendar.dayOf(now);
    clear();
}

void StatsAccumulator::clear() {
    m_totals = StatsTotals{};
    m_linked.clear();
    if (m_selection.mode() == TypeSelection::Mode::Include) {
        for (const QByteArray& key : m_selection.keys()) {
            if (typeTableTakes(key))
                m_totals.types.insert(key, TypeTotals{});
        }
    }
}

int StatsAccumulator::ageClass(const FileTime& time, LocalMoment* moment) {
    if (!time.recorded)
        return kAgeNotRecorded;
    *moment = m_calendar.moment(time.sec);
    const qint64 days = moment->day > m_today ? moment->day - m_today : m_today - moment->day;
    return ageClassOfDays(days);
}

void StatsAccumulator::add(const FileRecord& record) {
    if (record.isDirectory())
        return;
    StatsTotals& t = m_totals;
    ++t.filesProcessed;
    char buffer[16];
    qsizetype length = 0;
    // Either a view of `buffer` (copied only when a new type is entered) or
    // the key made the long way.
    const QByteArray key = asciiExtensionKey(record.name, buffer, &length)
                               ? QByteArray::fromRawData(buffer, length)
                               : extensionKey(record.name);
    if (!m_selection.selects(key))
        return;
    if (record.links > 1 && !m_linked.insert(Inode{record.device, record.inode}).second)
        return;
    ++t.filesFound;
    const qint64 size = record.size;

    const struct {
        StatsAttribute attribute;
        bool set;
    } attributes[] = {{StatsAttribute::Hidden, (record.attr & faHidden) != 0},
                      {StatsAttribute::ReadOnly, (record.attr & faReadOnly) != 0},
                      {StatsAttribute::System, (record.attr & faSysFile) != 0},
                      {StatsAttribute::Archive, (record.attr & faArchive) != 0}};
    for (const auto& a : attributes) {
        if (a.set) {
            ++t.attrCount[std::size_t(a.attribute)];
            t.attrBytes[std::size_t(a.attribute)] += size;
        }
    }

    LocalMoment accessed, created, modified;
    const int accessedAge = ageClass(record.accessTime, &accessed);
    const int createdAge = ageClass(record.creationTime, &created);
    const int modifiedAge = ageClass(record.writeTime, &modified);
    const struct {
        AgeKind kind;
        int age;
    } ages[] = {{AgeKind::Accessed, accessedAge},
                {AgeKind::Created, createdAge},
                {AgeKind::Modified, modifiedAge}};
    for (const auto& a : ages) {
        ++t.ageCount[std::size_t(a.kind)][std::size_t(a.age)];
        t.ageBytes[std::size_t(a.kind)][std::size_t(a.age)] += size;
    }
    if (record.creationTime.recorded)
        ++t.hourCount[std::size_t(HourKind::Created)][std::size_t(created.hour)];
    if (record.writeTime.recorded) {
        ++t.hourCount[std::size_t(HourKind::Modified)][std::size_t(modified.hour)];
        ++t.activityCount[std::size_t(modified.weekday)][std::size_t(modified.hour)];
        t.activityBytes[std::size_t(modified.weekday)][std::size_t(modified.hour)] += size;
    }

    if (typeTableTakes(key)) {
        auto it = t.types.find(key);
        if (it == t.types.end())
            it = t.types.insert(QByteArray(key.constData(), key.size()), TypeTotals{});
        ++it->count;
        it->bytes += size;
    }

    const int sizeClass = sizeClassOf(size);
    ++t.sizeCount[std::size_t(sizeClass)];
    t.sizeBytes[std::size_t(sizeClass)] += size;
    ++t.sizeAgeCount[std::size_t(sizeClass)][std::size_t(modifiedAge)];
    t.sizeAgeBytes[std::size_t(sizeClass)][std::size_t(modifiedAge)] += size;

    for (int i = 0; i < kClusterSizeCount; ++i)
        t.slackBytes[std::size_t(i)] += slackFor(size, kClusterSizes[std::size_t(i)]);
    t.allocatedBytes += record.allocated;
}

}  // namespace vantrel
