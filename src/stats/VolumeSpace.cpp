#include "stats/VolumeSpace.h"

#include <QMutex>
#include <QSet>

#include <sys/stat.h>
#include <sys/statvfs.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace vantrel {

namespace {

std::optional<VolumeSpace> statvfsQuery(const QByteArray& root) {
    struct statvfs vfs;
    struct stat st;
    if (::statvfs(root.constData(), &vfs) != 0 || ::stat(root.constData(), &st) != 0)
        return std::nullopt;
    VolumeSpace v;
    v.blockSize = qint64(vfs.f_frsize ? vfs.f_frsize : vfs.f_bsize);
    v.totalBlocks = qint64(vfs.f_blocks);
    v.freeBlocks = qint64(vfs.f_bfree);
    v.availableBlocks = qint64(vfs.f_bavail);
    v.device = quint64(st.st_dev);
    return v;
}

QMutex queryMutex;
VolumeQuery installedQuery;
// Roots whose query was given up while it still ran, until it returns.
QSet<QByteArray> hungRoots;

VolumeQuery currentQuery() {
    QMutexLocker lock(&queryMutex);
    return installedQuery ? installedQuery : VolumeQuery(statvfsQuery);
}

// The answers of one probeVolumes call, shared with the threads that ask.
// Lock order: a round's mutex before queryMutex.
struct ProbeRound {
    std::mutex mutex;
    std::condition_variable answered;
    QList<std::optional<VolumeProbe>> answers;
    QList<bool> givenUp;
    int outstanding = 0;
};

}  // namespace

void setVolumeQuery(VolumeQuery query) {
    QMutexLocker lock(&queryMutex);
    installedQuery = std::move(query);
}

std::optional<VolumeSpace> queryVolume(const QByteArray& root) {
    return currentQuery()(root);
}

QList<VolumeProbe> probeVolumes(const QList<QByteArray>& roots, std::chrono::milliseconds timeout) {
    auto round = std::make_shared<ProbeRound>();
    round->answers.resize(roots.size());
    round->givenUp.resize(roots.size());
    const VolumeQuery query = currentQuery();
    for (qsizetype i = 0; i < roots.size(); ++i) {
        const QByteArray root = roots[i];
        {
            QMutexLocker lock(&queryMutex);
            if (hungRoots.contains(root)) {
                round->answers[i] = VolumeProbe{VolumeProbe::State::NoAnswer, {}};
                continue;
            }
        }
        {
            std::lock_guard lock(round->mutex);
            ++round->outstanding;
        }
        std::thread([round, query, root, i] {
            const std::optional<VolumeSpace> space = query(root);
            std::lock_guard lock(round->mutex);
            round->answers[i] = space ? VolumeProbe{VolumeProbe::State::Ready, *space}
                                      : VolumeProbe{VolumeProbe::State::NotReady, {}};
            --round->outstanding;
            if (round->givenUp[i]) {
                QMutexLocker hung(&queryMutex);
                hungRoots.remove(root);
            }
            round->answered.notify_all();
        }).detach();
    }

    std::unique_lock lock(round->mutex);
    round->answered.wait_for(lock, timeout, [&] { return round->outstanding == 0; });
    QList<VolumeProbe> out;
    out.reserve(roots.size());
    for (qsizetype i = 0; i < roots.size(); ++i) {
        if (round->answers[i]) {
            out.append(*round->answers[i]);
            continue;
        }
        round->givenUp[i] = true;
        {
            QMutexLocker hung(&queryMutex);
            hungRoots.insert(roots[i]);
        }
        out.append(VolumeProbe{VolumeProbe::State::NoAnswer, {}});
    }
    return out;
}

}  // namespace vantrel
