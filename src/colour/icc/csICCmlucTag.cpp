#include "csICCmlucTag.h"

#include "csICCNumbers.h"
#include "csLog.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr std::uint32_t standardRecordSize = 12;
constexpr std::uint32_t reallocationSlack = 4096;

} // namespace

csICCmlucTag::csICCmlucTag(Signature signature) {
    setSignature(signature);
    std::uint8_t block[16] = {};
    Signature("mluc").write(block);
    writeU32(block + 12, standardRecordSize);
    setData(16, block);
    capacity_ = 16;
}

csICCmlucTag::csICCmlucTag(Signature signature, std::uint32_t size, const std::uint8_t* data)
    : csICCTag(signature, size, data), capacity_(size) {}

csICCmlucTag::csICCmlucTag(const csICCmlucTag& other) : csICCTag(other), capacity_(other.size()) {}

csICCmlucTag& csICCmlucTag::operator=(const csICCmlucTag& other) {
    csICCTag::operator=(other);
    capacity_ = other.size();
    return *this;
}

std::uint32_t csICCmlucTag::measure(const std::uint8_t* data, std::uint32_t limit) {
    if (limit < 16) {
        logError("corrupt tag data", "mluc tag of %u bytes is too short", limit);
        return 0;
    }
    if (Signature::read(data) != Signature("mluc")) {
        logError("wrong tag type", "tag type is not 'mluc' but'%c%c%c%c'", data[0], data[1],
                 data[2], data[3]);
        return 0;
    }
    const std::uint32_t r = readU32(data + 8);
    const std::uint32_t s = readU32(data + 12);
    const std::uint64_t table = 16 + std::uint64_t{r} * s;
    if (table > limit) {
        logError("corrupt tag data", "mluc tag with %d records (size %d) is larger than tag buffer",
                 static_cast<int>(r), static_cast<int>(s));
        return 0;
    }
    if (r > 0 && s < standardRecordSize) {
        logError("corrupt tag data", "mluc tag with record size %u, less than %u", s,
                 standardRecordSize);
        return 0;
    }
    std::uint64_t end = table;
    for (std::uint32_t i = 0; i < r; ++i) {
        const std::uint8_t* record = data + 16 + std::uint64_t{i} * s;
        const std::uint32_t length = readU32(record + 4);
        const std::uint32_t offset = readU32(record + 8);
        const std::uint64_t stringEnd = std::uint64_t{offset} + length;
        if (length > 0 && offset < table) {
            logError("corrupt tag data", "mluc string %u at %u lies inside the record table", i,
                     offset);
            return 0;
        }
        if (stringEnd > limit) {
            logError("corrupt tag data", "mluc string %u ends at %llu, beyond the tag's %u bytes",
                     i, static_cast<unsigned long long>(stringEnd), limit);
            return 0;
        }
        end = std::max(end, stringEnd);
    }
    return static_cast<std::uint32_t>(end);
}

unsigned csICCmlucTag::numberOfRecords() const { return readU32(data() + 8); }
std::uint32_t csICCmlucTag::recordSize() const { return readU32(data() + 12); }
std::uint16_t csICCmlucTag::language(unsigned i) const { return readU16(data() + recordAt(i)); }
std::uint16_t csICCmlucTag::country(unsigned i) const { return readU16(data() + recordAt(i) + 2); }
std::uint32_t csICCmlucTag::nameLength(unsigned i) const {
    return readU32(data() + recordAt(i) + 4);
}
std::uint32_t csICCmlucTag::nameOffset(unsigned i) const {
    return readU32(data() + recordAt(i) + 8);
}

int csICCmlucTag::indexOf(std::uint16_t languageCode, std::uint16_t countryCode) const {
    for (unsigned i = 0; i < numberOfRecords(); ++i) {
        if (language(i) == languageCode && country(i) == countryCode)
            return static_cast<int>(i);
    }
    return INDEX_NOTFOUND;
}

std::u16string csICCmlucTag::text(unsigned i) const {
    std::u16string result;
    if (i >= numberOfRecords())
        return result;
    const std::uint32_t offset = nameOffset(i);
    for (std::uint32_t k = 0; k + 1 < nameLength(i); k += 2)
        result.push_back(static_cast<char16_t>(readU16(data() + offset + k)));
    return result;
}

void csICCmlucTag::store(const std::uint8_t* bytes, std::uint32_t newSize) {
    if (capacity_ < newSize || capacity_ >= newSize + reallocationSlack) {
        auto block = std::make_unique<std::uint8_t[]>(newSize);
        std::memcpy(block.get(), bytes, newSize);
        adoptData(std::move(block), newSize);
        capacity_ = newSize;
    } else {
        std::memmove(data(), bytes, newSize);
        setSizeWithinBlock(newSize);
    }
}

int csICCmlucTag::addRecord(std::uint16_t languageCode, std::uint16_t countryCode,
                            const std::u16string& text) {
    if (indexOf(languageCode, countryCode) != INDEX_NOTFOUND) {
        logError("duplicate record", "mluc tag already has a record for '%c%c' '%c%c'",
                 languageCode >> 8, languageCode & 0xFF, countryCode >> 8, countryCode & 0xFF);
        return -1;
    }
    std::vector<std::uint8_t> bytes(2 * text.size());
    for (std::size_t k = 0; k < text.size(); ++k)
        writeU16(bytes.data() + 2 * k, static_cast<std::uint16_t>(text[k]));
    const auto length = static_cast<std::uint32_t>(bytes.size());

    const unsigned count = numberOfRecords();
    // Without records the record size read from a file means nothing; records are made at the
    // standard size then.
    if (count == 0)
        writeU32(data() + 12, standardRecordSize);
    const std::uint32_t s = recordSize();
    // A record that already holds the same string lends it its offset.
    std::int64_t shared = -1;
    for (unsigned i = 0; i < count && shared < 0; ++i) {
        if (nameLength(i) == length &&
            (length == 0 || std::memcmp(data() + nameOffset(i), bytes.data(), length) == 0))
            shared = nameOffset(i);
    }

    const std::uint32_t tableEnd = 16 + count * s;
    const std::uint32_t oldSize = size();
    const std::uint32_t newSize = oldSize + s + (shared < 0 ? length : 0);
    std::vector<std::uint8_t> grown(newSize, 0);
    std::memcpy(grown.data(), data(), tableEnd);
    // The strings move up by one record.
    std::memcpy(grown.data() + tableEnd + s, data() + tableEnd, oldSize - tableEnd);
    for (unsigned i = 0; i < count; ++i) {
        std::uint8_t* record = grown.data() + 16 + i * s;
        writeU32(record + 8, readU32(record + 8) + s);
    }
    const std::uint32_t offset = shared >= 0 ? static_cast<std::uint32_t>(shared) + s : oldSize + s;
    if (shared < 0)
        std::memcpy(grown.data() + oldSize + s, bytes.data(), length);
    std::uint8_t* record = grown.data() + tableEnd;
    writeU16(record, languageCode);
    writeU16(record + 2, countryCode);
    writeU32(record + 4, length);
    writeU32(record + 8, offset);
    writeU32(grown.data() + 8, count + 1);
    store(grown.data(), newSize);
    return 0;
}

int csICCmlucTag::removeRecord(unsigned i) {
    const unsigned count = numberOfRecords();
    if (i >= count) {
        logError("index out of bounds", "tried to remove mluc record %u of %u", i, count);
        return -1;
    }
    const std::uint32_t s = recordSize();
    const std::uint32_t offset = nameOffset(i);
    const std::uint32_t length = nameLength(i);

    bool shared = length == 0;
    for (unsigned k = 0; k < count && !shared; ++k) {
        if (k == i)
            continue;
        const std::uint32_t otherOffset = nameOffset(k), otherLength = nameLength(k);
        if (otherOffset == offset && otherLength == length) {
            shared = true;
        } else if (otherOffset < offset + length && offset < otherOffset + otherLength) {
            logWarning("mluc strings overlap", "mluc tag contains overlapping string %i",
                       static_cast<int>(k));
            shared = true;
        }
    }

    std::vector<std::uint8_t> bytes(data(), data() + size());
    if (!shared) {
        bytes.erase(bytes.begin() + offset, bytes.begin() + offset + length);
        for (unsigned k = 0; k < count; ++k) {
            std::uint8_t* record = bytes.data() + 16 + k * s;
            if (readU32(record + 8) > offset)
                writeU32(record + 8, readU32(record + 8) - length);
        }
    }
    const std::uint32_t recordStart = 16 + i * s;
    bytes.erase(bytes.begin() + recordStart, bytes.begin() + recordStart + s);
    for (unsigned k = 0; k + 1 < count; ++k) {
        // Empty strings may carry any offset; those keep at least 0.
        std::uint8_t* record = bytes.data() + 16 + k * s;
        const std::uint32_t old = readU32(record + 8);
        writeU32(record + 8, old >= s ? old - s : 0);
    }
    writeU32(bytes.data() + 8, count - 1);
    store(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
    return 0;
}
