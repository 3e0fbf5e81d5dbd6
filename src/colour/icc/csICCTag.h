#pragma once

#include "Signature.h"

#include <cstdint>
#include <memory>

// One tag of a profile: the signature it stands under and its data block exactly as in the file
// (type signature, four reserved bytes, then the type's fields, all big-endian). Subclasses read
// and write their fields in place in this block.
class csICCTag {
public:
    csICCTag() = default;
    // Copies size bytes of data.
    csICCTag(Signature signature, std::uint32_t size, const std::uint8_t* data);
    csICCTag(const csICCTag& other);
    csICCTag& operator=(const csICCTag& other);
    virtual ~csICCTag();

    // Called by the profile writer just before the tag's data is copied into the profile.
    virtual void beforeWrite();

    // Replaces the data block by a copy of size bytes.
    void setData(std::uint32_t size, const std::uint8_t* bytes);

    Signature signature() const { return signature_; }
    void setSignature(Signature signature) { signature_ = signature; }
    std::uint32_t size() const { return size_; }
    std::uint8_t* data() { return data_.get(); }
    const std::uint8_t* data() const { return data_.get(); }

    // The type signature in the first four bytes of the data.
    Signature typeSignature() const;

protected:
    // For tags that keep a data block larger than their size: takes over block, of which the
    // first size bytes are the tag's data.
    void adoptData(std::unique_ptr<std::uint8_t[]> block, std::uint32_t size);
    // Changes the size within the current block, which must be large enough.
    void setSizeWithinBlock(std::uint32_t size) { size_ = size; }

private:
    Signature signature_;
    std::uint32_t size_ = 0;
    std::unique_ptr<std::uint8_t[]> data_;
};
