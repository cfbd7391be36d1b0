#include <QDir>

#include <gtest/gtest.h>

#include "commands/RecentWorksheets.h"
#include "commands/RecentWorksheetsMenu.h"
#include "documents/FileName.h"

namespace quantaro {
namespace {

// Ten entries at most, newest first, one per file however it is spelt.
TEST(RecentWorksheetsTest, KeepsTheLastTenNewestFirstOncePerFile) {
    RecentWorksheets recent;
    recent.clear();
    for (int i = 1; i <= 12; ++i) recent.add(QStringLiteral("/w/%1.FOR").arg(i));
    recent.add("/w/x/../5.FOR");
    recent.remove("/w/12.FOR");
    recent.add("/v/r&d.FOR");
    EXPECT_EQ(recent.paths(),
              QStringList({"/v/r&d.FOR", "/w/5.FOR", "/w/11.FOR", "/w/10.FOR", "/w/9.FOR",
                           "/w/8.FOR", "/w/7.FOR", "/w/6.FOR", "/w/4.FOR", "/w/3.FOR"}));
    EXPECT_EQ(recent.folders(), QStringList({"/v", "/w"}));
    const QString latin1 = FileNameFromBytes("/w/caf\xE9.FOR");  // kept as its bytes
    recent.add(latin1);
    EXPECT_EQ(recent.paths().value(0), latin1);
    EXPECT_EQ(RecentItemText(1, latin1), "&1 /w/caf\\xE9.FOR");
    recent.add("relative.FOR");
    EXPECT_EQ(recent.paths().value(0), QDir::current().filePath("relative.FOR"));
    recent.clear();
    EXPECT_TRUE(recent.paths().isEmpty());

    EXPECT_EQ(RecentItemText(10, "/v/r&d.FOR"), "1&0 /v/r&&d.FOR");
    EXPECT_EQ(RecentItemText(2, QDir::home().filePath("w.FOR")), "&2 ~/w.FOR");
}

}  // namespace
}  // namespace quantaro
