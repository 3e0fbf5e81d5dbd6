#include "VeltGlue.h"
#include "velt.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <regex>
#include <string>

namespace {

// Everything the glue writes to its error stream.
std::string contents(std::FILE* stream) {
    std::fflush(stream);
    std::rewind(stream);
    std::string text;
    for (int c = std::fgetc(stream); c != EOF; c = std::fgetc(stream))
        text.push_back(static_cast<char>(c));
    return text;
}

class VeltGlueTest : public testing::Test {
protected:
    void writeStyle(const std::string& relativePath, const std::string& content) {
        QDir(dir.path()).mkpath("Resources");
        std::ofstream(dir.path().toStdString() + "/" + relativePath) << content;
    }
    QTemporaryDir dir;
    std::FILE* errors = std::tmpfile();
    ~VeltGlueTest() override { std::fclose(errors); }
};

// The style beside the executable first; the Resources folder's when that is missing or broken.
TEST_F(VeltGlueTest, ReadsTheStyleBesideTheExecutableThenInResources) {
    writeStyle("Resources/style.xml", "<style><product>Resources</product></style>");
    EXPECT_STREQ(VeltGlue(dir.path().toStdString(), errors).style().find("product"), "Resources");
    writeStyle("style.xml", "<style><product>broken</style>");
    EXPECT_STREQ(VeltGlue(dir.path().toStdString(), errors).style().find("product"), "Resources");
    writeStyle("style.xml", "<style><product>Beside</product></style>");
    EXPECT_STREQ(VeltGlue(dir.path().toStdString(), errors).style().find("product"), "Beside");
    EXPECT_EQ(contents(errors), "");
}

TEST_F(VeltGlueTest, MissingStylePrintsTheMessageAndGoesOnWithoutValues) {
    EXPECT_EQ(VeltGlue(dir.path().toStdString(), errors).style().find("vendor"), nullptr);

    const std::string message = contents(errors);
    const std::regex expected(
        "Could not load 'style\\.xml'\\. Error='[^\n]*XML_ERROR_FILE_NOT_FOUND"
        "[^\n]*Resources/style\\.xml[^\n]*'\\. Exiting\\.\n");
    EXPECT_TRUE(std::regex_match(message, expected)) << message;
}

TEST(VeltGlue, ProgramGlueAnswersFromTheInstalledStyle) {
    // The build copies the shipped style.xml beside this test program.
    EXPECT_STREQ(velt_findStyleElement("product"), "Tintora");
    EXPECT_EQ(velt_findStyleElement("colour"), nullptr);
    EXPECT_EQ(velt_findStyleElement(nullptr), nullptr);
}

} // namespace
