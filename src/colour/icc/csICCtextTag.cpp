#include "csICCtextTag.h"

#include "csLog.h"

#include <cstring>
#include <vector>

csICCtextTag::csICCtextTag(const char* text) : csICCtextTag(Signature(), text) {}

csICCtextTag::csICCtextTag(Signature signature, const char* text) {
    setSignature(signature);
    setText(text != nullptr ? text : "");
}

csICCtextTag::csICCtextTag(Signature signature, std::uint32_t size, const std::uint8_t* data)
    : csICCTag(signature, size, data) {}

void csICCtextTag::setText(const char* text) {
    if (text == nullptr) {
        logError("null pointer", "setText(const char*) called with null pointer");
        return;
    }
    const std::size_t length = std::strlen(text);
    std::vector<std::uint8_t> block(8 + length + 1, 0);
    Signature("text").write(block.data());
    std::memcpy(block.data() + 8, text, length);
    setData(static_cast<std::uint32_t>(block.size()), block.data());
}

std::string csICCtextTag::text() const {
    if (size() <= 8)
        return {};
    const auto* begin = reinterpret_cast<const char*>(data() + 8);
    return std::string(begin, strnlen(begin, size() - 8));
}
