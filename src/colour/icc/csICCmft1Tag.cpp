#include "csICCmft1Tag.h"

namespace {

constexpr std::uint32_t tablesStart = 48;
constexpr std::uint32_t tableEntries = 256;

void store(std::uint8_t* at, std::uint16_t value) {
    const auto high = static_cast<std::uint8_t>(value >> 8);
    if (*at != high)
        *at = high;
}

} // namespace

csICCmft1Tag::csICCmft1Tag(Signature signature, std::uint32_t size, const std::uint8_t* data)
    : csICCmftTag(signature, size, data) {
    layout();
}

csICCmft1Tag::csICCmft1Tag(const csICCmft1Tag& other) : csICCmftTag(other) { layout(); }

csICCmft1Tag& csICCmft1Tag::operator=(const csICCmft1Tag& other) {
    csICCmftTag::operator=(other);
    layout();
    return *this;
}

bool csICCmft1Tag::validate(const std::uint8_t* data, std::uint32_t size) {
    return size >= tablesStart &&
           fits(data, size, "mft1", 1, tableEntries, tableEntries, tablesStart);
}

void csICCmft1Tag::layout() { layoutCommon(1, tableEntries, tableEntries, tablesStart); }

void csICCmft1Tag::inputTableLookup(const std::uint32_t* indices, std::uint16_t* values) const {
    for (std::uint32_t c = 0; c < inputs_; ++c)
        values[c] = static_cast<std::uint16_t>(inputTable(c)[indices[c]] * 257);
}

void csICCmft1Tag::outputTableLookup(const std::uint32_t* indices, std::uint16_t* values) const {
    for (std::uint32_t c = 0; c < outputs_; ++c)
        values[c] = static_cast<std::uint16_t>(outputTable(c)[indices[c]] * 257);
}

void csICCmft1Tag::clutRead(const std::uint32_t* gridIndex, std::uint16_t* values) const {
    const std::uint8_t* point = data() + clutOffset(gridIndex);
    for (std::uint32_t c = 0; c < outputs_; ++c)
        values[c] = static_cast<std::uint16_t>(point[c] * 257);
}

void csICCmft1Tag::clutReadDouble(const std::uint32_t* gridIndex, double* values) const {
    const std::uint8_t* point = data() + clutOffset(gridIndex);
    for (std::uint32_t c = 0; c < outputs_; ++c)
        values[c] = point[c] * 257.0;
}

void csICCmft1Tag::inputTableWrite(const std::uint32_t* indices, const std::uint16_t* values) {
    for (std::uint32_t c = 0; c < inputs_; ++c)
        store(data() + inputTables_[c] + indices[c], values[c]);
}

void csICCmft1Tag::outputTableWrite(const std::uint32_t* indices, const std::uint16_t* values) {
    for (std::uint32_t c = 0; c < outputs_; ++c)
        store(data() + outputTables_[c] + indices[c], values[c]);
}

void csICCmft1Tag::clutWrite(const std::uint32_t* gridIndex, const std::uint16_t* values) {
    std::uint8_t* point = data() + clutOffset(gridIndex);
    for (std::uint32_t c = 0; c < outputs_; ++c)
        store(point + c, values[c]);
}
