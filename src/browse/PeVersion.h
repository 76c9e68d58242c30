#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

namespace vantrel {

// One entry of a version resource's translation list.
struct VersionTranslation {
    quint16 language = 0;
    quint16 codePage = 0;

    // The key of the string table for this translation: language and code
    // page as four hexadecimal digits each, upper-case ("040904E4").
    [[nodiscard]] QString tableKey() const;
    bool operator==(const VersionTranslation&) const = default;
};

// The version resource of a Windows executable or library (PE32 or PE32+):
// the VS_VERSIONINFO block found under resource type 16, first name, first
// language.
//
// Reading never trusts the file: every offset and length is checked against
// the file and against the block that contains it, the resource directory
// is walked to its fixed depth of three levels (so a directory that refers
// to itself cannot loop), child lists advance by at least one header per
// step, and the version block is at most 64 KiB (its length field is 16
// bits). Anything malformed yields "no version resource", never a partial
// read outside the data.
class PeVersionInfo {
public:
    // The version resource of the file at `path`, read with a few small
    // positioned reads (the file is never mapped, so a file that shrinks
    // meanwhile cannot fault). nullopt when the file cannot be read, is not a
    // PE image, or has no well-formed version resource.
    [[nodiscard]] static std::optional<PeVersionInfo> fromFile(const QByteArray& path);
    // The same for an image held in memory.
    [[nodiscard]] static std::optional<PeVersionInfo> fromImage(QByteArrayView image);
    // The same for a bare VS_VERSIONINFO block.
    [[nodiscard]] static std::optional<PeVersionInfo> fromVersionBlock(QByteArrayView block);

    // \VarFileInfo\Translation in file order; empty when it is missing.
    [[nodiscard]] QList<VersionTranslation> translations() const;

    // The value of \StringFileInfo\<table>\<key>: table and key match
    // without regard to case; the value is the UTF-16 text up to its
    // terminating zero (or the end of its block). nullopt when absent.
    [[nodiscard]] std::optional<QString> stringValue(QStringView table, QStringView key) const;

    // The raw VS_VERSIONINFO block.
    [[nodiscard]] const QByteArray& block() const { return m_block; }

private:
    explicit PeVersionInfo(QByteArray block) : m_block(std::move(block)) {}
    QByteArray m_block;
};

}  // namespace vantrel
