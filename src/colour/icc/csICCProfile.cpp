#include "csICCProfile.h"

#include "csICCSpace.h"
#include "csLog.h"
#include "csMD5.h"

#include <climits>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <new>

namespace {

constexpr std::uint32_t headerSize = csICCProfileHeader::size;
constexpr std::uint32_t flagsOffset = 44;
constexpr std::uint32_t intentOffset = 64;
constexpr std::uint32_t idOffset = 84;

bool isOneOf(Signature signature, std::initializer_list<const char*> codes) {
    for (const char* code : codes) {
        if (signature.text() == std::string(code, 4))
            return true;
    }
    return false;
}

bool allZero(const std::uint8_t* bytes, std::uint32_t from, std::uint32_t to) {
    for (std::uint32_t i = from; i < to; ++i) {
        if (bytes[i] != 0)
            return false;
    }
    return true;
}

} // namespace

csICCProfile::csICCProfile() = default;
csICCProfile::~csICCProfile() = default;

int csICCProfile::setProfile(std::FILE* file) {
    if (file == nullptr) {
        logError("bad file", "setProfile: FILE pointer is zero");
        return -1;
    }
    long fileSize = -1;
    if (std::fseek(file, 0, SEEK_END) == 0)
        fileSize = std::ftell(file);
    if (fileSize < 0) {
        logError("reading profile failed", "ftell() on profile returned %d",
                 static_cast<int>(fileSize));
        return -1;
    }
    // A profile's size is a 32-bit number; anything larger (a directory may report that) is not
    // a profile, and nothing shorter than the header is.
    if (static_cast<unsigned long>(fileSize) > UINT32_MAX) {
        logError("reading profile failed", "file of %ld bytes is too large for a profile",
                 fileSize);
        return -1;
    }
    if (fileSize < static_cast<long>(headerSize)) {
        logError("reading profile failed", "file of %ld bytes is shorter than a profile header",
                 fileSize);
        return -1;
    }
    std::unique_ptr<std::uint8_t[]> buffer(new (std::nothrow)
                                               std::uint8_t[static_cast<std::size_t>(fileSize)]);
    if (!buffer) {
        logError("reading profile failed", "not enough memory for a profile of %ld bytes",
                 fileSize);
        return -1;
    }
    std::rewind(file);
    if (std::fread(buffer.get(), 1, static_cast<std::size_t>(fileSize), file) !=
        static_cast<std::size_t>(fileSize)) {
        logError("reading profile failed", "fread() of whole profile failed");
        return -1;
    }
    const std::uint32_t sizeField = readU32(buffer.get());
    if (sizeField != static_cast<std::uint32_t>(fileSize)) {
        logWarning("wrong size in profile",
                   "size entry %d does not match actual file size %d (corrected)",
                   static_cast<int>(sizeField), static_cast<int>(fileSize));
        writeU32(buffer.get(), static_cast<std::uint32_t>(fileSize));
    }
    return setProfile(buffer.get(), static_cast<std::size_t>(fileSize));
}

int csICCProfile::setProfile(const std::uint8_t* block, std::size_t blockSize) {
    if (block == nullptr) {
        logFatal("null pointer", "setProfile(mem) called with null pointer");
        return -1;
    }
    tagTable.clear();
    if (blockSize < headerSize || std::memcmp(block + 36, "acsp", 4) != 0) {
        logError("bad profile", "no 'acsp' signature in profile header");
        return -1;
    }
    header_.copyFrom(block);
    const std::uint32_t profileSize = header_.profileSize();
    if (profileSize > blockSize || tagTable.read(block, profileSize) != 0) {
        if (profileSize > blockSize)
            logError("bad tagtable", "profile size %u is larger than the %zu bytes given",
                     profileSize, blockSize);
        logError("bad profile", "could not create tag table from memory");
        return -1;
    }
    return 0;
}

unsigned csICCProfile::colorSpaceChannels() const {
    return csICCSpace(header_.colorSpace()).numChannels();
}

unsigned csICCProfile::pcsChannels() const { return csICCSpace(header_.pcs()).numChannels(); }

int csICCProfile::writeToMemory(std::vector<std::uint8_t>& block) {
    if (tagTable.assembleBody(block) != 0) {
        logError("could not create profile", "tagTable failed to assemble profile body");
        return -1;
    }
    header_.setProfileSize(static_cast<std::uint32_t>(block.size()));
    header_.copyTo(block.data());
    if (header_.majorVersion() > 3) {
        // ICC version 4: MD5 over the whole profile with flags, intent and ID taken as zero.
        std::vector<std::uint8_t> copy(block);
        std::memset(copy.data() + flagsOffset, 0, 4);
        std::memset(copy.data() + intentOffset, 0, 4);
        std::memset(copy.data() + idOffset, 0, 16);
        const csMD5::Digest id = csMD5::of(copy.data(), copy.size());
        std::memcpy(block.data() + idOffset, id.data(), id.size());
        header_.setProfileID(id.data());
    }
    return 0;
}

int csICCProfile::writeToFile(std::FILE* file) {
    std::vector<std::uint8_t> block;
    if (writeToMemory(block) != 0) {
        logError("failed to write profile", "writeToMemory failed");
        return -1;
    }
    if (file == nullptr || std::fwrite(block.data(), 1, block.size(), file) != block.size()) {
        logError("failed to write profile", "fwrite() failed");
        return -1;
    }
    return 0;
}

bool csICCProfile::sameTagData(Signature a, Signature b) const {
    const int first = indexOfTag(a);
    const int second = indexOfTag(b);
    if (first < 0 || second < 0)
        return false;
    return tagTable.sameData(static_cast<unsigned>(first), static_cast<unsigned>(second));
}

bool csICCProfile::isValid(int level) const {
    const std::uint8_t* bytes = header_.bytes();
    if (std::memcmp(bytes + 36, "acsp", 4) != 0 || header_.profileSize() < headerSize)
        return false;
    if (level < 1)
        return true;

    const Signature deviceClass = header_.deviceClass();
    const bool pcsOk = isOneOf(header_.pcs(), {"Lab ", "XYZ "});
    if (header_.majorVersion() < 2)
        return false;
    if (isOneOf(deviceClass, {"scnr", "mntr", "prtr"}) && !pcsOk)
        return false;
    if (deviceClass == Signature("abst") &&
        !(pcsOk && isOneOf(header_.colorSpace(), {"Lab ", "XYZ "})))
        return false;
    if (header_.renderingIntent() > 3)
        return false;
    if (level < 2)
        return true;

    if (bytes[10] != 0 || bytes[11] != 0)
        return false;
    if (level < 3)
        return true;

    if (bytes[44] != 0 || bytes[45] != 0 || !allZero(bytes, 56, 60))
        return false;
    switch (header_.majorVersion()) {
    case 2:
        return allZero(bytes, 84, headerSize);
    case 4:
        return allZero(bytes, 100, headerSize);
    default:
        return false;
    }
}

bool csICCProfile::hasRequiredTags() const { return missingRequiredTags().empty(); }

std::string csICCProfile::missingRequiredTags() const {
    // The codes of the list that are absent, comma separated.
    const auto missing = [this](std::initializer_list<const char*> codes) {
        std::string absent;
        for (const char* code : codes) {
            if (!hasTag(Signature::read(reinterpret_cast<const std::uint8_t*>(code))))
                absent += (absent.empty() ? "" : ", ") + std::string(code);
        }
        return absent;
    };
    const auto both = [](const std::string& first, const std::string& second) {
        return first.empty() || second.empty() ? first + second : first + ", " + second;
    };
    const Signature deviceClass = header_.deviceClass();
    const bool gray = header_.colorSpace() == Signature("GRAY");
    const std::string common = missing({"desc", "wtpt", "cprt"});

    if (deviceClass == Signature("scnr") || deviceClass == Signature("mntr")) {
        if (gray)
            return both(common, missing({"kTRC"}));
        const std::string lut =
            deviceClass == Signature("scnr") ? missing({"A2B0"}) : missing({"A2B0", "B2A0"});
        const bool matrixRGB = header_.colorSpace() == Signature("RGB ") &&
                               header_.pcs() == Signature("XYZ ") &&
                               missing({"rXYZ", "gXYZ", "bXYZ", "rTRC", "gTRC", "bTRC"}).empty();
        if (lut.empty() || matrixRGB)
            return common;
        return both(common, lut + " (or rXYZ, gXYZ, bXYZ, rTRC, gTRC, bTRC)");
    }
    if (deviceClass == Signature("prtr"))
        return both(common,
                    gray ? missing({"kTRC"})
                         : missing({"A2B0", "A2B1", "A2B2", "B2A0", "B2A1", "B2A2", "gamt"}));
    if (deviceClass == Signature("spac"))
        return missing({"desc", "A2B0", "B2A0", "wtpt", "cprt"});
    if (deviceClass == Signature("abst"))
        return missing({"desc", "A2B0", "cprt"});
    if (deviceClass == Signature("link"))
        return missing({"desc", "A2B0", "pseq", "cprt"});
    if (deviceClass == Signature("nmcl")) {
        if (!missing({"ncl2"}).empty() &&
            (header_.majorVersion() >= 4 || !missing({"nmcl"}).empty()))
            return both(common, header_.majorVersion() < 4 ? "ncl2 (or nmcl)" : "ncl2");
        return common;
    }
    return "the tags of class '" + deviceClass.text() + "', which has none defined";
}
