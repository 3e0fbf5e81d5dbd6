#include "StyleFile.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace {

class StyleFileTest : public testing::Test {
protected:
    std::string write(const std::string& content) {
        const std::string path = dir.path().toStdString() + "/style.xml";
        std::ofstream(path) << content;
        return path;
    }
    QTemporaryDir dir;
    StyleFile style;
};

TEST_F(StyleFileTest, ReadsEachValueOfTheRootElement) {
    ASSERT_TRUE(style.load(write("<style><vendor>Veltrane</vendor><product>Tintora</product>"
                                 "<updater>false</updater></style>")));
    EXPECT_TRUE(style.isLoaded());
    EXPECT_STREQ(style.find("updater"), "false");
    EXPECT_EQ(style.find("Vendor"), nullptr) << "names are case-sensitive";

    // The first occurrence wins; empty elements count as absent.
    ASSERT_TRUE(style.load(write("<s><vendor>First</vendor><vendor>Second</vendor>"
                                 "<updater></updater><product/></s>")));
    EXPECT_STREQ(style.find("vendor"), "First");
    EXPECT_EQ(style.find("updater"), nullptr);
    EXPECT_EQ(style.find("product"), nullptr);
}

TEST_F(StyleFileTest, MalformedFileIsRefusedWithTheParserDescription) {
    ASSERT_TRUE(style.load(write("<style><vendor>A</vendor></style>")));
    EXPECT_FALSE(style.load(write("<style><vendor>Veltrane</style>")));
    EXPECT_NE(style.error().find("XML_ERROR"), std::string::npos) << style.error();
    EXPECT_EQ(style.find("vendor"), nullptr) << "a failed load keeps nothing of the previous one";

    EXPECT_FALSE(style.load(dir.path().toStdString() + "/nothing-here.xml"));
    EXPECT_NE(style.error().find("XML_ERROR_FILE_NOT_FOUND"), std::string::npos) << style.error();
}

} // namespace
