#include "csICCTag.h"

#include "csAssert.h"

#include <cstring>

csICCTag::csICCTag(Signature signature, std::uint32_t size, const std::uint8_t* data)
    : signature_(signature) {
    setData(size, data);
}

csICCTag::csICCTag(const csICCTag& other) : signature_(other.signature_) {
    if (other.data_)
        setData(other.size_, other.data_.get());
}

csICCTag& csICCTag::operator=(const csICCTag& other) {
    if (this == &other)
        return *this;
    signature_ = other.signature_;
    if (other.data_) {
        setData(other.size_, other.data_.get());
    } else {
        data_.reset();
        size_ = 0;
    }
    return *this;
}

csICCTag::~csICCTag() = default;

void csICCTag::beforeWrite() {}

void csICCTag::setData(std::uint32_t size, const std::uint8_t* bytes) {
    auto block = std::make_unique<std::uint8_t[]>(size);
    if (bytes != nullptr && size > 0)
        std::memcpy(block.get(), bytes, size);
    data_ = std::move(block);
    size_ = size;
}

void csICCTag::adoptData(std::unique_ptr<std::uint8_t[]> block, std::uint32_t size) {
    data_ = std::move(block);
    size_ = size;
}

Signature csICCTag::typeSignature() const {
    CS_ASSERT(data_ != 0);
    // A block shorter than the type signature has none; tags are refused before that can happen.
    CS_ASSERT(size_ >= 4);
    return Signature::read(data_.get());
}
