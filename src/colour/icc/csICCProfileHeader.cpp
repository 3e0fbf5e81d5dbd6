#include "csICCProfileHeader.h"

#include "csAssert.h"

#include <cstring>
#include <ctime>

namespace {

// Field offsets of the ICC header.
enum Offset : std::uint32_t {
    sizeOffset = 0,
    cmmOffset = 4,
    versionOffset = 8,
    classOffset = 12,
    colorSpaceOffset = 16,
    pcsOffset = 20,
    dateOffset = 24,
    fileSignatureOffset = 36,
    platformOffset = 40,
    flagsOffset = 44,
    manufacturerOffset = 48,
    modelOffset = 52,
    attributesOffset = 56,
    intentOffset = 64,
    illuminantOffset = 68,
    creatorOffset = 80,
    idOffset = 84,
};

} // namespace

csICCProfileHeader::csICCProfileHeader() { reset(); }

void csICCProfileHeader::reset() {
    std::memset(bytes_, 0, size);
    setCmmType(Signature("APPL"));
    setVersion(2, 1, 0);
    setDateTime();
    setFileSignature(Signature("acsp"));
    setPlatform(Signature("MSFT"));
    setIlluminantRaw(63190, 65536, 54061);
    setCreator(Signature("Velt"));
}

void csICCProfileHeader::copyFrom(const std::uint8_t* data) {
    CS_ASSERT(data != 0);
    std::memcpy(bytes_, data, size);
}

void csICCProfileHeader::copyTo(std::uint8_t* data) const {
    CS_ASSERT(data != 0);
    std::memcpy(data, bytes_, size);
}

Signature csICCProfileHeader::signatureAt(std::uint32_t offset) const {
    return Signature::read(bytes_ + offset);
}

void csICCProfileHeader::setSignatureAt(std::uint32_t offset, Signature signature) {
    signature.write(bytes_ + offset);
}

std::uint32_t csICCProfileHeader::profileSize() const { return readU32(bytes_ + sizeOffset); }
void csICCProfileHeader::setProfileSize(std::uint32_t value) {
    writeU32(bytes_ + sizeOffset, value);
}
Signature csICCProfileHeader::cmmType() const { return signatureAt(cmmOffset); }
void csICCProfileHeader::setCmmType(Signature s) { setSignatureAt(cmmOffset, s); }

unsigned csICCProfileHeader::majorVersion() const {
    const std::uint8_t bcd = bytes_[versionOffset];
    return (bcd >> 4) * 10u + (bcd & 0x0F);
}

unsigned csICCProfileHeader::minorVersion() const { return bytes_[versionOffset + 1] >> 4; }
unsigned csICCProfileHeader::bugFixVersion() const { return bytes_[versionOffset + 1] & 0x0F; }

void csICCProfileHeader::setVersion(unsigned major, unsigned minor, unsigned bugFix) {
    bytes_[versionOffset] =
        major > 99 ? std::uint8_t{0x99} : static_cast<std::uint8_t>((major / 10) << 4 | major % 10);
    const unsigned minorNibble = minor > 9 ? 9 : minor;
    const unsigned bugFixNibble = bugFix > 9 ? 9 : bugFix;
    bytes_[versionOffset + 1] = static_cast<std::uint8_t>(minorNibble << 4 | bugFixNibble);
    bytes_[versionOffset + 2] = 0;
    bytes_[versionOffset + 3] = 0;
}

Signature csICCProfileHeader::deviceClass() const { return signatureAt(classOffset); }
void csICCProfileHeader::setDeviceClass(Signature s) { setSignatureAt(classOffset, s); }
Signature csICCProfileHeader::colorSpace() const { return signatureAt(colorSpaceOffset); }
void csICCProfileHeader::setColorSpace(Signature s) { setSignatureAt(colorSpaceOffset, s); }
Signature csICCProfileHeader::pcs() const { return signatureAt(pcsOffset); }
void csICCProfileHeader::setPcs(Signature s) { setSignatureAt(pcsOffset, s); }

csDateTimeNumber csICCProfileHeader::dateTime() const {
    return readDateTimeNumber(bytes_ + dateOffset);
}

void csICCProfileHeader::setDateTime(const csDateTimeNumber& dateTime) {
    writeDateTimeNumber(bytes_ + dateOffset, dateTime);
}

void csICCProfileHeader::setDateTime() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    setDateTime(
        {static_cast<std::uint16_t>(local.tm_year + 1900),
         static_cast<std::uint16_t>(local.tm_mon + 1), static_cast<std::uint16_t>(local.tm_mday),
         static_cast<std::uint16_t>(local.tm_hour), static_cast<std::uint16_t>(local.tm_min),
         static_cast<std::uint16_t>(local.tm_sec)});
}

Signature csICCProfileHeader::fileSignature() const { return signatureAt(fileSignatureOffset); }
void csICCProfileHeader::setFileSignature(Signature s) { setSignatureAt(fileSignatureOffset, s); }
Signature csICCProfileHeader::platform() const { return signatureAt(platformOffset); }
void csICCProfileHeader::setPlatform(Signature s) { setSignatureAt(platformOffset, s); }
std::uint32_t csICCProfileHeader::flags() const { return readU32(bytes_ + flagsOffset); }
void csICCProfileHeader::setFlags(std::uint32_t value) { writeU32(bytes_ + flagsOffset, value); }
Signature csICCProfileHeader::manufacturer() const { return signatureAt(manufacturerOffset); }
void csICCProfileHeader::setManufacturer(Signature s) { setSignatureAt(manufacturerOffset, s); }
Signature csICCProfileHeader::model() const { return signatureAt(modelOffset); }
void csICCProfileHeader::setModel(Signature s) { setSignatureAt(modelOffset, s); }
std::uint64_t csICCProfileHeader::attributes() const { return readU64(bytes_ + attributesOffset); }
void csICCProfileHeader::setAttributes(std::uint64_t value) {
    writeU64(bytes_ + attributesOffset, value);
}
std::uint32_t csICCProfileHeader::renderingIntent() const { return readU32(bytes_ + intentOffset); }
void csICCProfileHeader::setRenderingIntent(std::uint32_t value) {
    writeU32(bytes_ + intentOffset, value);
}

csXYZNumber csICCProfileHeader::illuminant() const {
    return readXYZNumber(bytes_ + illuminantOffset);
}

void csICCProfileHeader::setIlluminant(const csXYZNumber& xyz) {
    writeXYZNumber(bytes_ + illuminantOffset, xyz);
}

void csICCProfileHeader::illuminantRaw(std::int32_t* X, std::int32_t* Y, std::int32_t* Z) const {
    *X = readS15Fixed16Raw(bytes_ + illuminantOffset);
    *Y = readS15Fixed16Raw(bytes_ + illuminantOffset + 4);
    *Z = readS15Fixed16Raw(bytes_ + illuminantOffset + 8);
}

void csICCProfileHeader::setIlluminantRaw(std::int32_t X, std::int32_t Y, std::int32_t Z) {
    writeS15Fixed16Raw(bytes_ + illuminantOffset, X);
    writeS15Fixed16Raw(bytes_ + illuminantOffset + 4, Y);
    writeS15Fixed16Raw(bytes_ + illuminantOffset + 8, Z);
}

Signature csICCProfileHeader::creator() const { return signatureAt(creatorOffset); }
void csICCProfileHeader::setCreator(Signature s) { setSignatureAt(creatorOffset, s); }

void csICCProfileHeader::profileID(std::uint8_t id[16]) const {
    std::memcpy(id, bytes_ + idOffset, 16);
}

void csICCProfileHeader::setProfileID(const std::uint8_t id[16]) {
    std::memcpy(bytes_ + idOffset, id, 16);
}

const char* csICCProfileHeader::colorSpaceText() const {
    static char text[5];
    std::memcpy(text, bytes_ + colorSpaceOffset, 4);
    text[4] = '\0';
    return text;
}

const char* csICCProfileHeader::pcsText() const {
    static char text[5];
    std::memcpy(text, bytes_ + pcsOffset, 4);
    text[4] = '\0';
    return text;
}
