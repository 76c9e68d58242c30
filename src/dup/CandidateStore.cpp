#include "dup/CandidateStore.h"

#include <algorithm>

namespace vantrel {

quint32 CandidateStore::add(const FileRecord& record, const QByteArray& folder) {
    // The walk hands over the same folder for every file listed in it, most
    // often as the same shared bytes.
    const bool sameFolder = !m_folderStarts.empty() &&
                            (folder.constData() == m_lastFolder.constData() ||
                             folder == m_lastFolder) &&
                            folder.size() == m_lastFolder.size();
    if (!sameFolder) {
        m_folderStarts.push_back(m_folderBytes.size());
        m_folderBytes.append(folder.constData(), std::size_t(folder.size()));
        m_lastFolder = folder;
    }
    CandidateRecord r;
    r.size = record.size;
    const std::size_t length = std::min<std::size_t>(std::size_t(record.name.size()), 0xFFFF);
    r.name = quint64(m_names.size()) | (quint64(length) << 48);
    m_names.append(record.name.constData(), length);
    r.folder = quint32(m_folderStarts.size() - 1);
    r.modified = record.packedWriteTime();
    r.accessed = record.packedAccessTime();
    r.attr = quint16(record.attr);
    r.plainName = std::all_of(record.name.cbegin(), record.name.cend(),
                              [](char b) { return b >= 0x20 && b < 0x7F; });
    const auto index = quint32(m_records.size());
    m_records.push_back(r);
    if (m_keepSeconds)
        m_seconds.push_back(record.writeTime.recorded ? record.writeTime.sec : kNoTime);
    return index;
}

QByteArrayView CandidateStore::folder(quint32 folderIndex) const {
    const quint64 start = m_folderStarts[folderIndex];
    const quint64 end = folderIndex + 1 < m_folderStarts.size() ? m_folderStarts[folderIndex + 1]
                                                                : m_folderBytes.size();
    return {m_folderBytes.data() + start, qsizetype(end - start)};
}

QByteArray CandidateStore::path(const CandidateRecord& r) const {
    const QByteArrayView f = folder(r.folder);
    const QByteArrayView n = name(r);
    QByteArray out;
    out.reserve(f.size() + 1 + n.size());
    out.append(f);
    if (!f.endsWith('/'))
        out.append('/');
    out.append(n);
    return out;
}

qint64 CandidateStore::bytes() const {
    return qint64(m_records.bytes() + m_seconds.bytes() + m_names.size() + m_folderBytes.size() +
                  m_folderStarts.capacity() * sizeof(quint64));
}

void CandidateStore::clear() {
    m_records.clear();
    m_seconds.clear();
    m_names.release();
    m_folderBytes.release();
    m_folderStarts = {};
    m_lastFolder = {};
}

}  // namespace vantrel
