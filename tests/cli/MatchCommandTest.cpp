#include "MatchCommand.h"
#include "BatchMatch.h"
#include "ConvertCommand.h"
#include "CraftedLuts.h"
#include "ResultFigures.h"
#include "TestProfiles.h"
#include "csICCXYZTag.h"
#include "csLog.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

const std::string sampleCMYK = std::string(TINTORA_SAMPLE_PROFILES) + "/Tintora-Sample-CMYK.icc";

struct MatchRun {
    int status;
    std::string out, errors;
};

MatchRun match(MatchOptions options) {
    std::ostringstream out, errors;
    const int status = runMatch(options, out, errors);
    return {status, out.str(), errors.str()};
}

MatchOptions reference(const std::string& path, double L, double a, double b) {
    MatchOptions options;
    options.profilePath = path;
    options.L = L;
    options.a = a;
    options.b = b;
    return options;
}

TEST(MatchCommand, AnInGamutReferenceIsMatched) {
    // The colour of 20/40/60/0 through the same intent, as `convert` prints it.
    std::istringstream device("20 40 60 0\n");
    std::ostringstream lab, errors;
    ASSERT_EQ(runConvert(sampleCMYK, 3, device, lab, errors), 0);
    double L, a, b;
    std::istringstream(lab.str()) >> L >> a >> b;

    const MatchRun run = match(reference(sampleCMYK, L, a, b));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.errors, "");
    const std::size_t achieved = run.out.find("achieved  "), delta = run.out.find("delta ");
    ASSERT_EQ(achieved, 60u) << run.out;
    EXPECT_EQ(run.out.substr(0, achieved),
              "device    C 20.00 M 40.00 Y 60.00 K 0.00\ncoverage  120.00 %\n");
    EXPECT_EQ(run.out.substr(delta),
              "delta     \u0394L 0.0  \u0394a 0.0  \u0394b 0.0  \u0394C 0.0  "
              "\u0394H 0.0\ntotal     \u0394JCh 0.0\n")
        << "and no \"Out of gamut!\"";
}

// JSON and CSV carry the same answer as the text, with the method named as --method names it.
TEST(MatchCommand, JsonAndCsvCarryTheTextsAnswer) {
    MatchOptions options = reference(sampleCMYK, 50, 120, 0);
    options.preferences.method = 2;
    options.preferences.black = 10;
    const MatchRun text = match(options);
    options.format = "json";
    const nlohmann::json json = nlohmann::json::parse(match(options).out);
    options.format = "csv";
    const MatchRun csv = match(options);

    const auto shown = [&](const char* channel) {
        return fieldText(json["device"][channel].get<double>(), 2);
    };
    EXPECT_EQ(text.out.substr(0, text.out.find('\n')), "device    C " + shown("C") + " M " +
                                                           shown("M") + " Y " + shown("Y") + " K " +
                                                           shown("K"));
    EXPECT_EQ(json["device"]["K"].get<double>(), 10.0);
    EXPECT_EQ(json["method"], "de2000");
    EXPECT_EQ(json["outOfGamut"], true);
    const std::string total = fieldText(json["total"].get<double>(), 1);
    EXPECT_NE(text.out.find("\u0394E00 " + total), std::string::npos) << text.out;
    std::istringstream lines(csv.out);
    std::string header, row;
    std::getline(lines, header);
    std::getline(lines, row);
    EXPECT_EQ(header,
              "C,M,Y,K,coverage,L*,a*,b*,C*,h,\u0394L,\u0394a,\u0394b,\u0394C,\u0394H,total,"
              "method,outOfGamut,nearNeutral");
    EXPECT_EQ(row.substr(row.rfind(',', row.size() - 19)), "," + total + ",de2000,true,false")
        << row;

    // The preferences and the intent reach the search.
    options.format = "text";
    const auto answer = [&] { return match(options).out.substr(0, 50); };
    options.preferences.preserve = 2;
    const std::string lightness = answer();
    EXPECT_NE(lightness, text.out.substr(0, 50));
    options.intent = 1;
    EXPECT_NE(answer(), lightness);

    // A vivid dark yellow whose nearest colour under CIEDE2000, lightness first, is the profile's
    // deepest grey: said below the result, and in JSON.
    options = reference("/usr/share/color/icc/ghostscript/default_cmyk.icc", 11.05, -6.28, 106.81);
    options.preferences.preserve = 2;
    options.preferences.method = 2;
    const MatchRun grey = match(options);
    EXPECT_EQ(grey.out.substr(grey.out.find("Out of gamut!")),
              "Out of gamut!\nNearest is near-neutral\n");
    options.format = "json";
    EXPECT_EQ(nlohmann::json::parse(match(options).out)["nearNeutral"], true);

    // A tolerance judges the total in every format.
    options.tolerance = 100;
    EXPECT_EQ(nlohmann::json::parse(match(options).out)["pass"], true);
    options.tolerance = 0.5;
    options.format = "csv";
    const std::string failed = match(options).out;
    EXPECT_EQ(failed.substr(failed.size() - 15), "true,0.5,false\n");
    options.format = "text";
    EXPECT_NE(match(options).out.find("  outside tolerance 0.5\n"), std::string::npos);
}

// A synthetic printer profile with a white point, written to a temporary file.
std::string profileFile(const char* space, const char* pcs, const csICCTag* a2b0 = nullptr) {
    csICCProfile profile;
    setHeader(profile, "prtr", space, pcs);
    profile.addTag(csICCXYZTag(Signature("wtpt"), 0.9642f, 1.0f, 0.8249f));
    if (a2b0 != nullptr)
        profile.addTag(*a2b0);
    const std::string path = testing::TempDir() + "tintora-match-" + pcs + ".icc";
    EXPECT_EQ(writeProfile(profile, path), 0);
    return path;
}

// What match and convert say about the profile at path; both refuse the same profiles alike.
std::string refusal(const std::string& path) {
    const MatchRun run = match(reference(path, 50, 0, 0));
    EXPECT_EQ(run.status, 1) << path;
    EXPECT_EQ(run.out, "");
    std::istringstream device("10 20 30 40\n");
    std::ostringstream lab, errors;
    EXPECT_EQ(runConvert(path, 3, device, lab, errors), 1) << path;
    EXPECT_EQ(lab.str(), "");
    EXPECT_EQ(errors.str(), run.errors);
    return run.errors;
}

TEST(MatchCommand, ProfilesTheWindowRefusesAreRefusedWithItsText) {
    EXPECT_EQ(refusal("/no/such/profile.icc"), "Failed to open profile /no/such/profile.icc\n");
    const std::string notAProfile = std::string(TINTORA_SOURCE_DIR) + "/README.md";
    EXPECT_EQ(refusal(notAProfile).rfind("Failed to read profile " + notAProfile + "\n", 0), 0u)
        << "then the library's log";
    // The other checks' texts are the window's, which its own tests hold to them.
    EXPECT_EQ(refusal(profileFile("CMYK", "RGB ")),
              "Profile does not have Lab or XYZ as profile connection space, but 'RGB '\n");

    // An A2B0 that is not a lut passes the checks and fails preparation.
    const csICCXYZTag notALut(Signature("A2B0"), 0.5f, 0.5f, 0.5f);
    const std::string prepared = refusal(profileFile("CMYK", "Lab ", &notALut));
    EXPECT_EQ(prepared.rfind("Failed to prepare profile converter\n", 0), 0u) << prepared;
    EXPECT_NE(prepared.find("E 'missing tags'\ncannot find 'A2B0' tag for requested conversion\n"),
              std::string::npos)
        << prepared;
    EXPECT_EQ(logCount(), 0u) << "the log is cleared after every attempt";
}

TEST(MatchCommand, LutsThatDisagreeWithTheirProfileAreRefusedByEveryCommand) {
    const std::string path = testing::TempDir() + "tintora-crafted-lut.icc";
    const std::string library = testing::TempDir() + "tintora-crafted-lut.csv";
    std::ofstream(library) << "name,L,a,b\nGrey,50,0,0\n";
    for (const CraftedLut& lut : craftedLuts()) {
        SCOPED_TRACE(lut.name());
        writeBytes(path, lut.profile());
        const CraftedLut::Refusal expected = lut.refusal(path);

        const std::string said = refusal(path);
        EXPECT_EQ(said.rfind(expected.text + "\n", 0), 0u) << said;
        EXPECT_NE(said.find(expected.logLines()), std::string::npos) << said;

        BatchOptions batch;
        batch.match = reference(path, 0, 0, 0);
        batch.input = library;
        std::istringstream none;
        std::ostringstream out, errors;
        EXPECT_EQ(runBatchMatch(batch, none, out, errors), batchFailed);
        EXPECT_EQ(out.str(), "") << "no colour is matched";
        EXPECT_EQ(errors.str(), said);
    }
    std::filesystem::remove(path);
    std::filesystem::remove(library);
}

} // namespace

namespace {

// Constraints that cannot hold in the bound profile are refused with what is wrong; those that
// can reach every output, the total coverage with them.
TEST(MatchCommand, PressConstraintsAreCheckedAgainstTheProfileAndNamedInTheOutput) {
    const auto refused = [](MatchOptions options) {
        const MatchRun run = match(options);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.out, "");
        return run.errors;
    };
    MatchOptions options = reference(sampleCMYK, 20, 0, 0);
    options.locks = {{"R", 10}};
    EXPECT_EQ(refused(options), "tintora-cli: --lock R: the profile's channels are C, M, Y, K\n");
    options.locks = {{"C", 60}, {"M", 50}};
    options.preferences.black = 30;
    options.preferences.press.inkLimit = 120;
    EXPECT_EQ(refused(options), "tintora-cli: the ink limit 120.00 % is below the 140.00 % that "
                                "the locked channels and black already take\n");
    options.preferences.press.blackLimit = 20;
    EXPECT_EQ(refused(options), "tintora-cli: black 30.00 % is above the black limit 20.00 %\n");
    options = reference("/usr/share/color/icc/colord/sRGB.icc", 50, 0, 0);
    options.preferences.press.inkLimit = 200;
    EXPECT_EQ(refused(options), "tintora-cli: --ink-limit applies to CMYK and CMY profiles\n");

    // A library of one in CGATS: the constraints as keywords, the coverage as a field.
    BatchOptions batch;
    batch.match = reference(sampleCMYK, 20, 0, 0);
    batch.match.format = "cgats";
    batch.match.preferences.press.inkLimit = 250;
    batch.match.preferences.press.black = BlackGeneration::Maximum;
    batch.match.locks = {{"Y", 5}};
    ColourList list;
    const double lab[3] = {20, 0, 0};
    list.add("dark", lab, "test");
    std::ostringstream out, errors;
    ASSERT_EQ(matchColourList(batch, list, out, errors), 0) << errors.str();
    const std::string cgats = out.str();
    for (const char* line :
         {"INK_LIMIT\t250.00\n", "BLACK_LIMIT\t100.00\n", "BLACK_GENERATION\t\"max\"\n",
          "LOCKED_CHANNELS\t\"Y=5.00\"\n", "\tCMYK_K\tTOTAL_COVERAGE\t"})
        EXPECT_NE(cgats.find(line), std::string::npos) << line << cgats;
    // The data row: C, M, Y, K and their sum.
    std::istringstream row(cgats.substr(cgats.find("BEGIN_DATA\n") + 11));
    std::string id, name;
    double L, a, b, device[4], coverage;
    row >> id >> name >> L >> a >> b >> device[0] >> device[1] >> device[2] >> device[3] >>
        coverage;
    EXPECT_EQ(device[2], 5);
    EXPECT_NEAR(coverage, device[0] + device[1] + device[2] + device[3], 0.005);
    EXPECT_LE(coverage, 250);
}

} // namespace
