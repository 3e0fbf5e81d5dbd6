#include "Signature.h"

#include <cstring>

Signature Signature::read(const std::uint8_t* bytes) {
    std::uint32_t word = 0;
    std::memcpy(&word, bytes, sizeof word);
    return fromWord(word);
}

void Signature::write(std::uint8_t* bytes) const { std::memcpy(bytes, &word_, sizeof word_); }

std::string Signature::text() const {
    char bytes[4];
    std::memcpy(bytes, &word_, sizeof word_);
    return std::string(bytes, 4);
}
