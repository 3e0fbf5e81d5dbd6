#include "csICCmftTag.h"

#include "csICCNumbers.h"
#include "csLog.h"

csICCmftTag::csICCmftTag(Signature signature, std::uint32_t size, const std::uint8_t* data)
    : csICCTag(signature, size, data) {}

csICCmftTag::csICCmftTag(const csICCmftTag& other) = default;
csICCmftTag& csICCmftTag::operator=(const csICCmftTag& other) = default;
csICCmftTag::~csICCmftTag() = default;

std::uint32_t csICCmftTag::gridFromByte(std::uint8_t value) {
    return value < 2 ? value + 256u : value;
}

bool csICCmftTag::fits(const std::uint8_t* data, std::uint32_t size, const char* type,
                       std::uint32_t entrySize, std::uint32_t inputEntries,
                       std::uint32_t outputEntries, std::uint32_t tablesStart) {
    const std::uint32_t inputs = data[8], outputs = data[9];
    if (inputs == 0 || inputs > maxChannels || outputs == 0 || outputs > maxChannels) {
        logError("corrupt tag data", "%s tag with %u input and %u output channels", type, inputs,
                 outputs);
        return false;
    }
    if (inputEntries < 2 || outputEntries < 2) {
        logError("corrupt tag data", "%s tag with tables of %u and %u entries", type, inputEntries,
                 outputEntries);
        return false;
    }
    const std::uint64_t grid = gridFromByte(data[10]);
    std::uint64_t points = 1;
    for (std::uint32_t k = 0; k < inputs && points <= size; ++k)
        points *= grid;
    const std::uint64_t needed =
        tablesStart + entrySize * (std::uint64_t{inputEntries} * inputs + points * outputs +
                                   std::uint64_t{outputEntries} * outputs);
    if (points > size || needed > size) {
        logError("corrupt tag data",
                 "%s tag with %u inputs, %u outputs and %u grid points does not fit in %u bytes",
                 type, inputs, outputs, static_cast<unsigned>(grid), size);
        return false;
    }
    return true;
}

void csICCmftTag::layoutCommon(std::uint32_t entrySize, std::uint32_t inputEntries,
                               std::uint32_t outputEntries, std::uint32_t tablesStart) {
    entrySize_ = entrySize;
    inputs_ = data()[8];
    outputs_ = data()[9];
    const std::uint32_t grid = gridFromByte(data()[10]);
    if (data()[10] < 2 && !warnedExtended_) {
        logWarning("extended CLUT", "number of CLUT points set to %d", static_cast<int>(grid));
        warnedExtended_ = true;
    }
    inputEntries_ = inputEntries;
    outputEntries_ = outputEntries;
    grid_.fill(0);
    inputTables_.fill(0);
    outputTables_.fill(0);
    strides_.fill(0);

    std::uint32_t offset = tablesStart;
    for (std::uint32_t c = 0; c < inputs_; ++c, offset += entrySize * inputEntries)
        inputTables_[c] = offset;
    clut_ = offset;
    clutPoints_ = 1;
    for (std::uint32_t k = 0; k < inputs_; ++k) {
        grid_[k] = grid;
        clutPoints_ *= grid;
    }
    offset += entrySize * clutPoints_ * outputs_;
    for (std::uint32_t c = 0; c < outputs_; ++c, offset += entrySize * outputEntries)
        outputTables_[c] = offset;
    std::uint32_t stride = entrySize * outputs_;
    for (std::uint32_t k = inputs_; k-- > 0;) {
        strides_[k] = stride;
        stride *= grid;
    }
}

std::int32_t csICCmftTag::matrixRaw(unsigned row, unsigned column) const {
    return readS15Fixed16Raw(data() + 12 + 12 * row + 4 * column);
}

std::uint32_t csICCmftTag::clutOffset(const std::uint32_t* gridIndex) const {
    std::uint32_t offset = clut_;
    for (std::uint32_t k = 0; k < inputs_; ++k)
        offset += gridIndex[k] * strides_[k];
    return offset;
}
