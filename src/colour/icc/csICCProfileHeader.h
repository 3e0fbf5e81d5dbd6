#pragma once

#include "Signature.h"
#include "csICCNumbers.h"

#include <cstdint>

// The 128-byte ICC profile header, held exactly as in the file (big-endian numbers), with a
// getter and a setter per field.
class csICCProfileHeader {
public:
    static constexpr std::uint32_t size = 128;

    // A new header: all zero except CMM "APPL", version 2.1.0, the current date and time, "acsp",
    // platform "MSFT", the D50 illuminant and creator "Velt".
    csICCProfileHeader();
    void reset();

    // The 128 bytes to and from a memory block.
    void copyFrom(const std::uint8_t* data);
    void copyTo(std::uint8_t* data) const;
    const std::uint8_t* bytes() const { return bytes_; }

    std::uint32_t profileSize() const;
    void setProfileSize(std::uint32_t size);
    Signature cmmType() const;
    void setCmmType(Signature signature);

    // Major version in BCD, read as tens x 10 + units; minor and bug-fix versions as nibbles.
    unsigned majorVersion() const;
    unsigned minorVersion() const;
    unsigned bugFixVersion() const;
    // Majors above 99 store 0x99, minors and bug-fix numbers above 9 store 9; the two reserved
    // version bytes become zero.
    void setVersion(unsigned major, unsigned minor, unsigned bugFix);

    Signature deviceClass() const;
    void setDeviceClass(Signature signature);
    Signature colorSpace() const;
    void setColorSpace(Signature signature);
    Signature pcs() const;
    void setPcs(Signature signature);
    csDateTimeNumber dateTime() const;
    void setDateTime(const csDateTimeNumber& dateTime);
    // The current local time.
    void setDateTime();
    Signature fileSignature() const;
    void setFileSignature(Signature signature);
    Signature platform() const;
    void setPlatform(Signature signature);
    std::uint32_t flags() const;
    void setFlags(std::uint32_t flags);
    Signature manufacturer() const;
    void setManufacturer(Signature signature);
    Signature model() const;
    void setModel(Signature signature);
    std::uint64_t attributes() const;
    void setAttributes(std::uint64_t attributes);
    std::uint32_t renderingIntent() const;
    void setRenderingIntent(std::uint32_t intent);
    // The illuminant as floats, or in s15Fixed16 units.
    csXYZNumber illuminant() const;
    void setIlluminant(const csXYZNumber& xyz);
    void illuminantRaw(std::int32_t* X, std::int32_t* Y, std::int32_t* Z) const;
    void setIlluminantRaw(std::int32_t X, std::int32_t Y, std::int32_t Z);
    Signature creator() const;
    void setCreator(Signature signature);
    void profileID(std::uint8_t id[16]) const;
    void setProfileID(const std::uint8_t id[16]);

    // The data colour space and the PCS as NUL-terminated text. Each uses one static buffer of
    // its own, overwritten by the next call.
    const char* colorSpaceText() const;
    const char* pcsText() const;

private:
    Signature signatureAt(std::uint32_t offset) const;
    void setSignatureAt(std::uint32_t offset, Signature signature);

    std::uint8_t bytes_[size];
};
