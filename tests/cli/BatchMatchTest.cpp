#include "BatchMatch.h"
#include "BatchOutput.h"
#include "CgatsColours.h"
#include "DelimitedColours.h"
#include "MatchCommand.h"
#include "ProgressBar.h"
#include "ResultFigures.h"
#include "TestProfiles.h"
#include "csICCXYZTag.h"
#include "csICCncl2Tag.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace {

const std::string sampleCMYK = std::string(TINTORA_SAMPLE_PROFILES) + "/Tintora-Sample-CMYK.icc";
const std::string sampleRGB = std::string(TINTORA_SAMPLE_PROFILES) + "/Tintora-Sample-RGB.icc";

// Colours inside and outside the sample CMYK gamut, light and dark.
const char* const libraryCsv = "name,L,a,b\n"
                               "Grey,50,0,0\n"
                               "Warm Red,48.5,65,40\n"
                               "Deep Blue,30,10,-50\n"
                               "Pale Yellow,90,-5,40\n"
                               "Ink,12,2,-3\n";

struct BatchRun {
    int status;
    std::string out, errors;
};

BatchRun batch(BatchOptions options, const std::string& input) {
    std::istringstream in(input);
    std::ostringstream out, errors;
    options.input = "-";
    const int status = runBatchMatch(options, in, out, errors);
    return {status, out.str(), errors.str()};
}

BatchOptions options(const std::string& format, const std::string& profile = sampleCMYK) {
    BatchOptions o;
    o.match.profilePath = profile;
    o.match.format = format;
    return o;
}

std::string temporaryFile(const std::string& name, const std::string& content) {
    const std::string path = testing::TempDir() + name;
    std::ofstream(path, std::ios::binary) << content;
    return path;
}

TEST(BatchMatch, JsonSummaryCountsWhatItShows) {
    const BatchRun run = batch(options("json"), std::string(libraryCsv) + "Broken,x,0,0\n");
    EXPECT_EQ(run.status, batchSkippedSome);
    const auto json = nlohmann::json::parse(run.out);
    std::size_t outOfGamut = 0;
    double largest = -1;
    std::string largestName;
    for (const auto& colour : json["colours"]) {
        outOfGamut += colour["outOfGamut"].get<bool>() ? 1 : 0;
        if (colour["total"].get<double>() > largest)
            largest = colour["total"], largestName = colour["name"];
    }
    EXPECT_EQ(json["summary"]["count"], 5);
    EXPECT_EQ(json["summary"]["outOfGamut"], outOfGamut);
    EXPECT_EQ(json["summary"]["largestTotal"], largest);
    EXPECT_EQ(json["summary"]["largestName"], largestName);
    EXPECT_EQ(json["summary"]["skipped"], 1);
    EXPECT_EQ(json["skipped"][0], "<stdin>:7: 'x' is not a number");
    EXPECT_EQ(json["colours"][1]["origin"], "<stdin>:3");
}

TEST(BatchMatch, CsvAndCgatsOutputReadBackAsTheLibrary) {
    const BatchRun csv = batch(options("csv"), libraryCsv);
    ASSERT_EQ(csv.status, batchConverted);
    const ColourList fromCsv = readDelimitedColours(csv.out, "out.csv");
    const BatchRun cgats = batch(options("cgats"), libraryCsv);
    const ColourList fromCgats = readCgatsColours(cgats.out, "out.cgats");
    const ColourList original = readDelimitedColours(libraryCsv, "lib.csv");
    for (const ColourList* back : {&fromCsv, &fromCgats}) {
        ASSERT_FALSE(back->failed()) << back->failure;
        EXPECT_TRUE(back->problems.empty());
        ASSERT_EQ(back->colours.size(), original.colours.size());
        for (std::size_t i = 0; i < original.colours.size(); ++i) {
            EXPECT_EQ(back->colours[i].name, original.colours[i].name);
            for (int k = 0; k < 3; ++k)
                EXPECT_NEAR(back->colours[i].lab[k], original.colours[i].lab[k], 0.005);
        }
    }

    EXPECT_EQ(csv.out.substr(0, csv.out.find('\n')),
              "name,L,a,b,CMYK_C,CMYK_M,CMYK_Y,CMYK_K,coverage,achieved_L,achieved_a,achieved_b,dL,"
              "dC,dH,total,method,out_of_gamut,near_neutral");
    EXPECT_EQ(csv.errors.rfind("5 colours, ", 0), 0u) << "the summary goes with the messages";
}

// With a tolerance every format judges each colour alike, and the summaries count the passes.
TEST(BatchMatch, ATolerancePassesOrFailsEachColourInEveryFormat) {
    std::map<std::string, BatchRun> runs;
    for (const char* format : {"json", "csv", "cgats", "text"}) {
        BatchOptions o = options(format);
        o.match.tolerance = 2.5;
        runs[format] = batch(o, libraryCsv);
    }
    const auto json = nlohmann::json::parse(runs["json"].out);
    std::string passes;
    for (const auto& colour : json["colours"]) {
        const bool pass = colour["pass"];
        EXPECT_EQ(pass, std::stod(deltaText(colour["total"].get<double>())) <= 2.5);
        passes += pass ? 'p' : 'f';
    }
    ASSERT_NE(passes.find('p'), std::string::npos);
    ASSERT_NE(passes.find('f'), std::string::npos);
    const auto passed = std::count(passes.begin(), passes.end(), 'p');
    EXPECT_EQ(json["tolerance"], 2.5);
    EXPECT_EQ(json["summary"]["passed"], passed);
    EXPECT_EQ(json["summary"]["failed"], 5 - passed);

    // The last field of each CSV and CGATS row, and the column after the total in the text.
    const auto lastFields = [](const std::string& text, char separator, const char* begin,
                               const char* end) {
        std::string marks;
        std::istringstream lines(text.substr(text.find(begin) + std::strlen(begin)));
        for (std::string line; std::getline(lines, line) && line.rfind(end, 0) != 0;)
            if (!line.empty())
                marks += line.substr(line.rfind(separator) + 1) == (separator == ',' ? "true" : "1")
                             ? 'p'
                             : 'f';
        return marks;
    };
    EXPECT_EQ(lastFields(runs["csv"].out, ',', "tolerance,pass\n", "\x01"), passes);
    EXPECT_EQ(lastFields(runs["cgats"].out, '\t', "BEGIN_DATA\n", "END_DATA"), passes);
    EXPECT_NE(runs["cgats"].out.find("TOLERANCE\t2.5\n"), std::string::npos);
    std::string text;
    for (std::size_t at = 0; (at = runs["text"].out.find("  pass", at + 1)) != std::string::npos;)
        text += 'p';
    EXPECT_EQ(text.size(), static_cast<std::size_t>(passed) + 1) << "and the header's column";
    const std::string summary = std::to_string(passed) + " within tolerance 2.5, " +
                                std::to_string(5 - passed) + " outside";
    EXPECT_NE(runs["text"].out.find(summary), std::string::npos);
    EXPECT_NE(runs["csv"].errors.find(summary), std::string::npos);
}

TEST(BatchMatch, TextTableAndSummary) {
    const BatchRun run = batch(options("text"), libraryCsv);
    std::vector<std::string> lines;
    std::istringstream stream(run.out);
    for (std::string line; std::getline(stream, line);)
        lines.push_back(line);
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[0].substr(0, 47), "Name          ref L*   ref a*   ref b*        C");
    EXPECT_EQ(lines[1].substr(0, 40), "Grey           50.00     0.00     0.00  ");
    EXPECT_NE(lines[2].find("Out of gamut!"), std::string::npos) << "Warm Red";
    EXPECT_EQ(lines[6].rfind("5 colours, ", 0), 0u);
    EXPECT_NE(lines[6].find(" out of gamut, largest \u0394JCh "), std::string::npos);
}

TEST(BatchMatch, ANamedColourProfileGivesTheLabResults) {
    // The same colours typed and in a named colour profile written by the library's own writer.
    const BatchRun lab = batch(options("json"), "name,L,a,b\nOne,60,0,40\nTwo,40,-30,0\n");
    csICCProfile named;
    named.header().setVersion(4, 2, 0);
    setHeader(named, "nmcl", "CMYK", "Lab ");
    named.addTag(csICCXYZTag(Signature("wtpt"), 0.9642f, 1.0f, 0.8249f));
    csICCncl2Tag tag(Signature("ncl2"), 0);
    // Version 4 Lab16: 60 x 655.35 = 39321, (0 + 128) x 257 = 32896, (40 + 128) x 257 = 43176.
    const std::uint16_t one[3] = {39321, 32896, 43176}, two[3] = {26214, 25186, 32896};
    tag.addColour("One", one, nullptr);
    tag.addColour("Two", two, nullptr);
    named.addTag(tag);
    const std::string icc = testing::TempDir() + "lib.icc";
    ASSERT_EQ(writeProfile(named, icc), 0);

    BatchOptions fromFile = options("json");
    fromFile.input = icc;
    std::istringstream in;
    std::ostringstream out, errors;
    ASSERT_EQ(runBatchMatch(fromFile, in, out, errors), batchConverted) << errors.str();
    const auto expected = nlohmann::json::parse(lab.out)["colours"];
    const auto fromNamed = nlohmann::json::parse(out.str())["colours"];
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(fromNamed[i]["name"], expected[i]["name"]);
        // Within the few thousandths the 16-bit encoding moves the reference, the answer is the
        // same device values.
        for (const char* c : {"C", "M", "Y", "K"})
            EXPECT_NEAR(fromNamed[i]["device"][c].get<double>(),
                        expected[i]["device"][c].get<double>(), 0.05)
                << c;
    }
}

TEST(BatchMatch, CxfNotesTravelWithTheResults) {
    const std::string cxf = temporaryFile(
        "d65.cxf", "<CxF><Resources><ObjectCollection><Object Name=\"A\"><ColorValues>"
                   "<ColorCIELab ColorSpecification=\"s\"><L>50</L><A>1</A><B>2</B></ColorCIELab>"
                   "</ColorValues></Object></ObjectCollection><ColorSpecificationCollection>"
                   "<ColorSpecification Id=\"s\"><TristimulusSpec><Illuminant>D65</Illuminant>"
                   "<Observer>10_Degree</Observer></TristimulusSpec></ColorSpecification>"
                   "</ColorSpecificationCollection></Resources></CxF>");
    for (const std::string format : {"text", "cgats", "json", "csv"}) {
        BatchOptions o = options(format);
        o.input = cxf;
        std::istringstream in;
        std::ostringstream out, errors;
        EXPECT_EQ(runBatchMatch(o, in, out, errors), batchConverted);
        const std::string where = format == "csv" ? errors.str() : out.str();
        EXPECT_NE(where.find("(D65, 10\u00B0) adapted to D50, 2\u00B0 with Bradford"),
                  std::string::npos)
            << format;
    }
}

TEST(BatchMatch, FailuresAndSkipsSetTheExitStatus) {
    // Unreadable library: one line, nothing on the output.
    BatchOptions missing = options("text");
    missing.input = testing::TempDir() + "no-such-library.csv";
    std::istringstream in;
    std::ostringstream out, errors;
    EXPECT_EQ(runBatchMatch(missing, in, out, errors), batchFailed);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(errors.str(),
              "tintora-cli: cannot open '" + missing.input + "': No such file or directory\n");

    // Skipped rows are listed on errors; the rest converts.
    const BatchRun skipped = batch(options("text"), "name,L,a,b\nA,50,0,0\nB,50,0\nC,50,0,z\n");
    EXPECT_EQ(skipped.status, batchSkippedSome);
    EXPECT_EQ(skipped.errors, "<stdin>:3: 3 fields where the header needs 4 (skipped)\n"
                              "<stdin>:4: 'z' is not a number (skipped)\n");
    EXPECT_NE(skipped.out.find("1 colour, 0 out of gamut"), std::string::npos);
    EXPECT_NE(skipped.out.find(", 2 skipped\n"), std::string::npos);
}

// Colours matched several at once come out as one after the other would: the same results in
// the library's order, the same skipped rows, and a progress bar that counts every colour once.
TEST(BatchMatch, WorkersGiveWhatOneColourAfterTheOtherGives) {
    std::string library = "name,L,a,b\n";
    for (int i = 0; i < 120; ++i)
        library += "c" + std::to_string(i) + "," + std::to_string(8 + (i * 37) % 85) + "," +
                   std::to_string((i * 53) % 170 - 85) + "," +
                   (i % 40 == 7 ? "x" : std::to_string((i * 29) % 170 - 85)) + "\n";
    BatchOptions o = options("json");
    o.progress = true;
    o.match.preferences.press.black = BlackGeneration::Free;
    o.match.preferences.press.inkLimit = 300;
    o.jobs = 1;
    const BatchRun one = batch(o, library);
    ASSERT_EQ(one.status, batchSkippedSome) << one.errors;
    EXPECT_NE(one.errors.find("\r[########################################]  117/117"),
              std::string::npos);
    for (unsigned jobs : {2u, 5u, 0u}) {
        o.jobs = jobs;
        const BatchRun several = batch(o, library);
        EXPECT_EQ(several.status, one.status) << jobs;
        EXPECT_EQ(several.out, one.out) << jobs;
        EXPECT_EQ(several.errors, one.errors) << jobs;
    }
}

TEST(BatchMatch, RGBProfileNamesItsChannels) {
    const BatchRun run = batch(options("csv", sampleRGB), "name,L,a,b\nGrey,50,0,0\n");
    ASSERT_EQ(run.status, batchConverted) << run.errors;
    EXPECT_EQ(run.out.substr(0, run.out.find("achieved")), "name,L,a,b,RGB_R,RGB_G,RGB_B,");
}

TEST(ProgressBar, DrawsOnlyForLongBatchesWhenEnabled) {
    std::ostringstream terminal;
    {
        ProgressBar bar(terminal, 200, true);
        for (int i = 0; i < 200; ++i)
            bar.advance();
    }
    const std::string drawn = terminal.str();
    const std::string first = "\r[........................................]    0/200";
    EXPECT_EQ(drawn.substr(0, first.size()), first);
    // Once per percent (every second item here) and the end, then erased.
    EXPECT_EQ(std::count(drawn.begin(), drawn.end(), '\r'), 1 + 100 + 1);
    EXPECT_NE(drawn.find("\r[####################....................]  100/200"),
              std::string::npos);
    const std::string last = "\r[########################################]  200/200\r\033[K";
    EXPECT_EQ(drawn.substr(drawn.size() - last.size()), last);

    for (const auto& [total, enabled] : {std::pair{10, true}, std::pair{500, false}}) {
        std::ostringstream quiet;
        ProgressBar bar(quiet, static_cast<std::size_t>(total), enabled);
        bar.advance();
        bar.finish();
        EXPECT_EQ(quiet.str(), "");
    }
}

} // namespace
