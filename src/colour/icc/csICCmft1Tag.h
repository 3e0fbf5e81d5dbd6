#pragma once

#include "csICCmftTag.h"

// An "mft1" lut: 256-entry 8-bit tables and an 8-bit CLUT. Reads give the value times 257; writes
// store the high byte of the 16-bit value.
class csICCmft1Tag : public csICCmftTag {
public:
    // From a block that validate() has accepted.
    csICCmft1Tag(Signature signature, std::uint32_t size, const std::uint8_t* data);
    csICCmft1Tag(const csICCmft1Tag& other);
    csICCmft1Tag& operator=(const csICCmft1Tag& other);

    static bool validate(const std::uint8_t* data, std::uint32_t size);

    void inputTableLookup(const std::uint32_t* indices, std::uint16_t* values) const override;
    void outputTableLookup(const std::uint32_t* indices, std::uint16_t* values) const override;
    void clutRead(const std::uint32_t* gridIndex, std::uint16_t* values) const override;
    void clutReadDouble(const std::uint32_t* gridIndex, double* values) const override;
    void inputTableWrite(const std::uint32_t* indices, const std::uint16_t* values) override;
    void outputTableWrite(const std::uint32_t* indices, const std::uint16_t* values) override;
    void clutWrite(const std::uint32_t* gridIndex, const std::uint16_t* values) override;
    void layout() override;
};
