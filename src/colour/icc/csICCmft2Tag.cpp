#include "csICCmft2Tag.h"

#include "csICCNumbers.h"

#include <bit>
#include <cstring>

namespace {

constexpr std::uint32_t tablesStart = 52;

std::uint16_t nativeLoad(const std::uint8_t* at) {
    std::uint16_t value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

void nativeStore(std::uint8_t* at, std::uint16_t value) { std::memcpy(at, &value, sizeof value); }

} // namespace

csICCmft2Tag::csICCmft2Tag(Signature signature, std::uint32_t size, const std::uint8_t* data)
    : csICCmftTag(signature, size, data) {
    layout();
}

csICCmft2Tag::csICCmft2Tag(const csICCmft2Tag& other) : csICCmftTag(other), native_(other.native_) {
    layout();
}

csICCmft2Tag& csICCmft2Tag::operator=(const csICCmft2Tag& other) {
    csICCmftTag::operator=(other);
    native_ = other.native_;
    layout();
    return *this;
}

bool csICCmft2Tag::validate(const std::uint8_t* data, std::uint32_t size) {
    return size >= tablesStart &&
           fits(data, size, "mft2", 2, readU16(data + 48), readU16(data + 50), tablesStart);
}

void csICCmft2Tag::layout() {
    layoutCommon(2, readU16(data() + 48), readU16(data() + 50), tablesStart);
}

void csICCmft2Tag::swapTables() {
    if constexpr (std::endian::native == std::endian::big)
        return;
    const std::uint32_t end = outputTables_[outputs_ - 1] + 2 * outputEntries_;
    std::uint8_t* bytes = data();
    for (std::uint32_t offset = tablesStart; offset + 1 < end; offset += 2)
        std::swap(bytes[offset], bytes[offset + 1]);
}

void csICCmft2Tag::makeNativeOrder() {
    if (!native_) {
        swapTables();
        native_ = true;
    }
}

void csICCmft2Tag::beforeWrite() {
    if (native_) {
        swapTables();
        native_ = false;
    }
}

std::uint16_t csICCmft2Tag::valueAt(std::uint32_t offset) const {
    return native_ ? nativeLoad(data() + offset) : readU16(data() + offset);
}

void csICCmft2Tag::storeAt(std::uint32_t offset, std::uint16_t value) {
    if (valueAt(offset) == value)
        return;
    if (native_)
        nativeStore(data() + offset, value);
    else
        writeU16(data() + offset, value);
}

void csICCmft2Tag::inputTableLookup(const std::uint32_t* indices, std::uint16_t* values) const {
    for (std::uint32_t c = 0; c < inputs_; ++c)
        values[c] = valueAt(inputTables_[c] + 2 * indices[c]);
}

void csICCmft2Tag::outputTableLookup(const std::uint32_t* indices, std::uint16_t* values) const {
    for (std::uint32_t c = 0; c < outputs_; ++c)
        values[c] = valueAt(outputTables_[c] + 2 * indices[c]);
}

void csICCmft2Tag::clutRead(const std::uint32_t* gridIndex, std::uint16_t* values) const {
    const std::uint32_t offset = clutOffset(gridIndex);
    for (std::uint32_t c = 0; c < outputs_; ++c)
        values[c] = valueAt(offset + 2 * c);
}

void csICCmft2Tag::clutReadDouble(const std::uint32_t* gridIndex, double* values) const {
    const std::uint32_t offset = clutOffset(gridIndex);
    for (std::uint32_t c = 0; c < outputs_; ++c)
        values[c] = valueAt(offset + 2 * c);
}

void csICCmft2Tag::inputTableWrite(const std::uint32_t* indices, const std::uint16_t* values) {
    for (std::uint32_t c = 0; c < inputs_; ++c)
        storeAt(inputTables_[c] + 2 * indices[c], values[c]);
}

void csICCmft2Tag::outputTableWrite(const std::uint32_t* indices, const std::uint16_t* values) {
    for (std::uint32_t c = 0; c < outputs_; ++c)
        storeAt(outputTables_[c] + 2 * indices[c], values[c]);
}

void csICCmft2Tag::clutWrite(const std::uint32_t* gridIndex, const std::uint16_t* values) {
    const std::uint32_t offset = clutOffset(gridIndex);
    for (std::uint32_t c = 0; c < outputs_; ++c)
        storeAt(offset + 2 * c, values[c]);
}
