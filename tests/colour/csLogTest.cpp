#include "csLog.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

class csLogTest : public testing::Test {
protected:
    csLogTest() { clearLog(); }
    ~csLogTest() override {
        clearLog();
        setLogThreshold(0);
    }
};

TEST_F(csLogTest, EntriesKeepLevelTitleAndFormattedMessage) {
    EXPECT_EQ(logLevel(0), 0);
    EXPECT_STREQ(logMessage(0), "internal error: bad entry requested!");
    logDebug("d", "%d", 0);
    logInfo("added tag", "tag '%s' at %u", "wtpt", 3u);
    logWarning("w", "%.2f", 1.005);
    logError("e", "%s", "");
    logFatal("f", "100%%");
    ASSERT_EQ(logCount(), 5u);
    EXPECT_EQ(lastLogIndex(), 4u);
    for (unsigned i = 0; i < 5; ++i)
        EXPECT_EQ(logLevel(i), static_cast<int>(i));
    EXPECT_STREQ(logTitle(1), "added tag");
    EXPECT_STREQ(logMessage(1), "tag 'wtpt' at 3");
    EXPECT_STREQ(logMessage(4), "100%");
    EXPECT_STREQ(logTitle(5), "internal error: bad entry requested!");
    clearLog();
    EXPECT_EQ(logCount(), 0u);
}

TEST_F(csLogTest, PrintFormatAndThreshold) {
    logWarning("corrected size", "file is %d bytes", 128);
    logDebug("detail", "hidden below threshold");
    CaptureStderr();
    printLogEntry(0);
    printLogEntry(7);
    EXPECT_EQ(GetCapturedStderr(), "W 'corrected size'\nfile is 128 bytes\n");

    setLogThreshold(1);
    CaptureStderr();
    printLog();
    EXPECT_EQ(GetCapturedStderr(), "W 'corrected size'\nfile is 128 bytes\n");

    // Echoed, each entry is written as it is added.
    setLogEcho(true);
    CaptureStderr();
    logError("bad tagtable", "%d tags", 1001);
    setLogEcho(false);
    EXPECT_EQ(GetCapturedStderr(), "E: 'bad tagtable'\n1001 tags\n");
}

TEST(csLogDeathTest, TitleOrMessageThatDoesNotFitDumpsAndExits) {
    const auto fill = [](std::size_t title, std::size_t message) {
        clearLog();
        logInfo(std::string(99000, 't').c_str(), "%s", "");
        logInfo(std::string(title, 'x').c_str(), "%s", std::string(message, 'm').c_str());
    };
    // 99000 + 2 bytes of the 100000 used: a title of 996 characters fits with its NUL without
    // the pool's last byte, one of 997 does not.
    fill(996, 0);
    EXPECT_EQ(logCount(), 2u);
    EXPECT_EXIT(fill(997, 0), testing::ExitedWithCode(1), "D U M P   A N D   E X I T");
    EXPECT_EXIT(fill(1, 2000), testing::ExitedWithCode(1), "E R R O R   L O G   F U L L");
}

TEST(csLogDeathTest, The5000thEntryDumpsEverythingAndExits) {
    clearLog();
    for (unsigned i = 0; i < 4999; ++i)
        logDebug("t", "%u", i);
    EXPECT_EQ(logCount(), 4999u) << "the 4999th entry is kept and the program goes on";

    const auto last = [] {
        setLogThreshold(0);
        logError("last", "%u", 4999u);
    };
    // The banner is 181 bytes; then every entry, the 5000th included.
    const std::string banner =
        "\n=+\nE R R O R   L O G   F U L L   -   D U M P   A N D   E X I T\n=+\n";
    EXPECT_EXIT(last(), testing::ExitedWithCode(1),
                banner + "D 't'\n0\n(.*\n)*D 't'\n4998\nE 'last'\n4999\n$");
    clearLog();
}

} // namespace
