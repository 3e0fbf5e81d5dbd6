#include "csICCncl2Tag.h"

#include "csICCNumbers.h"
#include "csLog.h"

#include <cstring>
#include <vector>

namespace {

constexpr unsigned maxDeviceCoordinates = 15;

bool isAscii(const std::string& text) {
    for (unsigned char c : text)
        if (c >= 0x80)
            return false;
    return true;
}

} // namespace

csICCncl2Tag::csICCncl2Tag(Signature signature, unsigned deviceCoordinates) {
    setSignature(signature);
    std::uint8_t block[headerSize] = {};
    Signature("ncl2").write(block);
    writeU32(block + 16,
             deviceCoordinates <= maxDeviceCoordinates ? deviceCoordinates : maxDeviceCoordinates);
    setData(headerSize, block);
}

csICCncl2Tag::csICCncl2Tag(Signature signature, std::uint32_t size, const std::uint8_t* data)
    : csICCTag(signature, size, data) {}

bool csICCncl2Tag::validate(const std::uint8_t* data, std::uint32_t size) {
    if (size < headerSize) {
        logError("corrupt tag data", "ncl2 tag of %u bytes is too short", size);
        return false;
    }
    const std::uint32_t count = readU32(data + 12);
    const std::uint32_t coordinates = readU32(data + 16);
    if (coordinates > maxDeviceCoordinates) {
        logError("corrupt tag data", "ncl2 tag with %u device coordinates", coordinates);
        return false;
    }
    const std::uint64_t needed =
        headerSize + std::uint64_t{count} * (nameSize + 6 + 2 * coordinates);
    if (needed > size) {
        logError("corrupt tag data", "ncl2 tag with %u colours is larger than tag buffer", count);
        return false;
    }
    return true;
}

std::uint32_t csICCncl2Tag::vendorFlag() const {
    return size() >= headerSize ? readU32(data() + 8) : 0;
}

unsigned csICCncl2Tag::count() const { return size() >= headerSize ? readU32(data() + 12) : 0; }

unsigned csICCncl2Tag::deviceCoordinates() const {
    return size() >= headerSize ? readU32(data() + 16) : 0;
}

std::string csICCncl2Tag::fixedName(std::uint32_t offset) const {
    const char* text = reinterpret_cast<const char*>(data() + offset);
    return std::string(text, strnlen(text, nameSize));
}

std::string csICCncl2Tag::prefix() const { return size() >= headerSize ? fixedName(20) : ""; }

std::string csICCncl2Tag::suffix() const { return size() >= headerSize ? fixedName(52) : ""; }

bool csICCncl2Tag::checkIndex(unsigned i, const char* what) const {
    if (i < count() && recordAt(i) + std::uint64_t{recordSize()} <= size())
        return true;
    logError("index out of bounds", "%s %u of ncl2 tag with %u colours", what, i, count());
    return false;
}

std::string csICCncl2Tag::rootName(unsigned i) const {
    return checkIndex(i, "name of colour") ? fixedName(recordAt(i)) : std::string();
}

std::string csICCncl2Tag::fullName(unsigned i) const {
    return checkIndex(i, "name of colour") ? prefix() + fixedName(recordAt(i)) + suffix()
                                           : std::string();
}

int csICCncl2Tag::pcs(unsigned i, std::uint16_t values[3]) const {
    if (!checkIndex(i, "PCS values of colour"))
        return -1;
    const std::uint8_t* at = data() + recordAt(i) + nameSize;
    for (int k = 0; k < 3; ++k)
        values[k] = readU16(at + 2 * k);
    return 0;
}

int csICCncl2Tag::device(unsigned i, std::uint16_t* values) const {
    if (!checkIndex(i, "device values of colour"))
        return -1;
    const std::uint8_t* at = data() + recordAt(i) + nameSize + 6;
    for (unsigned k = 0; k < deviceCoordinates(); ++k)
        values[k] = readU16(at + 2 * k);
    return 0;
}

void csICCncl2Tag::setVendorFlag(std::uint32_t flag) {
    if (size() >= headerSize)
        writeU32(data() + 8, flag);
}

int csICCncl2Tag::setFixedName(std::uint32_t offset, const std::string& name, const char* what) {
    if (!isAscii(name)) {
        logError("bad name", "%s '%s' is not 7-bit ASCII", what, name.c_str());
        return -1;
    }
    std::uint8_t* at = data() + offset;
    std::memset(at, 0, nameSize);
    std::memcpy(at, name.data(), name.size() < nameSize ? name.size() : nameSize - 1);
    return 0;
}

int csICCncl2Tag::setPrefix(const std::string& prefix) {
    return size() >= headerSize ? setFixedName(20, prefix, "prefix") : -1;
}

int csICCncl2Tag::setSuffix(const std::string& suffix) {
    return size() >= headerSize ? setFixedName(52, suffix, "suffix") : -1;
}

int csICCncl2Tag::addColour(const std::string& root, const std::uint16_t pcs[3],
                            const std::uint16_t* device) {
    if (size() < headerSize)
        return -1;
    if (!isAscii(root)) {
        logError("bad name", "colour name '%s' is not 7-bit ASCII", root.c_str());
        return -1;
    }
    const unsigned index = count();
    const std::uint32_t at = recordAt(index);
    std::vector<std::uint8_t> bytes(data(), data() + size());
    bytes.resize(at + recordSize(), 0);
    std::uint8_t* record = bytes.data() + at;
    std::memcpy(record, root.data(), root.size() < nameSize ? root.size() : nameSize - 1);
    for (int k = 0; k < 3; ++k)
        writeU16(record + nameSize + 2 * k, pcs[k]);
    for (unsigned k = 0; k < deviceCoordinates(); ++k)
        writeU16(record + nameSize + 6 + 2 * k, device[k]);
    writeU32(bytes.data() + 12, index + 1);
    setData(static_cast<std::uint32_t>(bytes.size()), bytes.data());
    return static_cast<int>(index);
}
