// Every ICC profile that the Debian packages installed by scripts/test ship (ghostscript's,
// colord's and icc-profiles-free) must read, agree with a plain reading of its bytes, and
// survive writing and reading back.

#include "PackagedProfiles.h"
#include "ProfileBytes.h"
#include "TestProfiles.h"
#include "csLog.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(RealProfiles, EveryPackagedProfileReadsAndRoundTrips) {
    const std::vector<std::filesystem::path> profiles = packagedProfiles();
    // ghostscript's 14, colord's 25 and icc-profiles-free's 12.
    ASSERT_GE(profiles.size(), 40u) << "scripts/test installs the profile packages";

    for (const std::filesystem::path& path : profiles) {
        SCOPED_TRACE(path.string());
        clearLog();
        csICCProfile profile;
        ASSERT_EQ(readProfile(profile, path), 0);

        // The tag table as the bytes say it.
        const std::vector<std::uint8_t> bytes = fileBytes(path);
        const std::uint32_t count = get32(bytes, 128);
        ASSERT_EQ(profile.numTags(), count);
        for (unsigned i = 0; i < count; ++i) {
            const csICCTag* tag = profile.tagAt(i);
            const std::uint32_t offset = get32(bytes, 136 + 12 * i);
            const std::uint32_t size = get32(bytes, 140 + 12 * i);
            EXPECT_EQ(tag->signature(), Signature::read(&bytes[132 + 12 * i]));
            ASSERT_LE(tag->size(), size) << "a tag never takes more than its entry gives it";
            EXPECT_EQ(std::memcmp(tag->data(), &bytes[offset], tag->size()), 0);
        }

        std::vector<std::uint8_t> written;
        ASSERT_EQ(profile.writeToMemory(written), 0);
        csICCProfile again;
        ASSERT_EQ(again.setProfile(written.data(), written.size()), 0);
        ASSERT_EQ(again.numTags(), profile.numTags());
        for (unsigned i = 0; i < count; ++i) {
            const csICCTag* before = profile.tagAt(i);
            const csICCTag* after = again.tagAt(i);
            EXPECT_EQ(after->signature(), before->signature());
            ASSERT_EQ(after->size(), before->size());
            EXPECT_EQ(std::memcmp(after->data(), before->data(), before->size()), 0);
        }
        EXPECT_EQ(std::memcmp(written.data() + 4, bytes.data() + 4, 80), 0)
            << "the header is written as read, apart from size and profile ID";
    }
    clearLog();
}

} // namespace
