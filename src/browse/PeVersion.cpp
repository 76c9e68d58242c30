#include "browse/PeVersion.h"

#include <QtEndian>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <vector>

namespace vantrel {

namespace {

// ---------------------------------------------------------------------------
// Byte sources: positioned reads that fail rather than read outside the data.

class ByteSource {
public:
    virtual ~ByteSource() = default;
    [[nodiscard]] virtual quint64 size() const = 0;
    // Copies `length` bytes at `offset`; false when any of them lies outside.
    [[nodiscard]] virtual bool read(quint64 offset, void* out, std::size_t length) const = 0;

    [[nodiscard]] bool contains(quint64 offset, quint64 length) const {
        return offset <= size() && length <= size() - offset;
    }
    [[nodiscard]] std::optional<quint16> u16(quint64 offset) const {
        uchar b[2];
        if (!read(offset, b, sizeof b))
            return std::nullopt;
        return qFromLittleEndian<quint16>(b);
    }
    [[nodiscard]] std::optional<quint32> u32(quint64 offset) const {
        uchar b[4];
        if (!read(offset, b, sizeof b))
            return std::nullopt;
        return qFromLittleEndian<quint32>(b);
    }
};

class MemorySource final : public ByteSource {
public:
    explicit MemorySource(QByteArrayView data) : m_data(data) {}
    quint64 size() const override { return static_cast<quint64>(m_data.size()); }
    bool read(quint64 offset, void* out, std::size_t length) const override {
        if (!contains(offset, length))
            return false;
        if (length)
            std::memcpy(out, m_data.data() + offset, length);
        return true;
    }

private:
    QByteArrayView m_data;
};

class FileSource final : public ByteSource {
public:
    explicit FileSource(const QByteArray& path)
        : m_fd(::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK)) {
        struct stat st {};
        if (m_fd >= 0 && ::fstat(m_fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0)
            m_size = static_cast<quint64>(st.st_size);
    }
    ~FileSource() override {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    quint64 size() const override { return m_size; }
    bool read(quint64 offset, void* out, std::size_t length) const override {
        if (m_fd < 0 || !contains(offset, length))
            return false;
        auto* p = static_cast<char*>(out);
        while (length > 0) {
            const ssize_t n = ::pread(m_fd, p, length, static_cast<off_t>(offset));
            if (n <= 0)
                return false;  // error, or the file shrank since it was opened
            p += n;
            offset += static_cast<quint64>(n);
            length -= static_cast<std::size_t>(n);
        }
        return true;
    }

private:
    int m_fd = -1;
    quint64 m_size = 0;
};

// ---------------------------------------------------------------------------
// Locating the version resource in a PE image.

constexpr quint16 kDosMagic = 0x5A4D;     // "MZ"
constexpr quint32 kPeSignature = 0x4550;  // "PE\0\0"
constexpr quint16 kPe32Magic = 0x10B;
constexpr quint16 kPe32PlusMagic = 0x20B;
constexpr quint32 kResourceDirectory = 2;
constexpr quint32 kRtVersion = 16;
constexpr quint32 kSubdirectoryBit = 0x80000000u;
constexpr quint32 kMaxSections = 96;   // the loader's own limit
constexpr quint64 kMaxBlock = 0xFFFF;  // VS_VERSIONINFO's length is 16 bits

struct Section {
    quint32 virtualAddress = 0;
    quint64 rawOffset = 0;
    quint64 rawSize = 0;  // clipped to the file
};

// A file range: the bytes from `offset` up to `limit` (exclusive).
struct Range {
    quint64 offset = 0;
    quint64 limit = 0;
};

std::optional<Range> rvaToRange(const std::vector<Section>& sections, quint32 rva) {
    for (const Section& s : sections) {
        if (rva >= s.virtualAddress && rva - s.virtualAddress < s.rawSize)
            return Range{s.rawOffset + (rva - s.virtualAddress), s.rawOffset + s.rawSize};
    }
    return std::nullopt;
}

// The entry of a resource directory at `dirOffset` (relative to the
// resource base) chosen by `pick`: with an id, the first entry with that
// numeric id; without, the first entry of all. Returns its offset field.
std::optional<quint32> resourceEntry(const ByteSource& src, const Range& rsrc, quint32 dirOffset,
                                     std::optional<quint32> id) {
    const quint64 dir = rsrc.offset + dirOffset;
    if (dir + 16 > rsrc.limit)
        return std::nullopt;
    const auto named = src.u16(dir + 12);
    const auto ids = src.u16(dir + 14);
    if (!named || !ids)
        return std::nullopt;
    const quint32 count = quint32(*named) + *ids;
    // Entries that do not fit in the section are not there.
    const quint64 room = (rsrc.limit - dir - 16) / 8;
    const quint32 usable = static_cast<quint32>(qMin<quint64>(count, room));
    if (!id)
        return usable > 0 ? src.u32(dir + 16 + 4) : std::nullopt;
    // Named entries come first; numeric ids follow.
    for (quint32 i = *named; i < usable; ++i) {
        const quint64 entry = dir + 16 + quint64(i) * 8;
        const auto name = src.u32(entry);
        if (!name)
            return std::nullopt;
        if (*name == *id)
            return src.u32(entry + 4);
    }
    return std::nullopt;
}

std::optional<QByteArray> findVersionBlock(const ByteSource& src) {
    if (src.u16(0) != kDosMagic)
        return std::nullopt;
    const auto peOffset = src.u32(0x3C);
    if (!peOffset || src.u32(*peOffset) != kPeSignature)
        return std::nullopt;

    const quint64 coff = quint64(*peOffset) + 4;
    const auto sectionCount = src.u16(coff + 2);
    const auto optionalSize = src.u16(coff + 16);
    if (!sectionCount || !optionalSize)
        return std::nullopt;

    const quint64 optional = coff + 20;
    const auto magic = src.u16(optional);
    quint64 countField = 0;
    quint64 directories = 0;
    if (magic == kPe32Magic) {
        countField = 92;
        directories = 96;
    } else if (magic == kPe32PlusMagic) {
        countField = 108;
        directories = 112;
    } else {
        return std::nullopt;
    }
    const quint64 resourceField = directories + 8 * kResourceDirectory;
    const auto directoryCount = src.u32(optional + countField);
    if (!directoryCount || *directoryCount <= kResourceDirectory ||
        *optionalSize < resourceField + 8)
        return std::nullopt;
    const auto rsrcRva = src.u32(optional + resourceField);
    if (!rsrcRva || *rsrcRva == 0)
        return std::nullopt;

    std::vector<Section> sections;
    const quint32 wanted = qMin<quint32>(*sectionCount, kMaxSections);
    const quint64 table = optional + *optionalSize;
    for (quint32 i = 0; i < wanted; ++i) {
        uchar raw[40];
        if (!src.read(table + quint64(i) * 40, raw, sizeof raw))
            return std::nullopt;
        Section s;
        s.virtualAddress = qFromLittleEndian<quint32>(raw + 12);
        const quint32 rawSize = qFromLittleEndian<quint32>(raw + 16);
        s.rawOffset = qFromLittleEndian<quint32>(raw + 20);
        if (s.rawOffset >= src.size())
            continue;
        s.rawSize = qMin<quint64>(rawSize, src.size() - s.rawOffset);
        sections.push_back(s);
    }

    const auto rsrc = rvaToRange(sections, *rsrcRva);
    if (!rsrc)
        return std::nullopt;

    // Three levels, each a fixed step: type 16, then the first name, then the
    // first language, which must be a data entry.
    const auto names = resourceEntry(src, *rsrc, 0, kRtVersion);
    if (!names || !(*names & kSubdirectoryBit))
        return std::nullopt;
    const auto languages = resourceEntry(src, *rsrc, *names & ~kSubdirectoryBit, std::nullopt);
    if (!languages || !(*languages & kSubdirectoryBit))
        return std::nullopt;
    const auto leaf = resourceEntry(src, *rsrc, *languages & ~kSubdirectoryBit, std::nullopt);
    if (!leaf || (*leaf & kSubdirectoryBit))
        return std::nullopt;

    const quint64 dataEntry = rsrc->offset + *leaf;
    if (dataEntry + 16 > rsrc->limit)
        return std::nullopt;
    const auto dataRva = src.u32(dataEntry);
    const auto dataSize = src.u32(dataEntry + 4);
    if (!dataRva || !dataSize)
        return std::nullopt;
    const auto data = rvaToRange(sections, *dataRva);
    if (!data)
        return std::nullopt;
    const quint64 length = std::min<quint64>({*dataSize, data->limit - data->offset, kMaxBlock});
    if (length < 6)
        return std::nullopt;
    QByteArray block(static_cast<qsizetype>(length), Qt::Uninitialized);
    if (!src.read(data->offset, block.data(), static_cast<std::size_t>(length)))
        return std::nullopt;
    return block;
}

// ---------------------------------------------------------------------------
// The VS_VERSIONINFO block tree. Each block: wLength, wValueLength, wType,
// a zero-terminated UTF-16 key, padding to 4, the value (wValueLength
// characters for text, bytes otherwise), padding to 4, then child blocks,
// each starting on a 4-byte boundary.

struct Block {
    qsizetype start = 0;
    qsizetype end = 0;  // exclusive
    quint16 valueLength = 0;
    bool text = false;
    QString key;
    qsizetype valueStart = 0;
    qsizetype childrenStart = 0;
};

constexpr qsizetype align4(qsizetype v) {
    return (v + 3) & ~qsizetype(3);
}

quint16 u16At(QByteArrayView data, qsizetype at) {
    return qFromLittleEndian<quint16>(data.data() + at);
}

// The block at `at`, which must lie wholly before `parentEnd`.
std::optional<Block> parseBlock(QByteArrayView data, qsizetype at, qsizetype parentEnd) {
    if (at < 0 || parentEnd > data.size() || at + 6 > parentEnd)
        return std::nullopt;
    Block b;
    b.start = at;
    const quint16 length = u16At(data, at);
    if (length < 6 || length > parentEnd - at)
        return std::nullopt;
    b.end = at + length;
    b.valueLength = u16At(data, at + 2);
    b.text = u16At(data, at + 4) == 1;

    qsizetype p = at + 6;
    for (;; p += 2) {
        if (p + 2 > b.end)
            return std::nullopt;  // key without its terminating zero
        const quint16 c = u16At(data, p);
        if (c == 0)
            break;
        b.key.append(QChar(c));
    }
    b.valueStart = qMin(align4(p + 2), b.end);
    const qsizetype valueBytes = b.text ? qsizetype(b.valueLength) * 2 : b.valueLength;
    b.childrenStart = qMin(align4(b.valueStart + valueBytes), b.end);
    return b;
}

// Calls `visit` for each child of `parent` until it returns true. Each step
// moves forward by at least one header, so the walk ends.
void forEachChild(QByteArrayView data, const Block& parent,
                  const std::function<bool(const Block&)>& visit) {
    for (qsizetype at = parent.childrenStart; at + 6 <= parent.end;) {
        const auto child = parseBlock(data, at, parent.end);
        if (!child || visit(*child))
            return;
        at = align4(child->end);
    }
}

std::optional<Block> childNamed(QByteArrayView data, const Block& parent, QStringView key) {
    std::optional<Block> found;
    forEachChild(data, parent, [&](const Block& child) {
        if (child.key.compare(key, Qt::CaseInsensitive) != 0)
            return false;
        found = child;
        return true;
    });
    return found;
}

std::optional<Block> rootBlock(QByteArrayView data) {
    auto root = parseBlock(data, 0, data.size());
    if (!root || root->key != QLatin1String("VS_VERSION_INFO"))
        return std::nullopt;
    return root;
}

}  // namespace

QString VersionTranslation::tableKey() const {
    return QStringLiteral("%1%2")
        .arg(language, 4, 16, QLatin1Char('0'))
        .arg(codePage, 4, 16, QLatin1Char('0'))
        .toUpper();
}

std::optional<PeVersionInfo> PeVersionInfo::fromVersionBlock(QByteArrayView block) {
    if (block.size() > qsizetype(kMaxBlock) || !rootBlock(block))
        return std::nullopt;
    return PeVersionInfo(block.toByteArray());
}

std::optional<PeVersionInfo> PeVersionInfo::fromImage(QByteArrayView image) {
    const auto block = findVersionBlock(MemorySource(image));
    return block ? fromVersionBlock(*block) : std::nullopt;
}

std::optional<PeVersionInfo> PeVersionInfo::fromFile(const QByteArray& path) {
    const auto block = findVersionBlock(FileSource(path));
    return block ? fromVersionBlock(*block) : std::nullopt;
}

QList<VersionTranslation> PeVersionInfo::translations() const {
    QList<VersionTranslation> out;
    const QByteArrayView data(m_block);
    const auto root = rootBlock(data);
    if (!root)
        return out;
    const auto vars = childNamed(data, *root, u"VarFileInfo");
    if (!vars)
        return out;
    const auto translation = childNamed(data, *vars, u"Translation");
    if (!translation)
        return out;
    // The value is an array of (language, code page) word pairs; it may not
    // run past its own block.
    const qsizetype bytes =
        qMin<qsizetype>(translation->valueLength, translation->end - translation->valueStart);
    for (qsizetype at = translation->valueStart; at + 4 <= translation->valueStart + bytes; at += 4)
        out.append(VersionTranslation{u16At(data, at), u16At(data, at + 2)});
    return out;
}

std::optional<QString> PeVersionInfo::stringValue(QStringView table, QStringView key) const {
    const QByteArrayView data(m_block);
    const auto root = rootBlock(data);
    if (!root)
        return std::nullopt;
    const auto strings = childNamed(data, *root, u"StringFileInfo");
    if (!strings)
        return std::nullopt;
    const auto tableBlock = childNamed(data, *strings, table);
    if (!tableBlock)
        return std::nullopt;
    const auto entry = childNamed(data, *tableBlock, key);
    if (!entry)
        return std::nullopt;
    QString value;
    if (entry->valueLength == 0)
        return value;
    // Read up to the terminating zero; some resource compilers count the
    // value in bytes rather than characters, so the length is not trusted.
    for (qsizetype at = entry->valueStart; at + 2 <= entry->end; at += 2) {
        const quint16 c = u16At(data, at);
        if (c == 0)
            break;
        value.append(QChar(c));
    }
    return value;
}

}  // namespace vantrel
