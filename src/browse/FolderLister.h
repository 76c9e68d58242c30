#pragma once

#include "browse/BrowseListing.h"

#include <QObject>
#include <QThreadPool>

#include <atomic>
#include <memory>
#include <vector>

namespace vantrel {

// How a listing ended.
struct ListingSummary {
    quint64 id = 0;
    qint64 files = 0;  // rows handed out
    qint64 bytes = 0;  // their sizes
    int error = 0;     // errno when the folder could not be read (no rows came)
};

// Lists folders for the browser on a worker thread, so that the window
// keeps painting and answering while a folder of 200,000 files is read.
// The rows come back on the lister's thread in batches (the first one
// small, so that the first screen shows at once), in name order, then
// finished(). Starting another listing drops the one still running: none of
// its rows or its end arrive after start() returns.
class FolderLister : public QObject {
    Q_OBJECT
public:
    explicit FolderLister(QObject* parent = nullptr);
    // Drops a running listing and waits for its worker.
    ~FolderLister() override;

    // Rows in the first batch and in each further batch.
    void setBatchRows(int first, int further);

    // Starts listing; returns the listing's id (never 0).
    quint64 start(const FolderListingRequest& request);
    // Drops the running listing, if any.
    void cancel();
    [[nodiscard]] bool isRunning() const { return m_running != 0; }
    [[nodiscard]] quint64 runningId() const { return m_running; }

Q_SIGNALS:
    // The next rows of the listing `id`.
    void rowsReady(quint64 id, const std::vector<GridRow>& rows);
    void finished(const ListingSummary& summary);

private:
    struct Job;
    std::shared_ptr<Job> m_job;
    quint64 m_running = 0;
    quint64 m_nextId = 1;
    int m_firstBatch = 200;
    int m_furtherBatch = 5000;
    QThreadPool m_pool;
};

}  // namespace vantrel
