#include "csICCdescTag.h"

#include "csICCNumbers.h"
#include "csLog.h"

#include <cstring>
#include <vector>

csICCdescTag::csICCdescTag(const char* text) : csICCdescTag(Signature("desc"), text) {}

csICCdescTag::csICCdescTag(Signature signature, const char* text) {
    setSignature(signature);
    setDesc(text != nullptr ? text : "");
}

csICCdescTag::csICCdescTag(Signature signature, std::uint32_t size, const std::uint8_t* data)
    : csICCTag(signature, size, data) {}

std::uint32_t csICCdescTag::measure(const std::uint8_t* data, std::uint32_t limit,
                                    bool allowShortScriptCode) {
    if (limit < 12) {
        logError("corrupt tag data", "desc tag of %u bytes is too short", limit);
        return 0;
    }
    if (Signature::read(data) != Signature("desc")) {
        logError("wrong tag type", "tag type is not 'desc' but'%c%c%c%c'", data[0], data[1],
                 data[2], data[3]);
        return 0;
    }
    const std::int64_t L = limit;
    const std::uint32_t n = readU32(data + 8);
    const std::int64_t full = 90 + std::int64_t{n};
    // Strictly the whole layout must fit, 67 bytes of ScriptCode included. Some profiles in use
    // end the tag right after a shorter ScriptCode text; where that is allowed, only what the
    // counts describe must fit.
    if (allowShortScriptCode ? 20 + std::int64_t{n} > L : std::int64_t{n} + 12 > L - 78) {
        logError("corrupt tag data", "ASCII count in desc tag %d is larger than tag buffer",
                 static_cast<int>(n));
        return 0;
    }
    const std::uint32_t m = readU32(data + 16 + n);
    const std::int64_t unicodeEnd = 23 + std::int64_t{n} + 2 * std::int64_t{m};
    if (allowShortScriptCode ? unicodeEnd > L : 2 * std::int64_t{m} + n + 20 > L - 70) {
        logError("corrupt tag data", "Unicode count in desc tag %d is larger than tag buffer",
                 static_cast<int>(m));
        return 0;
    }
    const std::uint8_t scriptCount = data[unicodeEnd - 1];
    if (scriptCount > 67) {
        logError("corrupt tag data", "Scriptcode count in desc tag %d is larger than 67",
                 scriptCount);
        return 0;
    }
    const std::int64_t size = full + 2 * std::int64_t{m};
    if (size <= L)
        return static_cast<std::uint32_t>(size);
    if (unicodeEnd + scriptCount > L) {
        logError("corrupt tag data", "Scriptcode text in desc tag ends %d bytes past tag buffer",
                 static_cast<int>(unicodeEnd + scriptCount - L));
        return 0;
    }
    logWarning("short desc tag", "desc tag of %u bytes ends after its Scriptcode text (%d bytes)",
               limit, static_cast<int>(size));
    return limit;
}

int csICCdescTag::setDesc(const char* text) {
    if (text == nullptr) {
        logError("null pointer", "setDesc(const char*) called with null pointer");
        return -1;
    }
    const std::size_t n = std::strlen(text) + 1;
    std::vector<std::uint8_t> block(90 + n, 0);
    Signature("desc").write(block.data());
    writeU32(block.data() + 8, static_cast<std::uint32_t>(n));
    for (std::size_t i = 0; i + 1 < n; ++i)
        block[12 + i] = static_cast<std::uint8_t>(text[i] & 0x7F);
    setData(static_cast<std::uint32_t>(block.size()), block.data());
    return 0;
}

std::uint32_t csICCdescTag::asciiCount() const { return size() >= 12 ? readU32(data() + 8) : 0; }

std::string csICCdescTag::asciiText() const {
    const std::uint32_t n = asciiCount();
    if (n == 0 || 12 + std::uint64_t{n} > size())
        return {};
    const auto* begin = reinterpret_cast<const char*>(data() + 12);
    return std::string(begin, strnlen(begin, n));
}

std::uint32_t csICCdescTag::unicodeLanguage() const {
    const std::uint64_t at = 12 + std::uint64_t{asciiCount()};
    return at + 8 <= size() ? readU32(data() + at) : 0;
}

std::uint32_t csICCdescTag::unicodeCount() const {
    const std::uint64_t at = 16 + std::uint64_t{asciiCount()};
    return at + 4 <= size() ? readU32(data() + at) : 0;
}

std::u16string csICCdescTag::unicodeText() const {
    const std::uint64_t at = 20 + std::uint64_t{asciiCount()};
    const std::uint32_t m = unicodeCount();
    std::u16string text;
    if (at + 2 * std::uint64_t{m} > size())
        return text;
    for (std::uint32_t i = 0; i < m; ++i)
        text.push_back(static_cast<char16_t>(readU16(data() + at + 2 * i)));
    while (!text.empty() && text.back() == u'\0')
        text.pop_back();
    return text;
}

std::uint16_t csICCdescTag::scriptCodeCode() const {
    const std::uint64_t at = 20 + std::uint64_t{asciiCount()} + 2 * std::uint64_t{unicodeCount()};
    return at + 3 <= size() ? readU16(data() + at) : 0;
}

std::uint8_t csICCdescTag::scriptCodeCount() const {
    const std::uint64_t at = 22 + std::uint64_t{asciiCount()} + 2 * std::uint64_t{unicodeCount()};
    return at + 1 <= size() ? data()[at] : 0;
}
