#include "browse/FolderLister.h"

#include <algorithm>

namespace vantrel {

struct FolderLister::Job {
    quint64 id = 0;
    std::atomic<bool> cancelled{false};
};

FolderLister::FolderLister(QObject* parent) : QObject(parent) {
    m_pool.setMaxThreadCount(1);
}

FolderLister::~FolderLister() {
    cancel();
    m_pool.waitForDone();
}

void FolderLister::setBatchRows(int first, int further) {
    m_firstBatch = std::max(first, 1);
    m_furtherBatch = std::max(further, 1);
}

void FolderLister::cancel() {
    if (m_job)
        m_job->cancelled = true;
    m_job.reset();
    m_running = 0;
}

quint64 FolderLister::start(const FolderListingRequest& request) {
    cancel();
    auto job = std::make_shared<Job>();
    job->id = m_nextId++;
    m_job = job;
    m_running = job->id;
    const int firstBatch = m_firstBatch;
    const int furtherBatch = m_furtherBatch;
    // Everything the worker posts is dropped on arrival once the listing is
    // no longer the running one.
    const auto post = [this, job](auto fn) {
        QMetaObject::invokeMethod(
            this,
            [this, job, fn] {
                if (m_job == job && !job->cancelled)
                    fn();
            },
            Qt::QueuedConnection);
    };
    m_pool.start([this, job, request, firstBatch, furtherBatch, post] {
        FolderFileReader reader(request);
        if (!reader.readNames(&job->cancelled)) {
            if (job->cancelled)
                return;
            const ListingSummary failed{job->id, 0, 0, reader.error()};
            post([this, failed] {
                m_job.reset();
                m_running = 0;
                Q_EMIT finished(failed);
            });
            return;
        }
        qsizetype batch = firstBatch;
        while (!reader.atEnd()) {
            if (job->cancelled)
                return;
            auto rows = std::make_shared<std::vector<GridRow>>();
            rows->reserve(size_t(batch));
            reader.nextRows(batch, *rows);
            batch = furtherBatch;
            if (rows->empty())
                continue;
            post([this, id = job->id, rows] { Q_EMIT rowsReady(id, *rows); });
        }
        const ListingSummary done{job->id, reader.files(), reader.bytes(), 0};
        post([this, done] {
            m_job.reset();
            m_running = 0;
            Q_EMIT finished(done);
        });
    });
    return job->id;
}

}  // namespace vantrel
