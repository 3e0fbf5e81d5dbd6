#pragma once

#include "csICCTag.h"

#include <string>

// A "text" tag: the type header, then a NUL-terminated ASCII text.
class csICCtextTag : public csICCTag {
public:
    explicit csICCtextTag(const char* text);
    csICCtextTag(Signature signature, const char* text);
    csICCtextTag(Signature signature, std::uint32_t size, const std::uint8_t* data);
    csICCtextTag(const csICCtextTag& other) = default;
    csICCtextTag& operator=(const csICCtextTag& other) = default;

    // Replaces the data by the type header and text with its NUL. A null text is refused with an
    // error entry and leaves the tag unchanged.
    void setText(const char* text);
    // The text up to its NUL, or up to the end of the data when a file left the NUL out.
    std::string text() const;
};
