#include "CgatsColours.h"
#include "ColourInput.h"
#include "CxfColours.h"
#include "DelimitedColours.h"
#include "NamedColourProfile.h"
#include "TestProfiles.h"
#include "csICCXYZTag.h"
#include "csICCncl2Tag.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace {

using Lines = std::vector<std::string>;

void expectLab(const SpotColour& colour, double L, double a, double b, double tolerance = 1e-9) {
    EXPECT_NEAR(colour.lab[0], L, tolerance) << colour.name;
    EXPECT_NEAR(colour.lab[1], a, tolerance) << colour.name;
    EXPECT_NEAR(colour.lab[2], b, tolerance) << colour.name;
}

TEST(DelimitedColours, CommaSemicolonAndTabFiles) {
    const ColourList comma = readDelimitedColours(
        "\xEF\xBB\xBFName, L*, a*, b*\r\n\"Red, warm\", 48.5, 65, 40\r\n\r\n# a comment\r\n"
        "\"Say \"\"hi\"\"\",50,-1e1,0\r\n",
        "lib.csv");
    ASSERT_EQ(comma.colours.size(), 2u) << comma.failure;
    EXPECT_TRUE(comma.problems.empty());
    EXPECT_EQ(comma.colours[0].name + "|" + comma.colours[1].name, "Red, warm|Say \"hi\"");
    EXPECT_EQ(comma.colours[0].origin, "lib.csv:2");
    expectLab(comma.colours[1], 50, -10, 0);

    // Semicolons with decimal commas, columns in another order and extra columns.
    const ColourList semicolon = readDelimitedColours(
        "LAB_B;LAB_A;LAB_L;Note;Sample_Name\n-20,5;10;33,25;x;Blau\n", "s.csv");
    ASSERT_EQ(semicolon.colours.size(), 1u);
    expectLab(semicolon.colours[0], 33.25, 10, -20.5);

    const ColourList tab = readDelimitedColours("name\tL\ta\tb\nTeal 1\t60\t-30\t-10\n", "t.tsv");
    ASSERT_EQ(tab.colours.size(), 1u);
}

TEST(DelimitedColours, LChColumnsConvertAsTheWindowDoes) {
    const ColourList list =
        readDelimitedColours("name,L*,C*,h°\nA,50,40,90\nB,60,10,225\nC,70,30,-90\n", "lch.csv");
    ASSERT_EQ(list.colours.size(), 3u);
    // cos and sin of the angles with the 14-decimal pi: 90 degrees gives a* of 40 x 1.6e-15.
    expectLab(list.colours[0], 50, 0, 40, 1e-12);
    expectLab(list.colours[1], 60, -7.0710678118654755, -7.0710678118654755, 1e-12);
    expectLab(list.colours[2], 70, 0, -30, 1e-12);
}

TEST(DelimitedColours, BadRowsAreReportedWithTheirLineAndSkipped) {
    const ColourList list = readDelimitedColours("name,L,a,b\n"
                                                 "Good,50,0,0\n"
                                                 "Letters,5O,0,0\n"
                                                 "Short,50,0\n"
                                                 ",50,0,0\n"
                                                 "\"Open,50,0,0\n"
                                                 "Dark,-1,0,0\n"
                                                 "Vivid,50,130,0\n"
                                                 "Last,50,1,1",
                                                 "bad.csv");
    ASSERT_EQ(list.colours.size(), 2u);
    EXPECT_EQ(list.colours[1].name, "Last");
    EXPECT_EQ(
        list.problems,
        (Lines{"bad.csv:3: '5O' is not a number", "bad.csv:4: 3 fields where the header needs 4",
               "bad.csv:5: no name", "bad.csv:6: unterminated quote",
               "bad.csv:7: L* -1 is outside 0..100", "bad.csv:8: a* 130 is outside -128..128"}));

    EXPECT_EQ(readDelimitedColours("name,L,C,h\nX,50,190,0\n", "c.csv").problems,
              Lines{"c.csv:2: C* 190 is outside 0..184"});
}

TEST(DelimitedColours, FilesWithoutAUsableHeaderFail) {
    EXPECT_EQ(readDelimitedColours("colour,x,y,z\nA,1,2,3\n", "h.csv").failure,
              "h.csv:1: the header does not name a name column and L, a, b (or L, C, h) columns");
    EXPECT_EQ(readDelimitedColours("\n# nothing\n", "e.csv").failure, "e.csv: no header row");
}

const char* const measured = R"(CGATS.17
ORIGINATOR "a spectrophotometer"
# measured at M1
NUMBER_OF_FIELDS 5
BEGIN_DATA_FORMAT
SAMPLE_ID SAMPLE_NAME
LAB_L LAB_A LAB_B
END_DATA_FORMAT
NUMBER_OF_SETS 4
BEGIN_DATA
1 "Warm Red" 48.50 65.00 40.00
2 Blue 30.1 10 -50 # a comment
3 "Broken" 30.1 x -50
4 "Two words 10 20
END_DATA
)";

TEST(CgatsColours, MeasurementFile) {
    const ColourList list = readCgatsColours(measured, "m.txt");
    ASSERT_FALSE(list.failed()) << list.failure;
    ASSERT_EQ(list.colours.size(), 2u);
    EXPECT_EQ(list.colours[0].name, "Warm Red");
    expectLab(list.colours[0], 48.5, 65, 40);
    EXPECT_EQ(list.colours[1].origin, "m.txt:12");
    EXPECT_EQ(list.problems,
              (Lines{"m.txt:13: 'x' is not a number", "m.txt:14: unterminated quote"}));
}

TEST(CgatsColours, IdsLChAndSetCounts) {
    const ColourList list = readCgatsColours("BEGIN_DATA_FORMAT\nSAMPLE_ID LAB_L LAB_C LAB_H "
                                             "END_DATA_FORMAT\nNUMBER_OF_SETS 3\nBEGIN_DATA\n"
                                             "A1 50 20 180\nA2 60 10\nEND_DATA\n",
                                             "i.cgats");
    ASSERT_EQ(list.colours.size(), 1u);
    EXPECT_EQ(list.colours[0].name, "A1");
    EXPECT_EQ(list.problems, Lines{"i.cgats:6: 3 values where the format has 4 fields"});
    EXPECT_EQ(list.notes, Lines{"i.cgats:7: NUMBER_OF_SETS is 3 but the data has 2 sets"});

    // Set counts that are no count at all are not checked.
    for (const char* count : {"4e45", "x"})
        EXPECT_TRUE(readCgatsColours(std::string("BEGIN_DATA_FORMAT\nSAMPLE_ID LAB_L LAB_A LAB_B\n"
                                                 "END_DATA_FORMAT\nNUMBER_OF_SETS ") +
                                         count + "\nBEGIN_DATA\n1 50 0 0\nEND_DATA\n",
                                     "n.cgats")
                        .notes.empty())
            << count;

    EXPECT_EQ(readCgatsColours("BEGIN_DATA_FORMAT\nSAMPLE_ID CMYK_C END_DATA_FORMAT\nBEGIN_DATA\n"
                               "1 50\nEND_DATA\n",
                               "d.cgats")
                  .failure,
              "d.cgats: no data format with SAMPLE_NAME or SAMPLE_ID and LAB_L, LAB_A, LAB_B (or "
              "LAB_C, LAB_H)");
}

std::string cxf(const std::string& conditions, const std::string& objects) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<cc:CxF xmlns:cc=\"http://colorexchangeformat.com/CxF3-core\">\n"
           "<cc:Resources>\n<cc:ObjectCollection>\n" +
           objects + "</cc:ObjectCollection>\n<cc:ColorSpecificationCollection>\n" + conditions +
           "</cc:ColorSpecificationCollection>\n</cc:Resources>\n</cc:CxF>\n";
}

std::string colourConditions(const std::string& id, const std::string& illuminant,
                             const std::string& observer) {
    return "<cc:ColorSpecification Id=\"" + id + "\"><cc:TristimulusSpec><cc:Illuminant>" +
           illuminant + "</cc:Illuminant><cc:Observer>" + observer +
           "</cc:Observer><cc:Method>E308</cc:Method></cc:TristimulusSpec>"
           "</cc:ColorSpecification>\n";
}

std::string labObject(const std::string& name, const std::string& spec, const std::string& L,
                      const std::string& a, const std::string& b) {
    return "<cc:Object ObjectType=\"Standard\" Name=\"" + name +
           "\" Id=\"x\"><cc:ColorValues><cc:ColorCIELab ColorSpecification=\"" + spec +
           "\"><cc:L>" + L + "</cc:L><cc:A>" + a + "</cc:A><cc:B>" + b +
           "</cc:B></cc:ColorCIELab></cc:ColorValues></cc:Object>\n";
}

TEST(CxfColours, D50LibraryIsTakenAsItStands) {
    const ColourList list = readCxfColours(
        cxf(colourConditions("CS1", "D50", "2_Degree"),
            labObject("Red", "CS1", "48.5", "65", "40") +
                "<cc:Object Name=\"Sky\"><cc:ColorValues><cc:ColorCIELCh "
                "ColorSpecification=\"CS1\"><cc:L>70</cc:L><cc:C>30</cc:C><cc:H>270</cc:H>"
                "</cc:ColorCIELCh></cc:ColorValues></cc:Object>\n"),
        "d50.cxf");
    ASSERT_EQ(list.colours.size(), 2u) << list.failure;
    EXPECT_TRUE(list.problems.empty() && list.notes.empty());
    expectLab(list.colours[1], 70, 0, -30, 1e-12);
    EXPECT_EQ(list.colours[0].origin, "d50.cxf:5: Object[1] \"Red\"");
}

TEST(CxfColours, D65TenDegreeLibraryIsAdaptedWithBradford) {
    const ColourList list = readCxfColours(cxf(colourConditions("CS65", "D65", "10_Degree"),
                                               labObject("One", "CS65", "50", "20", "-30") +
                                                   labObject("Two", "CS65", "70", "-40", "60") +
                                                   labObject("White", "CS65", "100", "0", "0")),
                                           "d65.cxf");
    ASSERT_EQ(list.colours.size(), 3u);
    // Worked out separately: Lab under the D65/10 degree white (94.811, 100, 107.304) to XYZ,
    // the Bradford matrix to the D50 PCS white (96.42, 100, 82.49), and back to Lab.
    expectLab(list.colours[0], 49.7439, 17.0902, -30.2140, 1e-4);
    expectLab(list.colours[2], 100, 0, 0, 1e-9);
    EXPECT_EQ(list.notes, Lines{"d65.cxf: 3 colours of ColorSpecification 'CS65' (D65, 10\u00B0) "
                                "adapted to D50, 2\u00B0 with Bradford chromatic adaptation"});
}

TEST(CxfColours, BadElementsAreReportedWithTheirPlace) {
    const ColourList list = readCxfColours(
        cxf(colourConditions("CS1", "D50", "2_Degree") + colourConditions("CSX", "Q7", "2_Degree"),
            labObject("NoB", "CS1", "50", "0", "") + labObject("Undefined", "CS9", "50", "0", "0") +
                labObject("Strange light", "CSX", "50", "0", "0") +
                "<cc:Object Name=\"Spectral only\"><cc:ColorValues/></cc:Object>\n" +
                labObject("Fine", "CS1", "50", "1", "2")),
        "bad.cxf");
    ASSERT_EQ(list.colours.size(), 1u);
    EXPECT_EQ(list.colours[0].name, "Fine");
    EXPECT_EQ(list.problems,
              (Lines{"bad.cxf:5: Object[1] \"NoB\": B is missing",
                     "bad.cxf:6: Object[2] \"Undefined\": ColorSpecification 'CS9' is not defined",
                     "bad.cxf:7: Object[3] \"Strange light\": unknown illuminant 'Q7'",
                     "bad.cxf:8: Object[4] \"Spectral only\": no ColorCIELab or ColorCIELCh under "
                     "ColorValues"}));
}

TEST(CxfColours, DocumentsThatAreNotCxfFail) {
    EXPECT_EQ(readCxfColours("<a>\n<b>\n</a>", "broken.cxf").failure,
              "broken.cxf:2: not well-formed XML (XML_ERROR_MISMATCHED_ELEMENT)");
    EXPECT_EQ(readCxfColours("<svg/>", "s.xml").failure,
              "s.xml: not a CxF3 document (the root element is not CxF)");
}

constexpr std::uint16_t labRed[3] = {0x8000, 0xC000, 0x4000};
constexpr std::uint16_t labWhite[3] = {0xFF00, 0x8000, 0x8000};

std::vector<std::uint8_t> namedColourProfile(unsigned major, const char* pcs,
                                             const std::uint16_t (&first)[3] = labRed,
                                             const std::uint16_t (&second)[3] = labWhite) {
    csICCProfile profile;
    profile.header().setVersion(major, 0, 0);
    setHeader(profile, "nmcl", "CMYK", pcs);
    profile.addTag(csICCXYZTag(Signature("wtpt"), 0.9642f, 1.0f, 0.8249f));
    csICCncl2Tag tag(Signature("ncl2"), 4);
    tag.setPrefix("TX ");
    tag.setSuffix(" C");
    const std::uint16_t device[4] = {0, 65535, 65535, 0};
    tag.addColour("Red", first, device);
    tag.addColour("White", second, device);
    tag.addColour("", second, device);
    profile.addTag(tag);
    std::vector<std::uint8_t> image;
    profile.writeToMemory(image);
    return image;
}

TEST(NamedColourProfile, PcsValuesDecodeByVersionAndPcs) {
    const std::vector<std::uint8_t> v2 = namedColourProfile(2, "Lab ");
    const ColourList legacy = readNamedColourProfile(v2.data(), v2.size(), "v2.icc");
    ASSERT_EQ(legacy.colours.size(), 2u) << legacy.failure;
    EXPECT_EQ(legacy.colours[0].name, "TX Red C");
    // Legacy encoding: L* = v / 652.8, a* = v / 256 - 128.
    expectLab(legacy.colours[0], 32768 / 652.8, 64, -64);
    expectLab(legacy.colours[1], 100, 0, 0);
    EXPECT_EQ(legacy.problems, Lines{"v2.icc: colour 3 \"TX  C\": no name"});

    const std::vector<std::uint8_t> v4 = namedColourProfile(4, "Lab ");
    const ColourList current = readNamedColourProfile(v4.data(), v4.size(), "v4.icc");
    ASSERT_EQ(current.colours.size(), 2u);
    expectLab(current.colours[0], 32768 / 655.35, 49152 / 257.0 - 128, 16384 / 257.0 - 128);

    // XYZ16: 0x8000 is 1.0; Lab under the PCS white (96.42, 100, 82.49).
    const std::uint16_t grey[3] = {0x4000, 0x3000, 0x2800}, black[3] = {0, 0, 0};
    const std::vector<std::uint8_t> xyz = namedColourProfile(2, "XYZ ", grey, black);
    const ColourList fromXYZ = readNamedColourProfile(xyz.data(), xyz.size(), "x.icc");
    ASSERT_EQ(fromXYZ.colours.size(), 2u);
    const double fx = std::cbrt(50 / 96.42), fy = std::cbrt(37.5 / 100),
                 fz = std::cbrt(31.25 / 82.49);
    expectLab(fromXYZ.colours[0], 116 * fy - 16, 500 * (fx - fy), 200 * (fy - fz), 1e-9);
}

TEST(NamedColourProfile, OtherFilesFail) {
    std::vector<std::uint8_t> printer = namedColourProfile(2, "Lab ");
    printer[12] = 'p', printer[13] = 'r', printer[14] = 't', printer[15] = 'r';
    EXPECT_EQ(readNamedColourProfile(printer.data(), printer.size(), "p.icc").failure,
              "p.icc: a 'prtr' profile, not a named colour profile");
    const std::uint8_t junk[10] = {};
    EXPECT_EQ(readNamedColourProfile(junk, sizeof junk, "j.icc").failure.substr(0, 38),
              "j.icc: not a profile that can be read ");
    // A tag table claiming more colours than the tag holds is refused as a whole.
    std::vector<std::uint8_t> truncated = namedColourProfile(2, "Lab ");
    const std::string image(truncated.begin(), truncated.end());
    const std::size_t tag = image.find("ncl2", 128 + 4 + 2 * 12);
    ASSERT_NE(tag, std::string::npos);
    truncated[tag + 15] = 4; // count 3 -> 4
    EXPECT_TRUE(readNamedColourProfile(truncated.data(), truncated.size(), "t.icc").failed());
}

TEST(ColourInput, FormatsAreDetectedByContentThenExtension) {
    const std::vector<std::uint8_t> profile = namedColourProfile(2, "Lab ");
    const std::string image(profile.begin(), profile.end());
    EXPECT_EQ(detectInputFormat("lib.csv", image), InputFormat::NamedColourProfile);
    EXPECT_EQ(detectInputFormat("lib.txt", "  <?xml version=\"1.0\"?><cc:CxF/>"), InputFormat::Cxf);
    EXPECT_EQ(detectInputFormat("lib.csv", measured), InputFormat::Cgats);
    EXPECT_EQ(detectInputFormat("lib.TSV", "name\tL\ta\tb\n"), InputFormat::Tsv);
    EXPECT_EQ(detectInputFormat("lib.icm", "short"), InputFormat::NamedColourProfile);
    EXPECT_EQ(detectInputFormat("", "name;L;a;b\n"), InputFormat::Csv);
}

TEST(ColourInput, StandardInputAndUnreadableFiles) {
    std::istringstream in("name,L,a,b\nGrey,50,0,0\n");
    const ColourList list = readColourLibrary("-", InputFormat::Auto, in);
    ASSERT_EQ(list.colours.size(), 1u);
    EXPECT_EQ(list.colours[0].origin, "<stdin>:2");

    std::istringstream none;
    EXPECT_EQ(readColourLibrary("/tmp", InputFormat::Auto, none).failure,
              "cannot read '/tmp': it is a directory");
}

TEST(ColourInput, KeptFuzzFindingsReadCleanly) {
    // Inputs the library fuzzer once broke a reader with; the sanitizer builds watch them.
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(std::string(TINTORA_SOURCE_DIR) +
                                                                 "/fuzz/library-regressions")) {
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string content{std::istreambuf_iterator<char>(in),
                                  std::istreambuf_iterator<char>()};
        for (const ColourList& list :
             {readDelimitedColours(content, "f"), readCgatsColours(content, "f"),
              readCxfColours(content, "f"),
              readNamedColourProfile(reinterpret_cast<const std::uint8_t*>(content.data()),
                                     content.size(), "f")})
            for (const SpotColour& colour : list.colours)
                EXPECT_TRUE(colour.lab[0] >= 0 && colour.lab[0] <= 100) << entry.path();
        ++files;
    }
    EXPECT_GE(files, 2u);
}

} // namespace
