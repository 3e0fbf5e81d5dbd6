#include "csICCProfile.h"
#include "ClearedLogTest.h"
#include "ProfileBytes.h"
#include "TestProfiles.h"
#include "csICCXYZTag.h"
#include "csICCdescTag.h"
#include "csICCtextTag.h"
#include "csMD5.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

namespace {

using Lines = std::vector<std::string>;

class csICCProfileTest : public ClearedLogTest {
protected:
    // The log as "L title: message" lines.
    static Lines log() {
        Lines lines;
        for (unsigned i = 0; i < logCount(); ++i)
            lines.push_back(std::string(1, "DIWEF"[logLevel(i)]) + " " + logTitle(i) + ": " +
                            logMessage(i));
        return lines;
    }
    static Lines errorsAndWarnings() {
        Lines lines;
        for (const std::string& line : log())
            if (line[0] != 'I')
                lines.push_back(line);
        return lines;
    }

    // A profile image with one 20-byte XYZ tag at offset 144, in a profile of size bytes.
    static ProfileBytes withOneTag(std::uint32_t offset, std::uint32_t tagSize,
                                   std::uint32_t size) {
        ProfileBytes p(size);
        p.count(1);
        p.entry(0, "wtpt", offset, tagSize);
        if (offset + 4 <= size)
            p.putText(offset, "XYZ ");
        return p;
    }

    csICCProfile profile;
};

TEST_F(csICCProfileTest, NewHeaderDefaults) {
    const csICCProfileHeader& h = profile.header();
    EXPECT_EQ((std::vector<Signature>{h.cmmType(), h.fileSignature(), h.platform(), h.creator()}),
              (std::vector<Signature>{Signature("APPL"), Signature("acsp"), Signature("MSFT"),
                                      Signature("Velt")}));
    std::int32_t X, Y, Z;
    h.illuminantRaw(&X, &Y, &Z);
    EXPECT_EQ(std::make_tuple(X, Y, Z), std::make_tuple(63190, 65536, 54061));
    EXPECT_GE(h.dateTime().year, 2024);
    EXPECT_EQ(h.bytes()[8] * 256 + h.bytes()[9], 0x0210);
    // Version digits are binary-coded decimals, each saturating at 9.
    csICCProfileHeader other;
    other.setVersion(100, 12, 3);
    EXPECT_EQ(other.bytes()[8] * 256 + other.bytes()[9], 0x9993);
    other.setVersion(42, 3, 1);
    EXPECT_EQ(other.majorVersion(), 42u);
}

// The tag ends exactly where the profile does.
TEST_F(csICCProfileTest, ReadsAProfileImage) {
    ProfileBytes p = withOneTag(144, 20, 164);
    p.put32(152, 0x0000F6D6);
    ASSERT_EQ(profile.setProfile(p.bytes.data(), p.bytes.size()), 0);
    ASSERT_EQ(profile.numTags(), 1u);
    EXPECT_EQ(profile.colorSpaceChannels(), 4u);
    EXPECT_EQ(profile.pcsChannels(), 3u);
    const auto* white = dynamic_cast<const csICCXYZTag*>(profile.findTag(Signature("wtpt")));
    ASSERT_NE(white, nullptr) << "the factory chose the class by the type signature";
    EXPECT_EQ(white->getXRaw(0), 63190);
    EXPECT_EQ(log(), Lines{"I added tag: found tag 'wtpt' size 20"});
    EXPECT_TRUE(profile.isValid(3));
}

TEST_F(csICCProfileTest, MalformedTablesAreRefusedCleanly) {
    ProfileBytes noAcsp(164);
    noAcsp.putText(36, "ascp");
    EXPECT_EQ(profile.setProfile(noAcsp.bytes.data(), noAcsp.bytes.size()), -1);
    EXPECT_EQ(log(), Lines{"E bad profile: no 'acsp' signature in profile header"});

    const auto refused = [](const ProfileBytes& p, const std::string& first) {
        clearLog();
        csICCProfile fresh;
        EXPECT_EQ(fresh.setProfile(p.bytes.data(), p.bytes.size()), -1);
        EXPECT_EQ(fresh.numTags(), 0u);
        ASSERT_FALSE(log().empty());
        EXPECT_EQ(log().front(), first);
        EXPECT_EQ(log().back(), "E bad profile: could not create tag table from memory");
    };
    ProfileBytes tooMany(164);
    tooMany.count(1001);
    refused(tooMany, "E bad tagtable: tag count 1001 is more than 1000");
    ProfileBytes tablePastEnd(164);
    tablePastEnd.count(3); // 132 + 36 = 168 bytes of table in a 164-byte profile
    refused(tablePastEnd,
            "E bad tagtable: tag table of 3 entries runs past the end of the profile (164 bytes)");
    ProfileBytes headerOnly(130);
    refused(headerOnly, "E bad tagtable: profile of 130 bytes has no room for a tag count");
    refused(withOneTag(144, 3, 164),
            "E bad tagtable: tag 'wtpt' offset 144, size 3 has no room for its type");
    // No tag is made before the whole table has passed.
    for (const auto& [offset, size] : {std::pair{145u, 20u}, std::pair{164u, 0u}}) {
        ProfileBytes p = withOneTag(144, 4, 164);
        p.count(2);
        p.entry(1, "wtpt", offset, size);
        refused(p, "E bad tagtable: tag 'wtpt' offset " + std::to_string(offset) + ", size " +
                       std::to_string(size) + " larger than profile 164");
    }

    // A hundred entries pointing at the same 700 bytes of a 2032-byte profile: 70000 bytes of tag
    // copies, more than 32 times the profile.
    ProfileBytes repeated(2032);
    repeated.count(100);
    for (unsigned i = 0; i < 100; ++i)
        repeated.entry(i, std::string("t") + std::to_string(100 + i), 1332, 700);
    repeated.putText(1332, "XYZ ");
    refused(repeated, "E bad tagtable: tags of 70000 bytes in all, more than 32 times the "
                      "profile's 2032");

    // The size field may not promise more than the bytes given.
    ProfileBytes shortBlock = withOneTag(144, 20, 164);
    shortBlock.bytes.resize(150);
    refused(shortBlock, "E bad tagtable: profile size 164 is larger than the 150 bytes given");
}

TEST_F(csICCProfileTest, CorruptTagsLoseOnlyThemselvesUnlessTheyTransformColours) {
    ProfileBytes p(300);
    p.count(2);
    p.entry(0, "wtpt", 156, 20);
    p.putText(156, "XYZ ");
    p.put32(164, 0x00010000);
    p.entry(1, "desc", 176, 100);
    p.putText(176, "desc");
    p.put32(184, 500); // an ASCII count far beyond the tag's 100 bytes
    ASSERT_EQ(profile.setProfile(p.bytes.data(), p.bytes.size()), 0);
    ASSERT_EQ(profile.numTags(), 2u);
    EXPECT_EQ(profile.tagAt(1)->signature(), Signature("desc"));
    EXPECT_EQ(profile.tagAt(1)->data(), nullptr);
    EXPECT_EQ(profile.tagAt(1)->size(), 0u);
    EXPECT_EQ(profile.tagAt(0)->data()[8], 0x00) << "the other tags are read as they are";
    EXPECT_EQ(errorsAndWarnings(), Lines{"E corrupt tag data: ASCII count in desc tag 500 is "
                                         "larger than tag buffer"});

    // Written back, the tag without data is left out.
    clearLog();
    std::vector<std::uint8_t> written;
    ASSERT_EQ(profile.writeToMemory(written), 0);
    EXPECT_EQ(get32(written, 128), 1u);
    EXPECT_EQ(errorsAndWarnings(), Lines{"W tag without data: tag 'desc' has no data and is not "
                                         "written"});

    // A curve is needed to convert: the same damage to it refuses the profile, with no tag left.
    clearLog();
    p.entry(1, "rTRC", 176, 100);
    p.putText(176, "curv");
    csICCProfile strict;
    EXPECT_EQ(strict.setProfile(p.bytes.data(), p.bytes.size()), -1);
    EXPECT_EQ(strict.numTags(), 0u);
    EXPECT_EQ(errorsAndWarnings().back(), "E bad profile: could not create tag table from memory");
}

TEST_F(csICCProfileTest, EmptyTableReadsAndWritesAsCountZero) {
    ProfileBytes p(132);
    ASSERT_EQ(profile.setProfile(p.bytes.data(), p.bytes.size()), 0);
    EXPECT_EQ(profile.numTags(), 0u);
    EXPECT_TRUE(profile.isValid(3));
    std::vector<std::uint8_t> out;
    ASSERT_EQ(profile.writeToMemory(out), 0);
    EXPECT_EQ(out.size(), 132u);
    EXPECT_EQ(get32(out, 128), 0u);
    EXPECT_EQ(log(), Lines{"W empty profile: tried to write a profile with empty tag list"});

    clearLog();
    csICCProfile never;
    EXPECT_EQ(never.writeToMemory(out), -1);
    const Lines expected = {
        "E no profile data: tried to write a profile without tag list (null pointer)",
        "E could not create profile: tagTable failed to assemble profile body"};
    EXPECT_EQ(log(), expected);
}

TEST_F(csICCProfileTest, FileSizeWinsOverTheSizeField) {
    for (std::uint32_t sizeField : {200u, 150u}) {
        clearLog();
        ProfileBytes p = withOneTag(144, 20, 164);
        p.put32(0, sizeField);
        std::FILE* file = std::tmpfile();
        std::fwrite(p.bytes.data(), 1, p.bytes.size(), file);
        csICCProfile fresh;
        EXPECT_EQ(fresh.setProfile(file), 0);
        std::fclose(file);
        EXPECT_EQ(fresh.header().profileSize(), 164u);
        EXPECT_EQ(errorsAndWarnings(),
                  Lines{"W wrong size in profile: size entry " + std::to_string(sizeField) +
                        " does not match actual file size 164 (corrected)"});
    }
}

TEST_F(csICCProfileTest, FilesThatCannotBeProfiles) {
    EXPECT_EQ(profile.setProfile(static_cast<std::FILE*>(nullptr)), -1);
    EXPECT_EQ(log(), Lines{"E bad file: setProfile: FILE pointer is zero"});
    clearLog();
    std::FILE* tiny = std::tmpfile();
    std::fwrite("acsp", 1, 4, tiny);
    EXPECT_EQ(profile.setProfile(tiny), -1);
    std::fclose(tiny);
    EXPECT_EQ(log(),
              Lines{"E reading profile failed: file of 4 bytes is shorter than a profile header"});

    EXPECT_EQ(profile.setProfile(nullptr, 0), -1);
}

TEST_F(csICCProfileTest, WritingSharesIdenticalDataAndPadsWithZeros) {
    profile.header().setDeviceClass(Signature("prtr"));
    ASSERT_EQ(profile.addTag(csICCtextTag(Signature("cprt"), "0123456789ab")), 0); // 21 bytes
    ASSERT_EQ(profile.addTag(csICCXYZTag(Signature("wtpt"), 1.0f, 1.0f, 1.0f)), 0);
    ASSERT_EQ(profile.addTag(csICCXYZTag(Signature("bkpt"), 1.0f, 1.0f, 1.0f)), 0);
    ASSERT_EQ(profile.addTag(csICCdescTag("abc")), 0); // 94 bytes
    std::vector<std::uint8_t> out;
    ASSERT_EQ(profile.writeToMemory(out), 0);

    // Table of 4 entries: tag data from 128 + 4 + 48 = 180.
    EXPECT_EQ(get32(out, 128), 4u);
    EXPECT_EQ(get32(out, 136), 180u);
    EXPECT_EQ(get32(out, 140), 21u) << "size entries are not padded";
    EXPECT_EQ(get32(out, 148), 204u) << "21 bytes padded to 24";
    EXPECT_EQ(get32(out, 160), 204u) << "bkpt shares wtpt's data";
    EXPECT_EQ(get32(out, 172), 224u);
    EXPECT_EQ(get32(out, 176), 94u);
    EXPECT_EQ(out.size(), 320u) << "224 + 94 padded to 96";
    EXPECT_EQ(get32(out, 0), 320u);
    EXPECT_EQ(std::vector<std::uint8_t>(out.begin() + 201, out.begin() + 204),
              std::vector<std::uint8_t>(3, 0));

    csICCProfile again;
    ASSERT_EQ(again.setProfile(out.data(), out.size()), 0);
    EXPECT_TRUE(again.sameTagData(Signature("wtpt"), Signature("bkpt")));
    EXPECT_FALSE(again.sameTagData(Signature("wtpt"), Signature("desc")));
}

TEST_F(csICCProfileTest, Version4ProfileIdIsTheMD5OfTheProfileWithThreeFieldsZeroed) {
    profile.header().setVersion(4, 3, 0);
    profile.header().setDeviceClass(Signature("mntr"));
    profile.header().setColorSpace(Signature("RGB "));
    profile.header().setPcs(Signature("XYZ "));
    profile.header().setFlags(0x00010000);
    profile.header().setRenderingIntent(1);
    ASSERT_EQ(profile.addTag(csICCXYZTag(Signature("wtpt"), 0.9642f, 1.0f, 0.8249f)), 0);
    std::vector<std::uint8_t> out;
    ASSERT_EQ(profile.writeToMemory(out), 0);
    EXPECT_EQ(get32(out, 44), 0x00010000u) << "the written flags are kept";
    EXPECT_EQ(get32(out, 64), 1u);

    // The digest of the profile with flags, intent and ID zeroed (the digest itself is checked
    // against RFC 1321's suite below).
    std::vector<std::uint8_t> zeroed = out;
    std::fill(zeroed.begin() + 44, zeroed.begin() + 48, 0);
    std::fill(zeroed.begin() + 64, zeroed.begin() + 68, 0);
    std::fill(zeroed.begin() + 84, zeroed.begin() + 100, 0);
    const csMD5::Digest expected = csMD5::of(zeroed.data(), zeroed.size());
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), out.begin() + 84));
    std::uint8_t held[16];
    profile.header().profileID(held);
    EXPECT_EQ(std::memcmp(held, out.data() + 84, 16), 0);

    // Version 2 profiles get no ID.
    csICCProfile v2;
    ASSERT_EQ(v2.addTag(csICCXYZTag(Signature("wtpt"), 1.0f, 1.0f, 1.0f)), 0);
    ASSERT_EQ(v2.writeToMemory(out), 0);
    EXPECT_EQ(std::vector<std::uint8_t>(out.begin() + 84, out.begin() + 100),
              std::vector<std::uint8_t>(16, 0));
}

TEST_F(csICCProfileTest, EditingTheTagTable) {
    for (int i = 0; i < 8; ++i) {
        const std::string code = "t00" + std::to_string(i);
        const Signature signature = signatureOf(code.c_str());
        ASSERT_EQ(profile.addTag(csICCXYZTag(signature, 1.0f, 1.0f, 1.0f)), 0);
    }
    ASSERT_EQ(profile.addTag(csICCtextTag(Signature("cprt"), "x")), 0);

    clearLog();
    EXPECT_EQ(profile.addTag(csICCtextTag(Signature("cprt"), "again")), -1);
    EXPECT_EQ(profile.replaceTag(csICCtextTag(Signature("desc"), "x")), -1);
    EXPECT_EQ(profile.replaceTag(csICCdescTag(Signature("cprt"), "x")), -1);
    EXPECT_EQ(profile.replaceTag(12, csICCtextTag(Signature("cprt"), "x")), -1);
    EXPECT_EQ(profile.removeTag(9), -1);
    const Lines expected = {
        "E duplicate tag: tried to add another tag 'cprt'",
        "E tag not found: tried to replace tag 'desc', which cannot be found",
        "E tag mismatch: tried to replace tag 'cprt' (type 'desc') with a 'cprt' (wrong type "
        "'text')",
        "E index out of bounds: tried to replace tag index 12 of 9",
        "E index out of bounds: tried to replace tag index 9 of 9"};
    EXPECT_EQ(log(), expected);

    // Replacing a tag with itself, as found in the table, keeps a valid copy.
    ASSERT_EQ(profile.replaceTag(*profile.findTag(Signature("cprt"))), 0);
    EXPECT_EQ(dynamic_cast<csICCtextTag*>(profile.findTag(Signature("cprt")))->text(), "x");

    clearLog();
    EXPECT_EQ(profile.replaceOrAddTag(csICCtextTag(Signature("targ"), "new")), 0);
    EXPECT_EQ(log(), Lines{"W tag not found: tried to replace tag 'targ', which "
                           "cannot be found. Adding tag instead"});
    EXPECT_EQ(profile.numTags(), 10u);

    const Signature second = profile.tagAt(2)->signature();
    ASSERT_EQ(profile.removeTag(1), 0);
    EXPECT_EQ(profile.tagAt(1)->signature(), second);
    EXPECT_EQ(profile.tagAt(9), nullptr);
}

// The highest level a header passes after changing bytes of an empty version 2 profile.
TEST_F(csICCProfileTest, ValidityLevels) {
    struct Case {
        std::vector<std::pair<std::size_t, std::uint8_t>> bytes;
        int level;
    };
    for (const Case& c : std::vector<Case>{{{}, 3},
                                           {{{8, 0x01}}, 0},       // version 1
                                           {{{20, 'R'}}, 0},       // a PCS that is not Lab or XYZ
                                           {{{67, 4}}, 0},         // rendering intent 4
                                           {{{11, 1}}, 1},         // reserved version byte
                                           {{{45, 1}}, 2},         // reserved flags
                                           {{{47, 1}}, 3},         // flags of the profile's own use
                                           {{{90, 1}}, 2},         // an ID in a version 2 profile
                                           {{{90, 1}, {8, 4}}, 3}, // version 4 may have one
                                           {{{8, 3}}, 2}}) {
        ProfileBytes p(132);
        for (const auto& [offset, value] : c.bytes)
            p.put(offset, {value});
        csICCProfile candidate;
        ASSERT_EQ(candidate.setProfile(p.bytes.data(), p.bytes.size()), 0);
        int level = -1;
        while (level < 3 && candidate.isValid(level + 1))
            ++level;
        EXPECT_EQ(level, c.level) << c.bytes.size() << " changes, first at "
                                  << (c.bytes.empty() ? 0 : c.bytes[0].first);
    }
}

TEST_F(csICCProfileTest, RequiredTagsByClass) {
    const auto add = [this](std::initializer_list<const char*> codes) {
        for (const char* code : codes)
            profile.addTag(csICCXYZTag(signatureOf(code), 1.0f, 1.0f, 1.0f));
    };
    profile.header().setDeviceClass(Signature("prtr"));
    profile.header().setColorSpace(Signature("CMYK"));
    add({"desc", "wtpt", "A2B0", "A2B1", "A2B2", "B2A0", "B2A1"});
    EXPECT_FALSE(profile.hasRequiredTags());
    EXPECT_EQ(profile.missingRequiredTags(), "cprt, B2A2, gamt");
    add({"cprt", "B2A2", "gamt"});
    EXPECT_TRUE(profile.hasRequiredTags());

    csICCProfile display;
    display.header().setDeviceClass(Signature("mntr"));
    display.header().setColorSpace(Signature("RGB "));
    display.header().setPcs(Signature("XYZ "));
    for (const char* code : {"desc", "wtpt", "cprt", "rXYZ", "gXYZ", "bXYZ", "rTRC", "gTRC"})
        display.addTag(csICCXYZTag(signatureOf(code), 1.0f, 1.0f, 1.0f));
    EXPECT_FALSE(display.hasRequiredTags());
    EXPECT_EQ(display.missingRequiredTags(), "A2B0, B2A0 (or rXYZ, gXYZ, bXYZ, rTRC, gTRC, bTRC)");
    display.addTag(csICCXYZTag(Signature("bTRC"), 1.0f, 1.0f, 1.0f));
    EXPECT_TRUE(display.hasRequiredTags());

    // A named colour profile needs "ncl2"; before version 4 the old "nmcl" will do.
    csICCProfile named;
    named.header().setDeviceClass(Signature("nmcl"));
    for (const char* code : {"desc", "wtpt", "cprt"})
        named.addTag(csICCXYZTag(signatureOf(code), 1.0f, 1.0f, 1.0f));
    EXPECT_EQ(named.missingRequiredTags(), "ncl2 (or nmcl)");
    named.addTag(csICCXYZTag(Signature("nmcl"), 1.0f, 1.0f, 1.0f));
    EXPECT_TRUE(named.hasRequiredTags());
}

TEST(csMD5, RFC1321TestSuite) {
    const auto hex = [](const std::string& text) {
        const csMD5::Digest digest =
            csMD5::of(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
        std::string out;
        for (std::uint8_t byte : digest) {
            char pair[3];
            std::snprintf(pair, sizeof pair, "%02x", byte);
            out += pair;
        }
        return out;
    };
    EXPECT_EQ(hex(""), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(hex("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"),
              "d174ab98d277d9f5a5611c2c9f419d9f");
    EXPECT_EQ(
        hex("12345678901234567890123456789012345678901234567890123456789012345678901234567890"),
        "57edf4a22be3c955ac49da2e2107b67a");
}

} // namespace
