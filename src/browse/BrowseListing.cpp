#include "browse/BrowseListing.h"

#include "browse/BrowseText.h"
#include "platform/FileRecord.h"
#include "results/GridSort.h"
#include "text/Formats.h"

#include <numeric>

namespace vantrel {

GridLayout browseGridLayout() {
    GridLayout g;
    g.id = QStringLiteral("browse");
    g.titles = {QStringLiteral("Modified"), QStringLiteral("Time"),     QStringLiteral("Access"),
                QStringLiteral("Size"),     QStringLiteral("Filename"), QStringLiteral("Type")};
    g.kinds = {ColumnKind::Date,   ColumnKind::Text, ColumnKind::Date,
               ColumnKind::Number, ColumnKind::Text, ColumnKind::Text};
    g.markColumn = kColFilename;
    g.rightAligned = {kColSize};
    g.leftMargin = 3;
    g.rightMargin = 3;
    g.sortKeys = {
        {QStringLiteral("Name"), SortKind::Text, kColFilename, false},
        {QStringLiteral("Modified &Date"), SortKind::Date, kColModified, false},
        {QStringLiteral("&Access Date"), SortKind::Date, kColAccess, false},
        {QStringLiteral("&Size"), SortKind::Number, kColSize, false},
        {QStringLiteral("&Type"), SortKind::Text, kColType, false},
    };
    g.defaultSortKey = kSortName;
    g.titleClickKeys = {kSortModified, -1, kSortAccess, kSortSize, kSortName, kSortType};
    g.flipBeforeSort = true;
    g.statusFormat = QStringLiteral("Marked for deletion: %d files %s bytes");
    g.baseWidths = {69, 66, 66, 61};
    g.stretchColumns = {kColFilename, kColType};
    g.clipboard = ClipboardForm::None;
    // A double click on the title row marks nothing.
    g.ignoreTitleDoubleClick = true;
    g.resizeOffered = false;
    return g;
}

namespace {

// dateSortValue of a packed date without making a date-time of it (which
// asks the time zone each time): a decodable date is its day number.
double packedDateValue(quint32 packed) {
    QDate date;
    if (packed != 0 && decodeFileDate(packed, &date, nullptr))
        return dateSortValue(date);
    return dateSortValue(packed);
}

}  // namespace

FolderFileReader::FolderFileReader(FolderListingRequest request) : m_request(std::move(request)) {}

FolderFileReader::~FolderFileReader() = default;

namespace {

// True when the name is printable ASCII: its display text is its bytes.
bool isPlainAscii(const char* name, qsizetype length) {
    for (qsizetype i = 0; i < length; ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        if (c < 0x20 || c >= 0x7F)
            return false;
    }
    return true;
}

QString displayName(const char* name, qsizetype length) {
    if (isPlainAscii(name, length))
        return QString::fromLatin1(name, length);
    return nameText(QByteArray(name, length));
}

}  // namespace

bool FolderFileReader::readNames(const std::atomic<bool>* cancel) {
    m_stream = FolderStream::open(m_request.folder, m_request.followLink, &m_error);
    if (!m_stream)
        return false;
    std::vector<quint32> starts;
    FolderStream::Entry entry;
    const bool everything = m_request.mask.matchesEverything();
    for (qsizetype seen = 0;; ++seen) {
        if (cancel && (seen & 1023) == 0 && cancel->load(std::memory_order_relaxed))
            return false;
        if (!m_stream->next(entry))
            break;
        // Folders, links, devices, fifos and sockets are never listed; an
        // entry of unknown kind is looked at with the others later.
        if (entry.kind != FolderStream::Kind::File && entry.kind != FolderStream::Kind::Unknown)
            continue;
        if (entry.name.startsWith('.') && !m_request.showHidden)
            continue;
        if (!everything && !m_request.mask.matches(entry.name))
            continue;
        starts.push_back(quint32(m_nameBytes.size()));
        m_nameBytes.append(entry.name.data(), entry.name.size());
        m_nameBytes.append('\0');
    }
    if (m_stream->error() != 0) {
        m_error = m_stream->error();
        m_stream.reset();
        return false;
    }

    // In the order of the grid's Name sort: by the upper-cased display text.
    TextSortKeys keys;
    keys.reserve(qsizetype(starts.size()), m_nameBytes.size());
    for (quint32 start : starts) {
        const char* name = m_nameBytes.constData() + start;
        const qsizetype length = qsizetype(qstrlen(name));
        if (isPlainAscii(name, length))
            keys.appendUtf8(name, length);
        else
            keys.append(nameText(QByteArray(name, length)));
    }
    std::vector<std::uint32_t> perm(starts.size());
    std::iota(perm.begin(), perm.end(), 0u);
    sortPermutationByText(perm, keys, m_request.namesDescending);
    m_order.reserve(perm.size());
    for (std::uint32_t i : perm)
        m_order.push_back(starts[i]);
    return true;
}

void FolderFileReader::nextRows(qsizetype count, std::vector<GridRow>& rows) {
    if (!m_stream)
        return;
    FileRecord record;
    for (; count > 0 && m_next < m_order.size(); --count, ++m_next) {
        const char* name = m_nameBytes.constData() + m_order[m_next];
        if (!statEntry(m_stream->fd(), name, record) || !record.isRegular())
            continue;
        const quint32 written = record.packedWriteTime();
        const quint32 accessed = record.packedAccessTime();
        const QString text = displayName(name, record.name.size());
        GridRow row;
        row.cells = {
            dateText(written), timeText(written), dateText(accessed), numberText(record.size), text,
            typeText(text)};
        row.path = joinPath(m_request.folder, record.name);
        row.values = {SortValue{kColModified, packedDateValue(written)},
                      SortValue{kColAccess, packedDateValue(accessed)},
                      SortValue{kColSize, double(record.size)}};
        row.listed = ListedState::exact(record.size, record.writeTime);
        rows.push_back(std::move(row));
        ++m_files;
        m_bytes += record.size;
    }
    if (atEnd())
        m_stream.reset();
}

// Date and time texts depend on a few bits of the packed value only, so each
// distinct text is made once per listing.
QString FolderFileReader::dateText(quint32 packed) {
    const quint32 key = packed == 0 ? 0 : (packed >> 16) | 0x10000u;
    auto it = m_dates.find(key);
    if (it == m_dates.end())
        it = m_dates.insert(key, fileDateText(packed));
    return *it;
}

QString FolderFileReader::timeText(quint32 packed) {
    const quint32 key = packed == 0 ? 0 : (packed & 0xFFFFu) | 0x10000u;
    auto it = m_times.find(key);
    if (it == m_times.end())
        it = m_times.insert(key, fileTimeText(packed));
    return *it;
}

QString FolderFileReader::typeText(const QString& name) {
    const QString ext = extensionOf(name);
    auto it = m_types.find(ext);
    if (it == m_types.end())
        it = m_types.insert(ext, fileTypeDescription(ext));
    return *it;
}

FolderFiles readFolderFiles(const FolderListingRequest& request) {
    FolderFileReader reader(request);
    FolderFiles out;
    if (!reader.readNames()) {
        out.error = reader.error();
        return out;
    }
    reader.nextRows(reader.nameCount(), out.rows);
    out.files = reader.files();
    out.bytes = reader.bytes();
    return out;
}

}  // namespace vantrel
