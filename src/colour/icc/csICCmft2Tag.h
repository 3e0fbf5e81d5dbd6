#pragma once

#include "csICCmftTag.h"

// An "mft2" lut: 16-bit tables of n input and m output entries and a 16-bit CLUT. The tables and
// the CLUT are turned into the machine's byte order in place when an interpolator first uses
// them, and back to big-endian before the profile is written.
class csICCmft2Tag : public csICCmftTag {
public:
    // From a block that validate() has accepted.
    csICCmft2Tag(Signature signature, std::uint32_t size, const std::uint8_t* data);
    // A copy keeps the source's byte order along with its data.
    csICCmft2Tag(const csICCmft2Tag& other);
    csICCmft2Tag& operator=(const csICCmft2Tag& other);

    static bool validate(const std::uint8_t* data, std::uint32_t size);

    void beforeWrite() override;

    void inputTableLookup(const std::uint32_t* indices, std::uint16_t* values) const override;
    void outputTableLookup(const std::uint32_t* indices, std::uint16_t* values) const override;
    void clutRead(const std::uint32_t* gridIndex, std::uint16_t* values) const override;
    void clutReadDouble(const std::uint32_t* gridIndex, double* values) const override;
    void inputTableWrite(const std::uint32_t* indices, const std::uint16_t* values) override;
    void outputTableWrite(const std::uint32_t* indices, const std::uint16_t* values) override;
    void clutWrite(const std::uint32_t* gridIndex, const std::uint16_t* values) override;
    void layout() override;

    bool isNativeOrder() const { return native_; }
    // Turns tables and CLUT into the machine's byte order (nothing when they already are).
    void makeNativeOrder();

    // The 16-bit value at a byte offset of the tables or the CLUT, in whichever order they are.
    std::uint16_t valueAt(std::uint32_t offset) const;

private:
    void swapTables();
    void storeAt(std::uint32_t offset, std::uint16_t value);

    bool native_ = false;
};
