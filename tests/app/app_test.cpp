// Where the help file is looked for, and how its topics are named.

#include "app/AppPaths.h"

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

}  // namespace
}  // namespace vantrel
