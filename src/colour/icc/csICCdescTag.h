#pragma once

#include "csICCTag.h"

#include <string>

// A "desc" tag (ICC version 2 text description): an ASCII text with its count, a Unicode text
// (UTF-16BE) with its language and count, and a ScriptCode text of at most 67 bytes. Its size is
// 90 + n + 2m for an ASCII count n and a Unicode count m.
class csICCdescTag : public csICCTag {
public:
    explicit csICCdescTag(const char* text);
    csICCdescTag(Signature signature, const char* text);
    // From a block that measure() has accepted.
    csICCdescTag(Signature signature, std::uint32_t size, const std::uint8_t* data);
    csICCdescTag(const csICCdescTag& other) = default;
    csICCdescTag& operator=(const csICCdescTag& other) = default;

    // The size of the "desc" block at data, which may use at most limit bytes: 90 + n + 2m, or 0
    // with an error entry when it is not a "desc" or its counts do not fit. With
    // allowShortScriptCode a tag that ends right after a ScriptCode text shorter than 67 bytes is
    // accepted too (with a warning) and measures limit bytes; an embedded description, which has
    // no size of its own, must be complete.
    static std::uint32_t measure(const std::uint8_t* data, std::uint32_t limit,
                                 bool allowShortScriptCode = false);

    // Makes the tag hold text as its ASCII text (each character masked to 7 bits), with empty
    // Unicode and ScriptCode parts. Returns 0, or -1 with an error entry for a null text.
    int setDesc(const char* text);

    std::uint32_t asciiCount() const;
    std::string asciiText() const;
    std::uint32_t unicodeLanguage() const;
    std::uint32_t unicodeCount() const;
    std::u16string unicodeText() const;
    std::uint16_t scriptCodeCode() const;
    std::uint8_t scriptCodeCount() const;
};
