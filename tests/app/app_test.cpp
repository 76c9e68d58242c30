// Where the help file is looked for, and how its topics are named.

#include "app/AppPaths.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

struct HelpPathRow {
    const char* folder;
    const char* path;
};

class HelpFilePathTest : public ::testing::TestWithParam<HelpPathRow> {};

TEST_P(HelpFilePathTest, OneSeparatorBeforeTheFileName) {
    EXPECT_EQ(helpFilePath(QString::fromUtf8(GetParam().folder)).toStdString(), GetParam().path);
}

INSTANTIATE_TEST_SUITE_P(Rows, HelpFilePathTest,
                         ::testing::Values(HelpPathRow{"/", "/vantrel.hlp"},
                                           HelpPathRow{"/opt/vantrel", "/opt/vantrel/vantrel.hlp"},
                                           HelpPathRow{"/opt/vantrel/", "/opt/vantrel/vantrel.hlp"},
                                           HelpPathRow{"/home/ann/My Programs",
                                                       "/home/ann/My Programs/vantrel.hlp"}));

TEST(HelpTopicAnchor, ContextNumbers) {
    EXPECT_EQ(helpTopicAnchor(1), QStringLiteral("topic1"));
    EXPECT_EQ(helpTopicAnchor(12), QStringLiteral("topic12"));
}

}  // namespace
}  // namespace vantrel
