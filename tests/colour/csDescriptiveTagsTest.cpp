#include "ClearedLogTest.h"
#include "ProfileBytes.h"
#include "TestProfiles.h"
#include "csICCProfileHeader.h"
#include "csICCdescTag.h"
#include "csICCmlucTag.h"
#include "csICCpseqTag.h"
#include "csICCpsidTag.h"
#include "csICCtextTag.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

std::vector<std::uint8_t> bytesOf(const csICCTag& tag) {
    return std::vector<std::uint8_t>(tag.data(), tag.data() + tag.size());
}

std::unique_ptr<csICCTag> make(const std::vector<std::uint8_t>& block) {
    return tagOf("test", block);
}

// A corrupt descriptive tag is kept in its profile, but without data.
bool keptWithoutData(const std::unique_ptr<csICCTag>& tag) {
    return tag != nullptr && tag->data() == nullptr && tag->size() == 0;
}

// A "desc" block of the full layout: n ASCII bytes, m Unicode characters, ScriptCode count sc.
ProfileBytes descBlock(std::uint32_t n, std::uint32_t m, std::uint8_t scriptCount,
                       std::uint32_t extra = 0) {
    ProfileBytes d(90 + n + 2 * m + extra);
    d.bytes.assign(d.bytes.size(), 0);
    d.putText(0, "desc");
    d.put32(8, n);
    d.put32(16 + n, m);
    d.put(22 + n + 2 * m, {scriptCount});
    return d;
}

using DescriptiveTags = ClearedLogTest;

TEST_F(DescriptiveTags, DescBuiltFromText) {
    const csICCdescTag desc("ab\xC3");
    EXPECT_EQ(desc.size(), 94u);
    EXPECT_EQ(desc.asciiCount(), 4u);
    EXPECT_EQ(desc.data()[14], 0x43) << "characters are masked to 7 bits";
    EXPECT_EQ(desc.asciiText(), "abC");
    csICCdescTag copy(desc);
    EXPECT_EQ(copy.setDesc(nullptr), -1);
    EXPECT_EQ(bytesOf(copy), bytesOf(desc));
}

TEST_F(DescriptiveTags, DescScriptCodeCountLimit) {
    EXPECT_NE(make(descBlock(5, 2, 67).bytes)->data(), nullptr);
    EXPECT_TRUE(keptWithoutData(make(descBlock(5, 2, 68).bytes)));
    EXPECT_STREQ(logTitle(0), "corrupt tag data");
    EXPECT_STREQ(logMessage(0), "Scriptcode count in desc tag 68 is larger than 67");
}

TEST_F(DescriptiveTags, DescSizeAndCountsThatDoNotFit) {
    // Padding behind the tag is not part of it: the tag takes 90 + n + 2m bytes.
    const auto padded = make(descBlock(5, 2, 0, 6).bytes);
    ASSERT_NE(padded, nullptr);
    EXPECT_EQ(padded->size(), 99u);

    ProfileBytes ascii = descBlock(5, 2, 0);
    ascii.put32(8, 100);
    EXPECT_TRUE(keptWithoutData(make(ascii.bytes)));
    EXPECT_STREQ(logMessage(0), "ASCII count in desc tag 100 is larger than tag buffer");
    ProfileBytes unicode = descBlock(5, 2, 0);
    unicode.put32(21, 0x80000000u);
    EXPECT_TRUE(keptWithoutData(make(unicode.bytes)));
    EXPECT_STREQ(logMessage(1), "Unicode count in desc tag -2147483648 is larger than tag buffer");

    // A tag that ends right after a short ScriptCode text, as some profiles in use have it.
    ProfileBytes compact = descBlock(5, 2, 3);
    compact.bytes.resize(12 + 5 + 8 + 4 + 3 + 3);
    const auto short1 = make(compact.bytes);
    ASSERT_NE(short1, nullptr);
    EXPECT_EQ(short1->size(), 35u);
    EXPECT_EQ(logLevel(2), 2);
    EXPECT_STREQ(logTitle(2), "short desc tag");
    compact.bytes.pop_back();
    EXPECT_TRUE(keptWithoutData(make(compact.bytes))) << "the ScriptCode text itself must fit";
}

TEST_F(DescriptiveTags, MlucSizeFollowsItsFurthestString) {
    ProfileBytes m(64);
    m.bytes.assign(64, 0);
    m.putText(0, "mluc");
    m.put32(8, 1);
    m.put32(12, 12);
    m.putText(16, "enUS");
    m.put32(20, 6);
    m.put32(24, 50); // 50 + 6 = 56, beyond the record table's end at 28
    const auto tag = make(m.bytes);
    ASSERT_NE(tag, nullptr);
    EXPECT_EQ(tag->size(), 56u);

    m.put32(24, 60);
    EXPECT_TRUE(keptWithoutData(make(m.bytes)));
    m.put32(24, 50);
    m.put32(8, 5); // 16 + 5 x 12 = 76 > 64
    EXPECT_TRUE(keptWithoutData(make(m.bytes)));
    EXPECT_STREQ(logMessage(1), "mluc tag with 5 records (size 12) is larger than tag buffer");
}

TEST_F(DescriptiveTags, MlucRecordsShareEqualStrings) {
    csICCmlucTag mluc(Signature("desc"));
    EXPECT_EQ(mluc.size(), 16u);
    ASSERT_EQ(mluc.addRecord(csICCmlucTag::code("en"), csICCmlucTag::code("US"), u"Press"), 0);
    ASSERT_EQ(mluc.addRecord(csICCmlucTag::code("de"), csICCmlucTag::code("DE"), u"Druck"), 0);
    ASSERT_EQ(mluc.addRecord(csICCmlucTag::code("en"), csICCmlucTag::code("GB"), u"Press"), 0);
    EXPECT_EQ(mluc.numberOfRecords(), 3u);
    EXPECT_EQ(mluc.size(), 16u + 36 + 20) << "three records, two strings of 10 bytes";
    EXPECT_EQ(mluc.nameOffset(1), 62u);
    EXPECT_EQ(mluc.nameOffset(2), 52u);
    EXPECT_EQ(mluc.indexOf(csICCmlucTag::code("en"), csICCmlucTag::code("GB")), 2);
    EXPECT_EQ(mluc.addRecord(csICCmlucTag::code("en"), csICCmlucTag::code("US"), u"x"), -1);

    ASSERT_EQ(mluc.removeRecord(0), 0);
    EXPECT_EQ(mluc.text(1), u"Press") << "the shared string stays";
    EXPECT_EQ(mluc.size(), 16u + 24 + 20);
    ASSERT_EQ(mluc.removeRecord(0), 0);
    EXPECT_EQ(mluc.size(), 16u + 12 + 10);
}

TEST_F(DescriptiveTags, MlucCapacityIsReusedUntilItIsFarTooLarge) {
    csICCmlucTag mluc(Signature("desc"));
    const std::u16string small(10, u'a'), large(2100, u'b'); // 4200 bytes
    ASSERT_EQ(mluc.addRecord(csICCmlucTag::code("en"), csICCmlucTag::code("US"), small), 0);
    ASSERT_EQ(mluc.addRecord(csICCmlucTag::code("de"), csICCmlucTag::code("DE"), large), 0);
    ASSERT_EQ(mluc.addRecord(csICCmlucTag::code("fr"), csICCmlucTag::code("FR"), u"c"), 0);
    const std::uint32_t grown = mluc.capacity();
    ASSERT_EQ(mluc.removeRecord(2), 0);
    EXPECT_EQ(mluc.capacity(), grown) << "a small record removed keeps the block";
    ASSERT_EQ(mluc.removeRecord(1), 0);
    EXPECT_EQ(mluc.capacity(), mluc.size()) << "4096 or more bytes too large: reallocated";
}

TEST_F(DescriptiveTags, OverlappingMlucStringsAreKept) {
    ProfileBytes m(60);
    m.bytes.assign(60, 0);
    m.putText(0, "mluc");
    m.put32(8, 2);
    m.put32(12, 12);
    m.putText(16, "enUS");
    m.put32(20, 8);
    m.put32(24, 40);
    m.putText(28, "deDE");
    m.put32(32, 8);
    m.put32(36, 44); // overlaps the first string by 4 bytes
    auto tag = make(m.bytes);
    auto* mluc = dynamic_cast<csICCmlucTag*>(tag.get());
    ASSERT_NE(mluc, nullptr);
    ASSERT_EQ(mluc->removeRecord(0), 0);
    EXPECT_EQ(logLevel(0), 2);
    EXPECT_STREQ(logMessage(0), "mluc tag contains overlapping string 1");
    EXPECT_EQ(mluc->nameOffset(0), 44u - 12) << "its string stays where it was";
}

TEST_F(DescriptiveTags, TextTag) {
    csICCtextTag text(Signature("cprt"), "No copyright");
    EXPECT_EQ(text.size(), 8u + 12 + 1);
    EXPECT_EQ(text.text(), "No copyright");
    text.setText(nullptr);
    EXPECT_STREQ(logMessage(0), "setText(const char*) called with null pointer");
    EXPECT_EQ(text.text(), "No copyright");
    // A text without its NUL is read up to the end of the data.
    const std::vector<std::uint8_t> unterminated = {'t', 'e', 'x', 't', 0, 0, 0, 0, 'a', 'b'};
    EXPECT_EQ(dynamic_cast<csICCtextTag*>(make(unterminated).get())->text(), "ab");
}

TEST_F(DescriptiveTags, ProfileSequenceEntries) {
    csICCpseqTag pseq;
    EXPECT_EQ(pseq.size(), 12u);
    EXPECT_EQ(pseq.findDescriptionOffset(0), 0u);
    csICCProfileHeader header;
    header.setManufacturer(Signature("VELT"));
    header.setModel(Signature("P100"));
    header.setAttributes(0x10);
    const csICCdescTag first("Press"), second("Proof");
    pseq.appendEntry(header, Signature(), &first, &second);
    header.setModel(Signature("P200"));
    pseq.appendEntry(header, Signature("dsub"), &second, &first);
    EXPECT_STREQ(logTitle(0), "not implemented");
    EXPECT_EQ(pseq.count(), 2u);
    // Entry 1 starts after 20 bytes of fields and two descriptions of 96 bytes.
    EXPECT_EQ(pseq.findDescriptionOffset(1), 12u + 20 + 96 + 96);

    Signature manufacturer, model, technology;
    std::uint64_t attributes = 0;
    ASSERT_EQ(pseq.readEntry(1, &manufacturer, &model, &attributes, &technology), 0);
    EXPECT_EQ(model, Signature("P200"));
    EXPECT_EQ(attributes, 0x10u);
    EXPECT_EQ(technology, Signature()) << "technology is always stored as 0";

    // A missing description is 12 zero bytes, which later reads refuse.
    pseq.appendEntry(header, Signature(), nullptr, &first);
    clearLog();
    EXPECT_EQ(pseq.readEntry(2, &manufacturer, &model, &attributes, &technology), -1);
    EXPECT_STREQ(logTitle(0), "illegal manufacturer description");
    EXPECT_EQ(std::string(logMessage(0)).rfind("pseq: wrong tag type ", 0), 0u);
    EXPECT_EQ(pseq.readEntry(7, &manufacturer, &model, &attributes, &technology), -1);
    EXPECT_STREQ(logMessage(1), "pseq: findDescriptionOffset(7) failed");

    // Read back through the factory, the sequence is accepted; cut short, it is refused.
    std::vector<std::uint8_t> block = bytesOf(pseq);
    EXPECT_NE(make(block)->data(), nullptr);
    block.resize(12 + 20 + 50);
    EXPECT_TRUE(keptWithoutData(make(block)));
}

TEST_F(DescriptiveTags, ProfileSequenceIdentifiers) {
    csICCpsidTag psid;
    EXPECT_EQ(psid.size(), 12u);
    EXPECT_EQ(psid.count(), 2u);
    psid.setDescriptions("ab", "xyz");
    // a = 2, b = 4 (rounded up to even): entries at (28, 48) and (76, 52).
    std::uint32_t offset = 0, size = 0;
    ASSERT_TRUE(psid.entry(0, &offset, &size));
    EXPECT_EQ(std::make_pair(offset, size), std::make_pair(28u, 48u));
    ASSERT_TRUE(psid.entry(1, &offset, &size));
    EXPECT_EQ(std::make_pair(offset, size), std::make_pair(76u, 52u));
    EXPECT_EQ(psid.size(), 128u);
    // The second entry's "mluc": one record en/US, length 6, string at 28.
    const std::uint8_t* mluc = psid.data() + 76 + 16;
    EXPECT_EQ(std::memcmp(mluc, "mluc", 4), 0);
    EXPECT_EQ(std::memcmp(mluc + 16, "enUS", 4), 0);
    EXPECT_EQ(mluc[23], 6);
    EXPECT_EQ(mluc[27], 28);
    EXPECT_EQ(mluc[29], 'x');

    std::vector<std::uint8_t> block = bytesOf(psid);
    EXPECT_NE(make(block)->data(), nullptr);
    block[19] = 200; // the second entry's size now runs past the tag
    EXPECT_TRUE(keptWithoutData(make(block)));
    EXPECT_STREQ(logTitle(0), "corrupt tag data");
}

TEST_F(DescriptiveTags, FactoryRefusesNullData) {
    EXPECT_EQ(tagFactory(nullptr, Signature("desc"), 10, nullptr), nullptr);
    EXPECT_STREQ(logTitle(0), "null pointer");
    EXPECT_STREQ(logMessage(0), "tagFactory called with null pointer to data block!");
}

} // namespace
