#pragma once

// Helpers of the deletion tests: a fixture tree that is the test's home (so
// its settings file and trash are inside it), a check for an entry on disk
// that does not follow links, and the savings totals as written today.

#include "platform/Trash.h"
#include "results/Savings.h"
#include "settings/IniFile.h"
#include "support/TestSupport.h"
#include "text/Formats.h"

#include <QDate>
#include <QFile>

#include <sys/stat.h>

namespace vantrel::test {

// A TempTree whose folder "home" is HOME while it lives.
class HomeTree : public TempTree {
public:
    HomeTree() : m_oldHome(qgetenv("HOME")) { qputenv("HOME", mkdir("home")); }
    ~HomeTree() { qputenv("HOME", m_oldHome); }

    // True when the settings file and the trash both lie inside this tree,
    // so a test cannot reach the user's own.
    bool holdsSettingsAndTrash() const {
        return vantrelIni().path().startsWith(QFile::decodeName(root() + '/')) &&
               homeTrashFolder().startsWith(root() + '/');
    }

private:
    QByteArray m_oldHome;
};

inline bool exists(const QByteArray& path) {
    struct stat st;
    return ::lstat(path.constData(), &st) == 0;
}

inline SavingsTotals today(qint64 n, qint64 bytes, qint64 recycled, qint64 recycledBytes) {
    return {n, bytes, recycled, recycledBytes, dayNumber(QDate::currentDate())};
}

}  // namespace vantrel::test
