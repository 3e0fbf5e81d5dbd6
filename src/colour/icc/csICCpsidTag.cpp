#include "csICCpsidTag.h"

#include "csICCNumbers.h"
#include "csICCmlucTag.h"
#include "csLog.h"

#include <cstring>
#include <vector>

csICCpsidTag::csICCpsidTag() {
    setSignature(Signature("psid"));
    std::uint8_t block[12] = {};
    Signature("psid").write(block);
    writeU32(block + 8, 2);
    setData(12, block);
}

csICCpsidTag::csICCpsidTag(Signature signature, std::uint32_t size, const std::uint8_t* data)
    : csICCTag(signature, size, data) {}

bool csICCpsidTag::validate(const std::uint8_t* data, std::uint32_t size) {
    if (size < 12) {
        logError("corrupt tag data", "psid tag of %u bytes is too short", size);
        return false;
    }
    const std::uint32_t count = readU32(data + 8);
    if (12 + 8 * std::uint64_t{count} > size) {
        logError("corrupt tag data", "psid tag with %u entries is larger than tag buffer", count);
        return false;
    }
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint64_t offset = readU32(data + 12 + 8 * i);
        const std::uint64_t length = readU32(data + 16 + 8 * i);
        if (offset + length > size) {
            logError("corrupt tag data", "psid entry %u at %llu, size %llu beyond tag of %u bytes",
                     i, static_cast<unsigned long long>(offset),
                     static_cast<unsigned long long>(length), size);
            return false;
        }
    }
    return true;
}

unsigned csICCpsidTag::count() const { return size() >= 12 ? readU32(data() + 8) : 0; }

bool csICCpsidTag::entry(unsigned i, std::uint32_t* offset, std::uint32_t* length) const {
    if (i >= count() || 20 + 8 * std::uint64_t{i} > size())
        return false;
    *offset = readU32(data() + 12 + 8 * i);
    *length = readU32(data() + 16 + 8 * i);
    return true;
}

void csICCpsidTag::setDescriptions(const char* first, const char* second) {
    const char* texts[2] = {first != nullptr ? first : "", second != nullptr ? second : ""};
    std::uint32_t lengths[2], padded[2];
    for (int k = 0; k < 2; ++k) {
        lengths[k] = static_cast<std::uint32_t>(std::strlen(texts[k]));
        padded[k] = (lengths[k] + 1) & ~1u; // rounded up to an even number of characters
    }
    const std::uint32_t entrySizes[2] = {44 + 2 * padded[0], 44 + 2 * padded[1]};
    const std::uint32_t offsets[2] = {28, 28 + entrySizes[0]};
    std::vector<std::uint8_t> bytes(offsets[1] + entrySizes[1], 0);
    Signature("psid").write(bytes.data());
    writeU32(bytes.data() + 8, 2);
    for (int k = 0; k < 2; ++k) {
        writeU32(bytes.data() + 12 + 8 * k, offsets[k]);
        writeU32(bytes.data() + 16 + 8 * k, entrySizes[k]);
        // A zero profile ID, then a one-record "mluc".
        std::uint8_t* mluc = bytes.data() + offsets[k] + 16;
        Signature("mluc").write(mluc);
        writeU32(mluc + 8, 1);
        writeU32(mluc + 12, 12);
        writeU16(mluc + 16, csICCmlucTag::code("en"));
        writeU16(mluc + 18, csICCmlucTag::code("US"));
        writeU32(mluc + 20, 2 * lengths[k]);
        writeU32(mluc + 24, 28);
        for (std::uint32_t c = 0; c < lengths[k]; ++c)
            writeU16(mluc + 28 + 2 * c, static_cast<std::uint8_t>(texts[k][c]));
    }
    setData(static_cast<std::uint32_t>(bytes.size()), bytes.data());
}
