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

FolderFileReader::FolderFileReader(FolderListingRequest request) : m_request(std::move(request)) {}

FolderFileReader::~FolderFileReader() = default;

bool FolderFileReader::readNames(const std::atomic<bool>* cancel) {
    m_stream = FolderStream::open(m_request.folder, m_request.followLink, &m_error);
    if (!m_stream)
        return false;
    std::vector<QByteArray> names;
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
        names.push_back(entry.name.toByteArray());
    }
    if (m_stream->error() != 0) {
        m_error = m_stream->error();
        m_stream.reset();
        return false;
    }

    // In the order of the grid's Name sort: by the upper-cased display text.
    std::vector<QString> texts;
    texts.reserve(names.size());
    TextSortKeys keys;
    keys.reserve(qsizetype(names.size()), qsizetype(names.size()) * 16);
    for (const QByteArray& name : names) {
        texts.push_back(nameText(name));
        keys.append(texts.back());
    }
    std::vector<std::uint32_t> perm(names.size());
    std::iota(perm.begin(), perm.end(), 0u);
    sortPermutationByText(perm, keys, m_request.namesDescending);
    m_names.reserve(names.size());
    m_texts.reserve(names.size());
    for (std::uint32_t i : perm) {
        m_names.push_back(std::move(names[i]));
        m_texts.push_back(std::move(texts[i]));
    }
    return true;
}

void FolderFileReader::nextRows(qsizetype count, std::vector<GridRow>& rows) {
    if (!m_stream)
        return;
    FileRecord record;
    for (; count > 0 && m_next < m_names.size(); --count, ++m_next) {
        const QByteArray& name = m_names[m_next];
        if (!statEntry(m_stream->fd(), name.constData(), record) || !record.isRegular())
            continue;
        const quint32 written = record.packedWriteTime();
        const quint32 accessed = record.packedAccessTime();
        const QString& text = m_texts[m_next];
        GridRow row;
        row.cells = {
            dateText(written), timeText(written), dateText(accessed), numberText(record.size), text,
            typeText(text)};
        row.path = joinPath(m_request.folder, name);
        row.values = {SortValue{kColModified, dateSortValue(written)},
                      SortValue{kColAccess, dateSortValue(accessed)},
                      SortValue{kColSize, double(record.size)}};
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
