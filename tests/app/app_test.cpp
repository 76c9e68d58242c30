// Where the help file is looked for, and how its topics are named.

#include "app/AppPaths.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

TEST(HelpFile, OneSeparatorBeforeTheFileNameAndNumberedTopics) {
    EXPECT_EQ(helpFilePath(QStringLiteral("/")), QStringLiteral("/vantrel.hlp"));
    EXPECT_EQ(helpFilePath(QStringLiteral("/opt/vantrel")),
              QStringLiteral("/opt/vantrel/vantrel.hlp"));
    EXPECT_EQ(helpFilePath(QStringLiteral("/opt/my app/")),
              QStringLiteral("/opt/my app/vantrel.hlp"));
    EXPECT_EQ(helpTopicAnchor(1), QStringLiteral("topic1"));
    EXPECT_EQ(helpTopicAnchor(12), QStringLiteral("topic12"));
}

// The lookup of an installed program (bin/ beside share/vantrel/) and of a
// program run from its build folder (the file beside it), in a real tree.
TEST(HelpFile, FoundBesideTheProgramThenInTheInstalledDataFolder) {
    test::TempTree tree;
    const QString bin = QString::fromLocal8Bit(tree.mkdir("usr/bin"));
    // Neither: the path beside the executable, for Help to report.
    EXPECT_EQ(findHelpFile(bin), bin + QStringLiteral("/vantrel.hlp"));

    tree.fileWith("usr/share/vantrel/vantrel.hlp", "<html></html>");
    EXPECT_EQ(findHelpFile(bin),
              QString::fromLocal8Bit(tree.path("usr/share/vantrel/vantrel.hlp")));
    EXPECT_EQ(findHelpFile(bin + QLatin1Char('/')),
              QString::fromLocal8Bit(tree.path("usr/share/vantrel/vantrel.hlp")));

    // A copy beside the executable wins (a build folder inside a prefix).
    tree.fileWith("usr/bin/vantrel.hlp", "<html></html>");
    EXPECT_EQ(findHelpFile(bin), bin + QStringLiteral("/vantrel.hlp"));

    // A folder of that name is no help file.
    const QString other = QString::fromLocal8Bit(tree.mkdir("opt/bin"));
    tree.mkdir("opt/share/vantrel/vantrel.hlp");
    EXPECT_EQ(findHelpFile(other), other + QStringLiteral("/vantrel.hlp"));
}

}  // namespace
}  // namespace vantrel
