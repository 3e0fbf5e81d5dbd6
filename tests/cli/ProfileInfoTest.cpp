#include "ProfileInfo.h"
#include "PackagedProfiles.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

namespace {

const std::string cmyk = "/usr/share/color/icc/ghostscript/default_cmyk.icc";

TEST(ProfileInfo, TextReportOfAPrinterProfile) {
    std::ostringstream out, errors;
    ASSERT_EQ(runProfileInfo(cmyk, false, out, errors), 0);
    const std::string text = out.str();
    EXPECT_EQ(errors.str(), "");
    for (const char* line :
         {"Size:            187484 bytes\n", "Version:         2.1.0\n", "PCS:             Lab \n",
          "Valid up to:     level 3\n", "Tags (9):\n", "Class:           prtr (output)\n",
          "Colour space:    CMYK (4 channels)\n", "Intent:          0 (perceptual)\n",
          "Illuminant:      X 0.9642  Y 1.0000  Z 0.8249\n",
          "Description:     Artifex CMYK SWOP Profile\n", "Required tags:   missing: gamt\n",
          "  3   A2B0        mft2            416      41478\n",
          "  5   A2B1        mft2            416      41478  shared with #3\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line;
}

TEST(ProfileInfo, JsonReportOfADisplayProfile) {
    std::ostringstream out, errors;
    ASSERT_EQ(runProfileInfo("/usr/share/color/icc/colord/sRGB.icc", true, out, errors), 0);
    const auto doc = nlohmann::json::parse(out.str());
    EXPECT_EQ(doc["version"], "4.4.0");
    EXPECT_EQ(doc["description"], "sRGB") << "from the desc tag's first mluc record";
    EXPECT_EQ(doc["requiredTags"], true);
    EXPECT_EQ(doc["tags"][0]["type"], "mluc");
    EXPECT_EQ(doc["profileId"].get<std::string>().size(), 32u);
}

TEST(ProfileInfo, UnreadableFilesGiveOneLineAndTheLog) {
    const std::string notAProfile = testing::TempDir() + "/not-a-profile.icc";
    std::FILE* file = std::fopen(notAProfile.c_str(), "wb");
    std::fputs("hello", file);
    std::fclose(file);
    std::ostringstream out, errors;
    EXPECT_EQ(runProfileInfo(notAProfile, false, out, errors), 1);
    EXPECT_EQ(out.str(), "");
    const std::string text = errors.str();
    EXPECT_EQ(
        text.rfind("tintora-cli: '" + notAProfile + "' is not a profile that can be read\n", 0),
        0u);
    EXPECT_NE(text.find("E 'reading profile failed'\n"), std::string::npos) << text;

    std::ostringstream missingOut, missingErrors;
    EXPECT_EQ(runProfileInfo("/no/such/profile.icc", false, missingOut, missingErrors), 1);
    EXPECT_EQ(missingErrors.str(),
              "tintora-cli: cannot open '/no/such/profile.icc': No such file or directory\n");
}

TEST(ProfileInfo, ACorruptDescriptionLosesOnlyItself) {
    // A "desc" whose ScriptCode count is 68, beside a lut that binds.
    const std::string path =
        std::string(TINTORA_SOURCE_DIR) + "/fuzz/seeds/cmyk-desc-scriptcode-68.icc";
    std::ostringstream out, errors;
    ASSERT_EQ(runProfileInfo(path, false, out, errors), 0) << errors.str();
    EXPECT_NE(
        out.str().find("  0   desc        desc            168        111  corrupt, not read\n"),
        std::string::npos)
        << out.str();
    EXPECT_NE(out.str().find("  2   A2B0        mft2            300        176\n"),
              std::string::npos);
}

TEST(ProfileInfo, EveryPackagedProfile) {
    const auto profiles = packagedProfiles();
    ASSERT_GE(profiles.size(), 40u);
    for (const auto& path : profiles) {
        std::ostringstream out, errors;
        EXPECT_EQ(runProfileInfo(path.string(), false, out, errors), 0) << path << errors.str();
        EXPECT_NE(out.str().find("Tags ("), std::string::npos) << path;
    }
}

} // namespace
