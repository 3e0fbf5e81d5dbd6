#pragma once

#include "csICCTag.h"

#include <array>

// The common part of the lut tags "mft1" (8-bit tables) and "mft2" (16-bit tables): a 3x3 matrix,
// one input table per input channel, a colour lookup table (CLUT) over a grid of g points per
// input dimension (the last dimension varying fastest) and one output table per output channel.
// Values read and written through this interface are on the 16-bit scale.
class csICCmftTag : public csICCTag {
public:
    static constexpr unsigned maxChannels = 16;

    ~csICCmftTag() override;

    // Value of input table c at index[c] for every input channel c.
    virtual void inputTableLookup(const std::uint32_t* indices, std::uint16_t* values) const = 0;
    virtual void outputTableLookup(const std::uint32_t* indices, std::uint16_t* values) const = 0;
    // The o values of the CLUT at a grid point (one grid index per input dimension).
    virtual void clutRead(const std::uint32_t* gridIndex, std::uint16_t* values) const = 0;
    virtual void clutReadDouble(const std::uint32_t* gridIndex, double* values) const = 0;
    // Writes change only bytes whose value differs.
    virtual void inputTableWrite(const std::uint32_t* indices, const std::uint16_t* values) = 0;
    virtual void outputTableWrite(const std::uint32_t* indices, const std::uint16_t* values) = 0;
    virtual void clutWrite(const std::uint32_t* gridIndex, const std::uint16_t* values) = 0;
    // Reads the channel counts, grid and table sizes from the data and computes the positions.
    virtual void layout() = 0;

    std::uint32_t entrySize() const { return entrySize_; }
    std::uint32_t inputChannels() const { return inputs_; }
    std::uint32_t outputChannels() const { return outputs_; }
    std::uint32_t gridPoints(unsigned dimension) const { return grid_[dimension]; }
    std::uint32_t inputEntries() const { return inputEntries_; }
    std::uint32_t outputEntries() const { return outputEntries_; }
    std::uint32_t clutPoints() const { return clutPoints_; }
    std::uint32_t stride(unsigned dimension) const { return strides_[dimension]; }
    const std::uint8_t* inputTable(unsigned channel) const {
        return data() + inputTables_[channel];
    }
    const std::uint8_t* outputTable(unsigned channel) const {
        return data() + outputTables_[channel];
    }
    const std::uint8_t* clut() const { return data() + clut_; }
    // Matrix entry (row, column) in s15Fixed16 units.
    std::int32_t matrixRaw(unsigned row, unsigned column) const;

    // Offset in the data of the grid point with the given indices.
    std::uint32_t clutOffset(const std::uint32_t* gridIndex) const;

protected:
    csICCmftTag(Signature signature, std::uint32_t size, const std::uint8_t* data);
    csICCmftTag(const csICCmftTag& other);
    csICCmftTag& operator=(const csICCmftTag& other);

    // The layout both lut types share, from where the input tables begin.
    void layoutCommon(std::uint32_t entrySize, std::uint32_t inputEntries,
                      std::uint32_t outputEntries, std::uint32_t tablesStart);
    // Grid points from the byte at offset 10: below 2 it means an extended grid of 256 + g.
    static std::uint32_t gridFromByte(std::uint8_t value);
    // Whether a lut of these dimensions fits in size bytes; an error entry says why not.
    static bool fits(const std::uint8_t* data, std::uint32_t size, const char* type,
                     std::uint32_t entrySize, std::uint32_t inputEntries,
                     std::uint32_t outputEntries, std::uint32_t tablesStart);

    std::uint32_t entrySize_ = 0;
    std::uint32_t inputs_ = 0;
    std::uint32_t outputs_ = 0;
    std::array<std::uint32_t, maxChannels> grid_{};
    std::uint32_t inputEntries_ = 0;
    std::uint32_t outputEntries_ = 0;
    std::uint32_t clutPoints_ = 0;
    std::array<std::uint32_t, maxChannels> inputTables_{};  // offsets in the data
    std::array<std::uint32_t, maxChannels> outputTables_{}; // offsets in the data
    std::uint32_t clut_ = 0;
    std::array<std::uint32_t, maxChannels> strides_{};
    bool warnedExtended_ = false;
};
