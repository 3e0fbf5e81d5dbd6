#include "CommandLine.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

const std::string usageText = "Tintora, finds device values for spot colours in ICC output "
                              "profiles \t\nTintora -o pathtoICCprofile -L Lab_L -a Lab_a -b Lab_b";

TEST(CommandLine, ArgumentsAsTheParserReadsThem) {
    struct Case {
        QStringList arguments;
        double L, a, b;
        const char* path; // nullptr: a null path
        int usages;
        const char* why;
    };
    const Case cases[] = {
        {{"ignored", "also-ignored"}, 100, 0, 0, nullptr, 0, "start values"},
        {{"-L50", "-a", "10", "-b-5", "-o", "/tmp/p.icc"}, 50, 10, -5, "/tmp/p.icc", 0, "mixed"},
        {{"-o/tmp/p.icc"}, 100, 0, 0, "/tmp/p.icc", 0, "attached path"},
        {{"-L", "abc", "-a"}, 100, 0, 0, nullptr, 0, "bad and missing numbers"},
        {{"-L", "30", "-L", "x", "-a", "1e1"}, 30, 10, 0, nullptr, 0, "the earlier value stays"},
        {{"-L", "30", "-L", "40"}, 40, 0, 0, nullptr, 0, "a later occurrence overrides"},
        {{"-L", "150", "-b", "-200"}, 100, 0, 0, nullptr, 0, "numbers outside their range"},
        {{"-L", "-a", "7"}, 100, 0, 0, nullptr, 0, "-a is the value of -L; 7 is skipped"},
        {{"-o", "-L"}, 100, 0, 0, "-L", 0, "the next argument, whatever it is"},
        {{"-o", "/a.icc", "-o"}, 100, 0, 0, nullptr, 0, "-o last leaves the null path"},
        {{"-o", ""}, 100, 0, 0, "", 0, "an empty path is passed on"},
        {{"-x", "-L", "20"}, 100, 0, 0, nullptr, 0, "an unknown option ends parsing"},
        {{"-L", "20", "-", "-a", "5"}, 20, 0, 0, nullptr, 0, "so does a lone minus"},
        {{"-l", "20"}, 100, 0, 0, nullptr, 0, "option letters are case-sensitive"},
        {{"?", "-L", "20", "-?", "-a", "3", "?x"}, 20, 3, 0, nullptr, 3, "usage, and on"},
    };
    for (const Case& c : cases) {
        std::FILE* stream = std::tmpfile();
        const CommandLine parsed = parseCommandLine(c.arguments, stream);
        std::rewind(stream);
        std::string printed;
        for (int ch = std::fgetc(stream); ch != EOF; ch = std::fgetc(stream))
            printed.push_back(static_cast<char>(ch));
        std::fclose(stream);
        EXPECT_EQ(parsed.L, c.L) << c.why;
        EXPECT_EQ(parsed.a, c.a) << c.why;
        EXPECT_EQ(parsed.b, c.b) << c.why;
        if (c.path == nullptr)
            EXPECT_TRUE(parsed.profilePath.isNull()) << c.why;
        else
            EXPECT_EQ(parsed.profilePath, QString(c.path)) << c.why;
        std::string usages;
        for (int i = 0; i < c.usages; ++i)
            usages += usageText;
        EXPECT_EQ(printed, usages) << c.why;
    }
    EXPECT_EQ(parseCommandLine({"-L", "150"}).ignored, QStringList{"-L 150 is outside 0 to 100"});
    EXPECT_TRUE(parseCommandLine({"-h"}).help);
    EXPECT_TRUE(parseCommandLine({"-L", "5", "--help"}).help);

    // Files alone, as a file manager's "Open with" passes them, are no options; values are not
    // files.
    const CommandLine opened = parseCommandLine({"/tmp/press one.icc", "b.icm"});
    EXPECT_EQ(opened.files, QStringList({"/tmp/press one.icc", "b.icm"}));
    EXPECT_FALSE(opened.options);
    const CommandLine given = parseCommandLine({"-o", "a.icc", "-L", "50"});
    EXPECT_TRUE(given.files.isEmpty());
    EXPECT_TRUE(given.options);
}

} // namespace
