#pragma once

#include <QByteArray>
#include <QList>
#include <QtGlobal>

#include <chrono>
#include <functional>
#include <optional>

namespace vantrel {

// The space of the file system that holds a root, from statvfs, 64-bit.
// Used space is what is not free at all (f_blocks - f_bfree); the blocks
// kept back for the system (f_bfree - f_bavail) are "reserved"; what an
// ordinary user may still fill is "free" (f_bavail). The three add up to the
// capacity.
struct VolumeSpace {
    qint64 blockSize = 0;        // f_frsize: the file system's cluster size
    qint64 totalBlocks = 0;      // f_blocks
    qint64 freeBlocks = 0;       // f_bfree
    qint64 availableBlocks = 0;  // f_bavail
    quint64 device = 0;          // of the root: roots on one file system share it

    [[nodiscard]] qint64 capacityBytes() const { return blockSize * totalBlocks; }
    [[nodiscard]] qint64 usedBytes() const { return blockSize * (totalBlocks - freeBlocks); }
    [[nodiscard]] qint64 reservedBytes() const {
        return blockSize * qMax<qint64>(freeBlocks - availableBlocks, 0);
    }
    [[nodiscard]] qint64 freeBytes() const { return blockSize * availableBlocks; }
    bool operator==(const VolumeSpace&) const = default;
};

// The query behind every figure of drive space: statvfs and stat of the
// root, or nothing when either fails. Tests replace it (a file system of a
// given size, one that is not ready, a network mount that hangs); null
// brings the real one back.
using VolumeQuery = std::function<std::optional<VolumeSpace>(const QByteArray& root)>;
void setVolumeQuery(VolumeQuery query);
// Asks the installed query directly; may block for as long as it does.
[[nodiscard]] std::optional<VolumeSpace> queryVolume(const QByteArray& root);

// What asking for a root's space gave.
struct VolumeProbe {
    enum class State {
        Ready,     // the answer came
        NotReady,  // the root cannot be read (gone, no permission, not mounted)
        NoAnswer,  // no answer within the time allowed (a hung network mount)
    };
    State state = State::NotReady;
    VolumeSpace space;
    [[nodiscard]] bool ready() const { return state == State::Ready; }
};

// Asks for the space of every root at once, each on a thread of its own, and
// waits at most `timeout` for all answers together. A root that does not
// answer in time is NoAnswer; its thread is left to finish on its own (a
// call stuck in the kernel cannot be taken back), and while it has not, the
// root is answered NoAnswer at once without asking again, so a hung mount
// never gathers threads. Blocks the caller for up to `timeout`: call it off
// the window's thread.
[[nodiscard]] QList<VolumeProbe> probeVolumes(const QList<QByteArray>& roots,
                                              std::chrono::milliseconds timeout);

// How long the windows wait for a root's space before they take it as not
// ready.
inline constexpr std::chrono::milliseconds kVolumeProbeTimeout{3000};

}  // namespace vantrel
