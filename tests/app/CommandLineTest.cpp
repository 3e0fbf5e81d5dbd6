#include "CommandLine.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

const std::string usageText = "Tintora, finds device values for spot colours in ICC output "
                              "profiles \t\nTintora -o pathtoICCprofile -L Lab_L -a Lab_a -b Lab_b";

// Parses the arguments and keeps whatever the parser printed.
struct Parsed {
    explicit Parsed(const QStringList& arguments) {
        std::FILE* stream = std::tmpfile();
        result = parseCommandLine(arguments, stream);
        std::rewind(stream);
        for (int c = std::fgetc(stream); c != EOF; c = std::fgetc(stream))
            printed.push_back(static_cast<char>(c));
        std::fclose(stream);
    }
    CommandLine result;
    std::string printed;
};

TEST(CommandLine, StartValuesWithoutOptions) {
    const Parsed parsed({"ignored", "also-ignored"});
    EXPECT_TRUE(parsed.result.profilePath.isNull());
    EXPECT_EQ(parsed.result.L, 100.0);
    EXPECT_EQ(parsed.result.a, 0.0);
    EXPECT_EQ(parsed.result.b, 0.0);
    EXPECT_EQ(parsed.printed, "");
}

TEST(CommandLine, AttachedAndSeparateValuesMix) {
    const Parsed parsed({"-L50", "-a", "10", "-b-5", "-o", "/tmp/p.icc"});
    EXPECT_EQ(parsed.result.L, 50.0);
    EXPECT_EQ(parsed.result.a, 10.0);
    EXPECT_EQ(parsed.result.b, -5.0);
    EXPECT_EQ(parsed.result.profilePath, "/tmp/p.icc");

    EXPECT_EQ(Parsed({"-o/tmp/p.icc"}).result.profilePath, "/tmp/p.icc");
}

TEST(CommandLine, BadOrMissingNumbersKeepTheEarlierValue) {
    EXPECT_EQ(Parsed({"-L", "abc"}).result.L, 100.0);
    EXPECT_EQ(Parsed({"-a"}).result.a, 0.0);
    EXPECT_EQ(Parsed({"-L", "30", "-L", "x"}).result.L, 30.0);
    EXPECT_EQ(Parsed({"-L", "30", "-L", "40"}).result.L, 40.0) << "later occurrence overrides";
    EXPECT_EQ(Parsed({"-L", "1e1"}).result.L, 10.0);
}

TEST(CommandLine, ValueIsTheNextArgumentWhateverItLooksLike) {
    // -a is consumed as the value of -L (not a number, so L keeps its start value), and 7 is then
    // an ordinary argument that is skipped.
    const Parsed parsed({"-L", "-a", "7"});
    EXPECT_EQ(parsed.result.L, 100.0);
    EXPECT_EQ(parsed.result.a, 0.0);
    EXPECT_EQ(Parsed({"-o", "-L"}).result.profilePath, "-L");
}

TEST(CommandLine, ProfilePathIsAlwaysAssigned) {
    EXPECT_TRUE(Parsed({"-o"}).result.profilePath.isNull());
    EXPECT_TRUE(Parsed({"-o", "/a.icc", "-o"}).result.profilePath.isNull());
    const Parsed empty({"-o", ""});
    EXPECT_FALSE(empty.result.profilePath.isNull()) << "an empty path is still passed on";
    EXPECT_TRUE(empty.result.profilePath.isEmpty());
}

TEST(CommandLine, UnknownOptionOrLoneMinusEndsParsing) {
    const Parsed unknown({"-x", "-L", "20"});
    EXPECT_EQ(unknown.result.L, 100.0);
    EXPECT_EQ(Parsed({"-L", "20", "-", "-a", "5"}).result.a, 0.0);
    EXPECT_EQ(Parsed({"-L", "20", "-", "-a", "5"}).result.L, 20.0);
    EXPECT_EQ(Parsed({"-l", "20"}).result.L, 100.0) << "option letters are case-sensitive";
}

TEST(CommandLine, QuestionMarkPrintsUsageAndParsingGoesOn) {
    const Parsed plain({"?", "-L", "20"});
    EXPECT_EQ(plain.printed, usageText);
    EXPECT_EQ(plain.result.L, 20.0);

    const Parsed option({"-?", "-a", "3"});
    EXPECT_EQ(option.printed, usageText);
    EXPECT_EQ(option.result.a, 3.0);

    EXPECT_EQ(Parsed({"?x", "?"}).printed, usageText + usageText);
}

TEST(CommandLine, UsageTextByteForByte) {
    std::FILE* stream = std::tmpfile();
    printUsage(stream);
    std::rewind(stream);
    std::string printed;
    for (int c = std::fgetc(stream); c != EOF; c = std::fgetc(stream))
        printed.push_back(static_cast<char>(c));
    std::fclose(stream);

    EXPECT_EQ(printed, usageText);
    ASSERT_EQ(printed.find('\n'), printed.rfind('\n')) << "two lines";
    EXPECT_EQ(printed.substr(0, 9), "Tintora, ");
    EXPECT_EQ(printed.substr(printed.find('\n') - 2, 3), " \t\n");
    EXPECT_NE(printed.back(), '\n');
}

} // namespace
