#pragma once

#include "csICCTag.h"

#include <cstdint>
#include <string>

// An "ncl2" tag (named colour): a vendor flag, a colour count, the number of device coordinates,
// a 32-byte prefix and a 32-byte suffix, then per colour a 32-byte root name, three 16-bit PCS
// coordinates and the 16-bit device coordinates. Names are NUL-terminated 7-bit ASCII within their
// 32 bytes; a colour's full name is prefix, root and suffix. PCS coordinates are in the profile's
// PCS encoding: legacy Lab16 before version 4, Lab16 from version 4, or XYZ16.
class csICCncl2Tag : public csICCTag {
public:
    static constexpr std::uint32_t headerSize = 84;
    static constexpr std::uint32_t nameSize = 32;

    // No colours, the given number of device coordinates (at most 15), empty prefix and suffix.
    csICCncl2Tag(Signature signature, unsigned deviceCoordinates);
    // From a block that validate() has accepted.
    csICCncl2Tag(Signature signature, std::uint32_t size, const std::uint8_t* data);
    csICCncl2Tag(const csICCncl2Tag& other) = default;
    csICCncl2Tag& operator=(const csICCncl2Tag& other) = default;

    // Whether the header and every colour record lie inside size bytes and the device coordinates
    // are at most 15; an error entry says why not.
    static bool validate(const std::uint8_t* data, std::uint32_t size);

    std::uint32_t vendorFlag() const;
    unsigned count() const;
    unsigned deviceCoordinates() const;
    // Bytes per colour record: the root name, 3 PCS and the device coordinates.
    std::uint32_t recordSize() const { return nameSize + 6 + 2 * deviceCoordinates(); }

    std::string prefix() const;
    std::string suffix() const;
    // Root name of colour i, and prefix + root + suffix; empty for a bad index.
    std::string rootName(unsigned i) const;
    std::string fullName(unsigned i) const;
    // Return 0, or -1 with an "index out of bounds" error entry, leaving the output untouched.
    int pcs(unsigned i, std::uint16_t values[3]) const;
    // values receives deviceCoordinates() numbers.
    int device(unsigned i, std::uint16_t* values) const;

    void setVendorFlag(std::uint32_t flag);
    // Names longer than 31 characters are cut to 31; return 0, or -1 with an error entry for
    // characters outside 7-bit ASCII.
    int setPrefix(const std::string& prefix);
    int setSuffix(const std::string& suffix);
    // Appends a colour; device holds deviceCoordinates() numbers (may be null when that is 0).
    // Returns its index, or -1 with an error entry for a name that is not 7-bit ASCII.
    int addColour(const std::string& root, const std::uint16_t pcs[3], const std::uint16_t* device);

private:
    std::uint32_t recordAt(unsigned i) const { return headerSize + i * recordSize(); }
    bool checkIndex(unsigned i, const char* what) const;
    std::string fixedName(std::uint32_t offset) const;
    int setFixedName(std::uint32_t offset, const std::string& name, const char* what);
};
