#pragma once

#include "clean/TempFileMatcher.h"
#include "platform/FileRecord.h"
#include "results/GridLayout.h"
#include "results/ResultGridModel.h"
#include "scan/Walker.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <memory>

namespace vantrel {

// The quick-clean grid: "Size", "Modified", "Time", "Access", "FileName",
// "Type"; the mark on the FileName cell; sizes right-aligned; the sort menu
// "&Size", "&Date", "&Access date", "&Name", "&Type" (a click on the "Time"
// title does nothing); "C&lipboard" copies the title row and every row in
// grid order, cells joined by tabs; a double click on the title row marks
// nothing.
[[nodiscard]] GridLayout cleanLayout();

// One quick-clean search: the walk it makes and the grid row of each file
// it finds.
//
// The walk lists every name ("*.*"), hidden files included, but hands on
// neither folders nor system entries (links, fifos, devices) and never
// enters a hidden folder: those hold live application data. Names are
// tested by the extension match before anything else is done with them, so
// a name that cannot match costs no look at the file.
//
// Rows carry the file's exact byte path; their texts are for display (a
// name that is not UTF-8 shows replacement characters, control characters
// show as one too, so that no name can break a tab-separated line). Not
// thread-safe: the walking thread owns it while the scan runs.
class CleanSearch {
public:
    // `selectedLines`: the pattern lines chosen for this search.
    explicit CleanSearch(const QStringList& selectedLines);

    [[nodiscard]] const TempFileMatcher& matcher() const { return *m_matcher; }
    // True when no selected line can match any file.
    [[nodiscard]] bool isEmpty() const { return m_matcher->isEmpty(); }

    // The walk's options; they share the matcher, so they stay valid after
    // this search is gone.
    [[nodiscard]] WalkOptions walkOptions() const;

    // The row of a file that the walk handed on from `folder`: the size,
    // the modification date and time, the access date, the full name and
    // the type, with the sort values of the size and date columns.
    [[nodiscard]] GridRow rowFor(const QByteArray& folder, const FileRecord& record);

private:
    QString typeText(const QString& name);

    std::shared_ptr<const TempFileMatcher> m_matcher;
    QByteArray m_lastFolder;
    QString m_lastFolderText;
    QHash<QString, QString> m_types;  // by extension
};

}  // namespace vantrel
