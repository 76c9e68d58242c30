#pragma once

// Set-up shared by the drive-list window tests: a temporary tree whose
// folders diskA (ext4) and diskB (xfs) stand for drives besides "/", a
// current folder inside diskB, and the settings file in the tree.

#include "platform/Drives.h"
#include "settings/IniFile.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>

#include <memory>

namespace vantrel::test {

struct DriveFixture {
    std::unique_ptr<TempTree> m_tree;
    QString m_cwd;
    QByteArray m_rootA, m_rootB;

    IniFile ini() const { return IniFile(QFile::decodeName(m_tree->path("vantrel.ini"))); }

    // Call from init(): makes the drives and enters `current` (made if missing).
    void setUpDrives(const QByteArray& current) {
        m_cwd = QDir::currentPath();
        m_tree = std::make_unique<TempTree>();
        m_rootA = m_tree->mkdir("diskA");
        m_rootB = m_tree->mkdir("diskB");
        setDriveListOverride(QList<DriveEntry>{{"/", "ext4"}, {m_rootA, "ext4"}, {m_rootB, "xfs"}});
        QVERIFY(QDir::setCurrent(QFile::decodeName(m_tree->mkdir(current))));
    }
    // Call from cleanup().
    void tearDownDrives() {
        QVERIFY(QDir::setCurrent(m_cwd));
        setDriveListOverride(std::nullopt);
        m_tree.reset();
    }
};

}  // namespace vantrel::test
